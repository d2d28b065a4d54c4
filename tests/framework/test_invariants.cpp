// The lists' accessors whose index is unchecked by contract: in builds with assertions (the sanitizer
// build) a bad index stops the program at the faulty call instead of reading or writing past the list.
#include <gtest/gtest.h>

#include "quib/ptrarray.h"

#ifndef NDEBUG
TEST(ListInvariantDeathTest, UncheckedIndexesAreAsserted) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    PtrArray<int> list(4);
    int item = 0;
    list.Add(&item);
    // Slot 1 exists but is not in use: only the assertion can tell. Slot 4 lies past the storage (the
    // message tells the assertion from the address sanitizer's report).
    EXPECT_DEATH(list.GetAt(1), "i < count");
    EXPECT_DEATH(list.SetAtUnchecked(list.capacity, &item), "index < capacity");
    EXPECT_EQ(list.GetAt(0), &item);
    EXPECT_EQ(list.SetAtUnchecked(3, &item), &item);
}
#endif
