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
/// it stands on, or the gap before the item that followed a removed one.
struct Model {
  enum Kind { kBefore, kAfter, kOn, kRemoved } kind = kBefore;
  SInt32 item = 0;  ///< kOn: the current item; kRemoved: the next one (0: the end)

  static SInt32 At(const std::vector<SInt32>& items, size_t index) {
    return index < items.size() ? items[index] : 0;
  }
  static size_t Place(const std::vector<SInt32>& items, SInt32 item) {
    return size_t(std::find(items.begin(), items.end(), item) - items.begin());
  }
  /// The item Next lands on (0: none), and the state it leaves.
  SInt32 Next(const std::vector<SInt32>& items) {
    SInt32 next = kind == kBefore ? At(items, 0)
                  : kind == kOn   ? At(items, Place(items, item) + 1)
                  : kind == kRemoved ? item : 0;
    kind = next ? kOn : kAfter;
    item = next;
    return next;
  }
  SInt32 Previous(const std::vector<SInt32>& items) {
    size_t place = kind == kOn        ? Place(items, item)
                   : kind == kRemoved ? (item ? Place(items, item) : items.size())
                   : kind == kAfter   ? items.size() : 0;
    SInt32 previous = place > 0 ? items[place - 1] : 0;
    kind = previous ? kOn : kBefore;
    item = previous;
    return previous;
  }
  /// Items [at, at + count) are about to leave.
  void Removing(const std::vector<SInt32>& items, size_t at, size_t count) {
    if (item == 0 || (kind != kOn && kind != kRemoved)) return;
    size_t place = Place(items, item);
    if (place >= at && place < at + count) {
      kind = kRemoved;
      item = At(items, at + count);
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
    std::vector<std::unique_ptr<It>> iterators;
    std::vector<Model> models;
    for (int step = 0; step < 300; ++step) {
      SCOPED_TRACE("step " + std::to_string(step));
      int op = pick(10);
      size_t k = iterators.empty() ? 0 : size_t(pick(int(iterators.size())));
      if (op == 0 || iterators.empty()) {  // a new iterator, or one fewer
        if (iterators.size() < 3) {
          iterators.push_back(std::make_unique<It>(array, pick(2) ? It::kFromStart : It::kFromEnd));
          models.push_back(Model{iterators.back()->GetCurrentIndex() == 0 ? Model::kBefore
                                                                          : Model::kAfter});
        } else {
          iterators.erase(iterators.begin() + k);
          models.erase(models.begin() + k);
        }
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
        ASSERT_EQ(expected != 0, found) << "iterator " << k;
        if (found) {
          ASSERT_EQ(expected, got) << "iterator " << k;
        }
      }
    }
  }
}

TEST(LArrayIterator, EdgeWalks) {
  SInt32 abc[] = {'A', 'B', 'C'};
  LArray array(sizeof(SInt32));
  for (SInt32& v : abc) array.AddItem(&v);
  SInt32 got = 0;
  {
    It it(array, It::kFromStart);
    ASSERT_TRUE(it.Next(&got));
    EXPECT_EQ('A', got);
    array.RemoveItemsAt(1, 1);
    EXPECT_EQ(It::kPositionRemoved, it.GetCurrentIndex());
    ASSERT_TRUE(it.Next(&got));
    EXPECT_EQ('B', got) << "the item after the removed one comes next";
    EXPECT_FALSE(it.Previous(&got)) << "stepping back from index 1 reaches before the start";
    EXPECT_EQ(nullptr, it.PtrToCurrent());
  }
  It back(array, It::kFromEnd);
  std::vector<SInt32> seen;
  while (back.Previous(&got)) seen.push_back(got);
  EXPECT_EQ((std::vector<SInt32>{'C', 'B'}), seen) << "from the end, backwards";
  UInt32 size = 99;
  back.ResetTo(2);
  ASSERT_NE(nullptr, back.PtrToCurrent(size));
  EXPECT_EQ(sizeof(SInt32), size);
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
    if (reassign) {
      *array = other;
    } else {
      array.reset();
    }
    for (It* it : {&first, &second}) {
      SInt32 got = 0;
      EXPECT_EQ(It::kPositionArrayGone, it->GetCurrentIndex());
      EXPECT_FALSE(it->Next(&got));
      EXPECT_FALSE(it->Previous(&got));
      EXPECT_EQ(nullptr, it->PtrToNext());
      it->ResetTo(It::kFromStart);
      EXPECT_EQ(It::kPositionArrayGone, it->GetCurrentIndex());
    }
    if (array) {  // the reassigned array takes new iterators as any other
      It fresh(*array);
      SInt32 got = 0;
      EXPECT_TRUE(fresh.Next(&got));
    }
  }  // the gone iterators' destructors leave the array alone (ASan checks it)
}
