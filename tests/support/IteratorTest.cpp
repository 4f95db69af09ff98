// Random edits of an array against a plain model of its items and of every iterator on it,
// and the iterators' view of the array's end of life.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "velkui/support.h"

namespace {

using It = LArrayIterator;

/// What an iterator should see, by item identity rather than index: the item
/// it stands on (kOn), or the item that followed a removed one (kRemoved; 0: the end).
struct Model {
  enum Kind { kBefore, kAfter, kOn, kRemoved } kind = kBefore;
  SInt32 item = 0;

  static size_t Place(const std::vector<SInt32>& items, SInt32 item) {
    return size_t(std::find(items.begin(), items.end(), item) - items.begin());
  }
  /// Moves to the item at place (none: before the start or after the end); returns it.
  SInt32 MoveTo(const std::vector<SInt32>& items, size_t place, Kind none) {
    item = place < items.size() ? items[place] : 0;
    kind = item ? kOn : none;
    return item;
  }
  SInt32 Next(const std::vector<SInt32>& items) {
    if (kind == kRemoved) return MoveTo(items, item ? Place(items, item) : items.size(), kAfter);
    size_t place = kind == kBefore ? 0 : kind == kOn ? Place(items, item) + 1 : items.size();
    return MoveTo(items, place, kAfter);
  }
  SInt32 Previous(const std::vector<SInt32>& items) {
    size_t place = kind == kOn ? Place(items, item)
                   : kind == kRemoved ? (item ? Place(items, item) : items.size())
                   : kind == kAfter ? items.size() : 0;
    return MoveTo(items, place - 1, kBefore);  // from 0 wraps to "none"
  }
  /// Items [at, at + count) are about to leave.
  void Removing(const std::vector<SInt32>& items, size_t at, size_t count) {
    size_t place = Place(items, item);
    if ((kind == kOn || kind == kRemoved) && place >= at && place < at + count) {
      kind = kRemoved;
      item = at + count < items.size() ? items[at + count] : 0;
    }
  }
  /// Items were swapped or moved: the iterator keeps its index, so it now sees
  /// whatever item stands there.
  void Reindex(const std::vector<SInt32>& before, const std::vector<SInt32>& after) {
    if ((kind == kOn || kind == kRemoved) && item) item = after[Place(before, item)];
  }
};

std::vector<SInt32> Contents(const LArray& array) {
  std::vector<SInt32> values(array.GetCount());
  for (size_t i = 0; i < values.size(); ++i) array.FetchItemAt(SInt32(i + 1), &values[i]);
  return values;
}

}  // namespace

