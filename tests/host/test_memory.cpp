// Global memory blocks and the platform's scaled multiply.
#include <gtest/gtest.h>

#include <cstring>

#include "host/win/memory.h"

namespace {

TEST(GlobalMemory, BlockIsZeroedAndKeepsItsAddressAcrossLocks) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4096);
    ASSERT_NE(block, nullptr);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 4096; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
    std::memset(bytes, 0xAB, 4096);
    EXPECT_EQ(GlobalLock(block), bytes);
    EXPECT_TRUE(GlobalUnlock(block));  // one lock left
    EXPECT_FALSE(GlobalUnlock(block)); // none left
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemory, FreedAndForgedHandlesAreRefused) {
    HGLOBAL block = GlobalAlloc(GHND, 16);
    ASSERT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_EQ(GlobalFree(block), block); // a second free reports failure and frees nothing
    HGLOBAL forged = reinterpret_cast<HGLOBAL>(uintptr_t(0x1234));
    EXPECT_EQ(GlobalFree(forged), forged);
    EXPECT_FALSE(GlobalUnlock(forged));
}

TEST(MulDivTest, UsesAWideIntermediateAndRoundsToNearest) {
    // A sound's length in milliseconds: data size × bits × 1000 / (rate × 8), past 32 bits in between.
    EXPECT_EQ(MulDiv(10000000 * 16, 1000, 22050 * 8), 907029);
    EXPECT_EQ(MulDiv(7, 1, 2), 4);
    EXPECT_EQ(MulDiv(-7, 1, 2), -4);
    EXPECT_EQ(MulDiv(5, 1, 3), 2);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(0x7FFFFFFF, 4, 1), -1);
}

} // namespace
