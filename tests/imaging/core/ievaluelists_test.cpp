#include "imaging/core/ievaluelists.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

std::vector<int32_t> Items(const TIEIntegerList& list) {
  std::vector<int32_t> items;
  for (int32_t i = 0; i < list.GetCount(); ++i)
    items.push_back(list.GetItem(i));
  return items;
}

template <typename List>
void ExpectEmpty(const List& list, int32_t itemSize) {
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetItemSize(), itemSize);
  EXPECT_EQ(list.RangeMin, 0);
  EXPECT_EQ(list.RangeMax, 0);
  EXPECT_EQ(list.RangeStep, 0);
  EXPECT_EQ(list.CurrentValue, 0);
  EXPECT_EQ(list.Changes, 0);
}

}  // namespace

TEST(ValueLists, NewListsAreEmptyWithTheirItemSize) {
  ExpectEmpty(TIEIntegerList(), 4);
  ExpectEmpty(TIEDoubleList(), 8);
}

TEST(ValueLists, AddInsertAndDeleteKeepOrderAndIgnoreBadIndices) {
  TIEIntegerList list;
  EXPECT_EQ(list.Add(5), 0);
  EXPECT_EQ(list.Add(7), 1);
  list.Insert(0, 3);
  EXPECT_EQ(Items(list), (std::vector<int32_t>{3, 5, 7}));
  EXPECT_EQ(list.Changes, ielItems);

  list.Insert(10, 9);  // past the end: appended
  list.Insert(-1, 1);  // ignored
  list.Delete(5);
  list.Delete(-1);
  EXPECT_EQ(Items(list), (std::vector<int32_t>{3, 5, 7, 9}));

  list.Delete(1);
  list.SetItem(1, 8);
  list.SetItem(3, 100);  // outside: ignored
  EXPECT_EQ(Items(list), (std::vector<int32_t>{3, 8, 9}));
  EXPECT_EQ(list.IndexOf(9), 2);
  EXPECT_EQ(list.IndexOf(5), -1);

  // Reading outside the list gives nothing rather than stray memory.
  EXPECT_EQ(list.GetItem(3), 0);
  EXPECT_EQ(list.GetItem(-1), 0);
  EXPECT_EQ(list.BaseGetItem(3), nullptr);
}

TEST(ValueLists, SetCountKeepsTheFirstItemsAndRefusesNegativeCounts) {
  TIEIntegerList list;
  for (int32_t v : {1, 2, 3, 4})
    list.Add(v);
  list.SetCount(2);
  EXPECT_EQ(Items(list), (std::vector<int32_t>{1, 2}));
  list.SetCount(4);
  EXPECT_EQ(Items(list), (std::vector<int32_t>{1, 2, 0, 0}));
  EXPECT_THROW(list.SetCount(-1), EListError);
  EXPECT_EQ(Items(list), (std::vector<int32_t>{1, 2, 0, 0}));
}