TEST(LArrayProperty, RandomEditsMatchTheModelInTheArrayAndEveryIterator) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    LArray array(sizeof(SInt32));
    std::vector<SInt32> items;
    SInt32 nextItem = 1;
    std::unique_ptr<It> iterators[3];
    Model models[3];
    for (int step = 0; step < 300; ++step) {
      SCOPED_TRACE("step " + std::to_string(step));
      const SInt32 size = SInt32(items.size());
      // Any index, the invalid ones around both ends and kIndexLast included.
      const SInt32 specials[] = {0, size + 1, kIndexLast, -5};
      auto index = [&] { return pick(3) ? 1 + pick(std::max(size, 1)) : specials[pick(4)]; };
      auto last = [&](SInt32 i) { return i == kIndexLast ? size : i; };  // as ValidIndex reads it
      auto valid = [&](SInt32 i) { return last(i) >= 1 && last(i) <= size; };
      const std::vector<SInt32> before = items;
      int op = pick(12);
      size_t k = size_t(pick(3));
      if (op == 0 || !iterators[k]) {  // a new iterator in place of an old one (or none)
        bool fromStart = pick(2);
        iterators[k] = std::make_unique<It>(array, fromStart ? It::kFromStart : It::kFromEnd);
        models[k] = Model{fromStart ? Model::kBefore : Model::kAfter};
      } else if (op <= 3) {  // insert 0 to 3 items; AddItem appends one
        SInt32 at = index();
        size_t place = valid(at) && at != kIndexLast ? at - 1 : (at == 0 ? 0 : items.size());
        UInt32 count = UInt32(pick(4));
        bool add = count == 1 && place == items.size() && pick(2);
        SInt32 first = add ? array.AddItem(&nextItem) : array.InsertItemsAt(count, at, &nextItem);
        ASSERT_EQ(count ? SInt32(place + 1) : 0, first) << "insert " << count << " at " << at;
        for (UInt32 c = 0; c < count; ++c) {
          array.AssignItemsAt(1, SInt32(place + c + 1), &nextItem);
          items.insert(items.begin() + place + c, nextItem++);
        }
      } else if (op <= 5) {  // remove 0 to 3 items, or every item from an index on
        SInt32 at = index(), from = last(at);
        UInt32 count = pick(5) ? UInt32(pick(4)) : 0xFFFFFFFFu;
        size_t n = valid(at) ? std::min(size_t(count), size_t(size - from + 1)) : 0;
        for (Model& m : models) m.Removing(items, size_t(from - 1), n);
        if (n) items.erase(items.begin() + from - 1, items.begin() + from - 1 + n);
        array.RemoveItemsAt(count, at);
      } else if (op == 6) {  // swap or move: the iterators keep their indices
        SInt32 a = index(), b = index();
        bool swap = pick(2);
        swap ? array.SwapItems(a, b) : array.MoveItem(a, b);
        if (valid(a) && valid(b) && swap) std::swap(items[last(a) - 1], items[last(b) - 1]);
        if (valid(a) && valid(b) && !swap) {
          items.erase(items.begin() + last(a) - 1);
          items.insert(items.begin() + last(b) - 1, before[last(a) - 1]);
        }
        for (Model& m : models) m.Reindex(before, items);
      } else if (op == 7) {
        SInt32 last = 0;
        ASSERT_EQ(size > 0, array.RemoveLastItem(&last));
        if (size == 0) continue;
        ASSERT_EQ(items.back(), last);
        for (Model& m : models) m.Removing(items, items.size() - 1, 1);
        items.pop_back();
      } else {  // step the iterator (plain or sized call) and compare what it finds
        SInt32 got = 0;
        UInt32 bytes = 4;
        It& it = *iterators[k];
        bool found = op <= 9 ? (op == 8 ? it.Next(&got) : it.Next(&got, bytes))
                             : (op == 10 ? it.Previous(&got) : it.Previous(&got, bytes));
        SInt32 expected = op <= 9 ? models[k].Next(items) : models[k].Previous(items);
        ASSERT_EQ(expected, found ? got : 0) << "iterator " << k << " (0: found nothing)";
      }
      ASSERT_EQ(items, Contents(array)) << "op " << op;
    }
  }
}

TEST(LArrayIterator, ArrayDestroyedOrReassignedLeavesItGone) {
  SInt32 one = 1;
  LArray other(sizeof(SInt32));
  other.AddItem(&one);
  for (bool reassign : {false, true}) {
    SCOPED_TRACE(reassign ? "reassigned" : "destroyed");
    auto array = std::make_unique<LArray>(sizeof(SInt32));
    array->AddItem(&one);
    It first(*array), second(*array, 1);
    reassign ? void(*array = other) : array.reset();
    SInt32 got = 0;
    for (It* it : {&first, &second}) {
      it->ResetTo(It::kFromStart);
      EXPECT_EQ(It::kPositionArrayGone, it->GetCurrentIndex());
      EXPECT_TRUE(!it->Next(&got) && !it->Previous(&got) && !it->PtrToNext());
    }
    EXPECT_TRUE(!array || It(*array).Next(&got)) << "the reassigned array takes new iterators";
  }  // the gone iterators' destructors leave the array alone (ASan checks it)
}
