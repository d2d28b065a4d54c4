// The 0..0xFFFF volume and pan scales mapped to hundredths of a decibel.
#include <gtest/gtest.h>

#include "sound/quibsound.h"

TEST(VolumeTable, HalvingTheIndexLowersTenDecibels) {
    const short* table = QuibSound::g_VolumeTable;
    ASSERT_NE(table, nullptr);
    for (int i = 0; i <= 16; ++i)
        EXPECT_EQ(table[i], -10000) << i;
    EXPECT_EQ(table[17], -9912);
    EXPECT_EQ(table[4096], -2000);
    EXPECT_EQ(table[8192], -1000);
    EXPECT_EQ(table[16383], 0);
    for (int i = 1; i < 16384; ++i)
        ASSERT_LE(table[i - 1], table[i]) << i;
}

TEST(MapVolume, EdgeValues) {
    EXPECT_EQ(QuibSound::MapVolume(0), -10000);
    EXPECT_EQ(QuibSound::MapVolume(0x8000), -1000);
    EXPECT_EQ(QuibSound::MapVolume(0xFFFF), 0);
    EXPECT_EQ(QuibSound::MapVolume(0x10000), 0);
    EXPECT_EQ(QuibSound::MapVolume(0x7FFFFFFF), 0);
    EXPECT_EQ(QuibSound::MapVolume(-1), -10000);
    EXPECT_EQ(QuibSound::MapVolume(0x4000), -2000);
}

TEST(MapPan, ZeroIsHardRightAndTheMiddleIsCentre) {
    EXPECT_EQ(QuibSound::MapPan(0), 10000);
    EXPECT_EQ(QuibSound::MapPan(1), 10000);
    EXPECT_EQ(QuibSound::MapPan(-5), 10000);
    EXPECT_EQ(QuibSound::MapPan(0x8000), 0);
    EXPECT_EQ(QuibSound::MapPan(0x7FFF), 0);
    EXPECT_EQ(QuibSound::MapPan(0xFFFF), -10000);
    EXPECT_EQ(QuibSound::MapPan(0x10000), -10000);
    EXPECT_EQ(QuibSound::MapPan(0x4000), 1000);
    EXPECT_EQ(QuibSound::MapPan(0xC000), -1000);
}

TEST(MapPan, FallsSteadilyAcrossTheScale) {
    for (int pan = 1; pan <= 0xFFFF; ++pan)
        ASSERT_LE(QuibSound::MapPan(pan), QuibSound::MapPan(pan - 1)) << pan;
}
