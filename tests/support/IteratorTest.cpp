// Array iterators: a random walk against a plain model, and the array's end of life.
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
};

}  // namespace

TEST(LArrayIteratorProperty, RandomInsertionsAndRemovalsMatchTheModel) {
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
      int op = pick(10);
      size_t k = size_t(pick(3));
      if (op == 0 || !iterators[k]) {  // a new iterator in place of an old one (or none)
        bool fromStart = pick(2);
        iterators[k] = std::make_unique<It>(array, fromStart ? It::kFromStart : It::kFromEnd);
        models[k] = Model{fromStart ? Model::kBefore : Model::kAfter};
      } else if (op <= 3) {  // insert 1 to 3 items anywhere, the front and the end included
        SInt32 at = pick(int(items.size()) + 2);
        size_t place = std::min(size_t(at ? at - 1 : 0), items.size());
        UInt32 count = UInt32(1 + pick(3));
        array.InsertItemsAt(count, at, &nextItem);
        for (UInt32 c = 0; c < count; ++c) {
          array.AssignItemsAt(1, SInt32(place + c + 1), &nextItem);
          items.insert(items.begin() + place + c, nextItem++);
        }
      } else if (op <= 5 && !items.empty()) {  // remove 0 to 3 items
        size_t place = size_t(pick(int(items.size())));
        size_t count = std::min(size_t(pick(4)), items.size() - place);
        for (Model& m : models) m.Removing(items, place, count);
        array.RemoveItemsAt(UInt32(count), SInt32(place + 1));
        items.erase(items.begin() + place, items.begin() + place + count);
      } else {  // step the iterator and compare what it finds
        SInt32 got = 0;
        bool found = op <= 7 ? iterators[k]->Next(&got) : iterators[k]->Previous(&got);
        SInt32 expected = op <= 7 ? models[k].Next(items) : models[k].Previous(items);
        ASSERT_EQ(expected, found ? got : 0) << "iterator " << k << " (0: found nothing)";
      }
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
