// PtrArray: growth, removal with the cursor, slot access and ownership.
#include <gtest/gtest.h>

#include <vector>

#include "quib/ptrarray.h"

namespace {

struct Item {
    virtual ~Item() = default;
};

// Counts destructor runs, to tell which operations delete items.
struct CountedItem : Item {
    static int destroyed;
    ~CountedItem() override { destroyed++; }
};
int CountedItem::destroyed = 0;

struct PtrArrayTest : ::testing::Test {
    void SetUp() override { CountedItem::destroyed = 0; }
    int v[8] = {0, 1, 2, 3, 4, 5, 6, 7};
};

std::vector<int*> Contents(const PtrArray<int>& list) {
    std::vector<int*> out;
    for (int i = 0; i < list.GetCount(); i++)
        out.push_back(list.GetAt(i));
    return out;
}

} // namespace

TEST_F(PtrArrayTest, DefaultCapacityDoublesAsItemsAreAddedAndKeepsOrder) {
    PtrArray<int> list;
    EXPECT_EQ(list.capacity, 1);
    std::vector<int> capacities;
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(list.Add(&v[i]), &v[i]);
        capacities.push_back(list.capacity);
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 2, 4, 4, 8, 8, 8, 8}));
    list.Add(&v[0]);
    EXPECT_EQ(list.capacity, 16);
    EXPECT_EQ(list.GetCount(), 9);
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(list.GetAt(i), &v[i]);
}

TEST_F(PtrArrayTest, ListWithCapacityZeroAcceptsItems) {
    PtrArray<int> list(0);
    EXPECT_EQ(list.capacity, 0);
    EXPECT_EQ(list.Add(&v[1]), &v[1]);
    EXPECT_EQ(list.capacity, 1);
    list.Add(&v[2]);
    EXPECT_EQ(Contents(list), (std::vector<int*>{&v[1], &v[2]}));
}

TEST_F(PtrArrayTest, RemoveMovesTheCursorBackOnlyForRemovalsAtOrBeforeIt) {
    PtrArray<int> list;
    for (int i = 0; i < 5; i++)
        list.Add(&v[i]);
    list.cursor = 2;
    list.Remove(&v[2]); // at the cursor
    EXPECT_EQ(list.cursor, 1);
    list.Remove(&v[0]); // before it
    EXPECT_EQ(list.cursor, 0);
    list.Remove(&v[4]); // after it
    EXPECT_EQ(list.cursor, 0);
    EXPECT_EQ(Contents(list), (std::vector<int*>{&v[1], &v[3]}));
    list.Remove(&v[1]); // at index 0 with the cursor at 0
    EXPECT_EQ(list.cursor, -1);
}

TEST_F(PtrArrayTest, RemoveClearsTheFreedSlot) {
    PtrArray<int> list;
    for (int i = 0; i < 4; i++)
        list.Add(&v[i]);
    list.Remove(&v[1]);
    EXPECT_EQ(Contents(list), (std::vector<int*>{&v[0], &v[2], &v[3]}));
    EXPECT_EQ(list.items[3], nullptr);
}

TEST_F(PtrArrayTest, RemoveOfAbsentPointerChangesNothingAndDuplicateLosesOnlyFirst) {
    PtrArray<int> list;
    list.Add(&v[1]);
    list.Add(&v[2]);
    list.Add(&v[1]);
    list.cursor = 2;
    list.Remove(&v[7]);
    EXPECT_EQ(Contents(list), (std::vector<int*>{&v[1], &v[2], &v[1]}));
    EXPECT_EQ(list.cursor, 2);
    list.Remove(&v[1]);
    EXPECT_EQ(Contents(list), (std::vector<int*>{&v[2], &v[1]}));
}

TEST_F(PtrArrayTest, CursorLoopThatRemovesItemsVisitsEachItemOnce) {
    PtrArray<int> list;
    for (int i = 0; i < 6; i++)
        list.Add(&v[i]);
    std::vector<int> visited;
    for (list.cursor = 0; list.cursor < list.GetCount(); list.cursor++) {
        int* item = list.GetAt(list.cursor);
        visited.push_back(*item);
        if (*item % 2 == 0) list.Remove(item);
    }
    EXPECT_EQ(visited, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(Contents(list), (std::vector<int*>{&v[1], &v[3], &v[5]}));
}

TEST_F(PtrArrayTest, FindComparesAddresses) {
    PtrArray<int> list;
    int twin = v[3];
    list.Add(&v[3]);
    EXPECT_EQ(list.Find(&v[3]), &v[3]);
    EXPECT_EQ(list.Find(&twin), nullptr);
}

TEST_F(PtrArrayTest, SetAtGrowsToExactlyTheIndexAndLeavesTheCount) {
    PtrArray<int> list(2);
    list.Add(&v[0]);
    EXPECT_EQ(list.SetAt(&v[5], 5), &v[5]);
    EXPECT_EQ(list.capacity, 6);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetAt(0), &v[0]);
    EXPECT_EQ(list.items[5], &v[5]);
    EXPECT_EQ(list.items[4], nullptr);
    EXPECT_EQ(list.SetAt(&v[1], 1), &v[1]);
    EXPECT_EQ(list.capacity, 6);
    EXPECT_EQ(list.SetAt(&v[1], -1), nullptr);
}