TEST(ValueLists, EachOperationLeavesItsOwnChangeMark) {
  struct Case {
    const char* name;
    std::function<void(TIEIntegerList&)> change;
    TIEListChanges expected;
  };
  const Case cases[] = {
      {"current value", [](TIEIntegerList& l) { l.SetCurrentValue(300); }, ielCurrentValue},
      {"range minimum", [](TIEIntegerList& l) { l.SetRangeMin(75); }, ielRange},
      {"range maximum", [](TIEIntegerList& l) { l.SetRangeMax(1200); }, ielRange},
      {"range step", [](TIEIntegerList& l) { l.SetRangeStep(25); }, ielRange},
      {"add", [](TIEIntegerList& l) { l.Add(1); }, ielItems},
      {"set count", [](TIEIntegerList& l) { l.SetCount(3); }, ielItems},
      {"range and value",
       [](TIEIntegerList& l) {
         l.SetRangeMin(0);
         l.SetCurrentValue(2);
       },
       ielRange | ielCurrentValue},
      {"out-of-range edits", [](TIEIntegerList& l) {
         l.Delete(0);
         l.SetItem(0, 1);
         l.Insert(-1, 1);
       },
       0},
      {"direct field writes", [](TIEIntegerList& l) { l.CurrentValue = 9; }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TIEIntegerList list;
    c.change(list);
    EXPECT_EQ(list.Changes, c.expected);
  }
}

TEST(ValueLists, RangeAndStepAreKeptUntilClear) {
  TIEDoubleList list;
  list.SetRangeMin(50.0);
  list.SetRangeMax(1200.0);
  list.SetRangeStep(0.5);
  list.SetCurrentValue(300.0);
  list.Add(150.0);
  EXPECT_EQ(list.RangeMin, 50.0);
  EXPECT_EQ(list.RangeMax, 1200.0);
  EXPECT_EQ(list.RangeStep, 0.5);
  EXPECT_EQ(list.CurrentValue, 300.0);
  EXPECT_EQ(list.Changes, ielItems | ielRange | ielCurrentValue);

  list.Clear();
  ExpectEmpty(list, 8);
}

TEST(ValueLists, DoubleIndexOfComparesBytes) {
  TIEDoubleList list;
  for (double v : {1.0, 2.0, 2.0, 0.0})
    list.Add(v);
  EXPECT_EQ(list.IndexOf(2.0), 1);
  EXPECT_EQ(list.IndexOf(0.0), 3);
  EXPECT_EQ(list.IndexOf(-0.0), -1);
  EXPECT_EQ(list.IndexOf(3.0), -1);
}

TEST(ValueLists, AssignCopiesAllOrNothing) {
  TIEIntegerList source;
  source.Add(100);
  source.Add(200);
  source.SetRangeMin(1);
  source.SetRangeMax(9);
  source.SetRangeStep(2);
  source.SetCurrentValue(5);

  TIEIntegerList target;
  target.Add(42);
  target.Assign(&source);
  EXPECT_EQ(Items(target), (std::vector<int32_t>{100, 200}));
  EXPECT_EQ(target.RangeMin, 1);
  EXPECT_EQ(target.RangeMax, 9);
  EXPECT_EQ(target.RangeStep, 2);
  EXPECT_EQ(target.CurrentValue, 5);
  EXPECT_EQ(target.Changes, source.Changes);

  target.Assign(nullptr);
  target.Assign(&target);
  EXPECT_EQ(Items(target), (std::vector<int32_t>{100, 200}));

  // A list of another kind is refused before anything is copied.
  TIEDoubleList doubles;
  doubles.Add(1.5);
  TIERecordList records(4);
  EXPECT_THROW(target.Assign(&doubles), EInvalidCast);
  EXPECT_THROW(target.Assign(&records), EInvalidCast);
  EXPECT_EQ(Items(target), (std::vector<int32_t>{100, 200}));
  EXPECT_EQ(target.CurrentValue, 5);
}

TEST(ValueLists, RecordListsHoldRecordsOfTheirSize) {
  struct Record {
    int32_t x, y, z;
  };
  TIERecordList list(sizeof(Record));
  const Record a{1, 2, 3}, b{4, 5, 6}, c{7, 8, 9};
  list.Add(&a);
  list.Add(&c);
  list.Insert(1, &b);
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_EQ(std::memcmp(list.GetItem(1), &b, sizeof(Record)), 0);
  EXPECT_EQ(list.IndexOf(&c), 2);
  EXPECT_EQ(list.GetItem(3), nullptr);

  list.SetItem(0, &c);
  EXPECT_EQ(list.IndexOf(&c), 0);

  list.Clear();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetItemSize(), static_cast<int32_t>(sizeof(Record)));

  // The plain list takes any list, its item size included.
  TIEIntegerList integers;
  integers.Add(7);
  list.Assign(&integers);
  EXPECT_EQ(list.GetItemSize(), 4);
  const int32_t seven = 7;
  EXPECT_EQ(list.IndexOf(&seven), 0);

  EXPECT_THROW(TIERecordList(-1), EInvalidArgument);
}