TEST_F(PtrArrayTest, LookupOutsideTheCountGivesNull) {
    PtrArray<int> list(4);
    list.Add(&v[0]);
    list.SetAtUnchecked(1, &v[1]); // beyond the count
    EXPECT_EQ(list.Lookup(0), &v[0]);
    EXPECT_EQ(list.Lookup(1), nullptr);
    EXPECT_EQ(list.Lookup(-1), nullptr);
}

TEST_F(PtrArrayTest, GrowNeverShrinks) {
    PtrArray<int> list(4);
    list.Add(&v[0]);
    int** storage = list.items;
    list.Grow(2);
    list.Grow(4);
    EXPECT_EQ(list.capacity, 4);
    EXPECT_EQ(list.items, storage);
    list.Grow(5);
    EXPECT_EQ(list.capacity, 5);
    EXPECT_EQ(list.GetAt(0), &v[0]);
    EXPECT_EQ(list.GetCount(), 1);
}

TEST_F(PtrArrayTest, SetCountOpensNullSlotsEvenWhereItemsWereRemoved) {
    PtrArray<int> list;
    for (int i = 0; i < 3; i++)
        list.Add(&v[i]);
    list.Remove(&v[2]);
    list.cursor = 1;
    list.SetCount(6);
    EXPECT_EQ(list.GetCount(), 6);
    EXPECT_GE(list.capacity, 6);
    EXPECT_EQ(list.cursor, 1);
    EXPECT_EQ(list.GetAt(0), &v[0]);
    EXPECT_EQ(list.GetAt(1), &v[1]);
    for (int i = 2; i < 6; i++)
        EXPECT_EQ(list.GetAt(i), nullptr) << i;

    list.SetCount(1);
    list.SetAtUnchecked(3, &v[3]);
    list.SetCount(4);
    EXPECT_EQ(list.GetAt(3), nullptr);
}

TEST_F(PtrArrayTest, ZeroSlotsAndClearEmptySlotsWithoutDeletingItems) {
    PtrArray<Item> list(4);
    CountedItem a, b, c;
    list.Add(&a);
    list.Add(&b);
    list.SetAtUnchecked(3, &c); // beyond the count
    list.cursor = 1;

    list.ZeroSlots();
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetAt(0), nullptr);
    EXPECT_EQ(list.GetAt(1), nullptr);
    EXPECT_EQ(list.items[3], &c);

    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.cursor, 1);
    EXPECT_EQ(list.items[3], nullptr);
    EXPECT_EQ(CountedItem::destroyed, 0);
}

TEST_F(PtrArrayTest, DeleteAllRunsEachItemsDestructorAndEmptiesTheList) {
    PtrArray<Item> list;
    list.Add(new CountedItem);
    list.Add(nullptr);
    list.Add(new CountedItem);
    list.cursor = 2;
    list.DeleteAll();
    EXPECT_EQ(CountedItem::destroyed, 2);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.cursor, 0);
    EXPECT_EQ(list.items[0], nullptr);
    EXPECT_EQ(list.items[2], nullptr);

    list.Add(new CountedItem);
    list.Reset();
    EXPECT_EQ(CountedItem::destroyed, 3);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(PtrArrayTest, DestroyingTheListLeavesItsItemsAlone) {
    CountedItem* kept = new CountedItem;
    {
        PtrArray<Item> list;
        list.Add(kept);
    }
    EXPECT_EQ(CountedItem::destroyed, 0);
    delete kept;
}

TEST_F(PtrArrayTest, InitStartsOverWithFreshSlots) {
    PtrArray<int> list;
    list.Add(&v[0]);
    list.Add(&v[1]);
    list.cursor = 1;
    list.Init(3);
    EXPECT_EQ(list.capacity, 3);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.cursor, 0);
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(list.items[i], nullptr);
}
