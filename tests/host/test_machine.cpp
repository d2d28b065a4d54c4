// The machine: defaults and machine files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "host/backend/machine.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

bool HasMode(const HostMachine& machine, int width, int height, int bits) {
    for (const HostDisplayMode& mode : machine.displayModes)
        if (mode.width == width && mode.height == height && mode.bitsPerPixel == bits) return true;
    return false;
}

TEST(MachineTest, DefaultsDescribeAnOrdinaryHighColourDesktop) {
    HostMachine machine = HostDefaultMachine();
    EXPECT_EQ(machine.desktopWidth, 1024);
    EXPECT_EQ(machine.desktopHeight, 768);
    EXPECT_EQ(machine.desktopBitsPerPixel, 16);
    EXPECT_TRUE(HasMode(machine, 800, 600, 8));
    EXPECT_TRUE(HasMode(machine, 800, 600, 16));
    EXPECT_TRUE(HasMode(machine, 800, 600, 32));
    EXPECT_TRUE(HasMode(machine, 640, 480, 16));
    EXPECT_GE(machine.videoMemoryTotal, machine.videoMemoryFree);
}

TEST(MachineTest, AFileSetsEveryKey) {
    HostMachine machine = HostDefaultMachine();
    std::string message;
    ASSERT_TRUE(HostParseMachineText("# a small card\n"
                                     "desktop = 800x600x15\n"
                                     "pixels555 = yes\n"
                                     "video_memory = 4M\n"
                                     "video_memory_free = 1536K\n"
                                     "  modes = 640x480x8, 800x600x16 1024x768x32\n"
                                     "hardware_3d = no\n"
                                     "SOFTWARE_3D = off\n"
                                     "palettised_8bit_textures = true\n"
                                     "; no sound card\n"
                                     "audio = 0\r\n"
                                     "joysticks = 2\n",
                                     machine, message))
        << message;
    EXPECT_EQ(machine.desktopWidth, 800);
    EXPECT_EQ(machine.desktopHeight, 600);
    EXPECT_EQ(machine.desktopBitsPerPixel, 15);
    EXPECT_TRUE(machine.pixels555);
    EXPECT_EQ(machine.videoMemoryTotal, 4u * 1024 * 1024);
    EXPECT_EQ(machine.videoMemoryFree, 1536u * 1024);
    ASSERT_EQ(machine.displayModes.size(), 3u);
    EXPECT_TRUE(HasMode(machine, 1024, 768, 32));
    EXPECT_FALSE(HasMode(machine, 800, 600, 8));
    EXPECT_FALSE(machine.hardware3D);
    EXPECT_FALSE(machine.software3D);
    EXPECT_TRUE(machine.palettised8BitTextures);
    EXPECT_FALSE(machine.audioDevice);
    EXPECT_EQ(machine.joysticks, 2);
}

TEST(MachineTest, KeysNotWrittenKeepTheirValues) {
    HostMachine machine = HostDefaultMachine();
    std::string message;
    ASSERT_TRUE(HostParseMachineText("audio = no\n", machine, message));
    EXPECT_FALSE(machine.audioDevice);
    EXPECT_EQ(machine.desktopWidth, 1024);
    EXPECT_TRUE(HasMode(machine, 800, 600, 16));
    ASSERT_TRUE(HostParseMachineText("modes =\n", machine, message));
    EXPECT_TRUE(machine.displayModes.empty());
}

struct BadLine {
    const char* text;
    const char* message;
};

TEST(MachineTest, BadLinesAreNamedAndChangeNothing) {
    const BadLine cases[] = {
        {"desktop = 1024x768\n", "line 1: desktop wants WIDTHxHEIGHTxBITS, not '1024x768'"},
        {"audio = yes\nvolume = 3\n", "line 2: unknown key 'volume'"},
        {"\n\nmodes = 800x600x16 800x600x12\n",
         "line 3: modes wants WIDTHxHEIGHTxBITS items, not '800x600x12'"},
        {"hardware_3d = maybe\n", "line 1: hardware_3d wants yes or no, not 'maybe'"},
        {"joysticks = 17\n", "line 1: joysticks wants 0 to 16, not '17'"},
        {"video_memory = 5G\n", "line 1: video_memory wants bytes (suffix K or M allowed), not '5G'"},
        {"video_memory = 4096M\n", "line 1: video_memory wants bytes (suffix K or M allowed), not '4096M'"},
        {"desktop 800x600x16\n", "line 1: expected 'key = value'"},
        {"desktop = 0x600x16\n", "line 1: desktop wants WIDTHxHEIGHTxBITS, not '0x600x16'"},
        {"desktop = 99999x600x16\n", "line 1: desktop wants WIDTHxHEIGHTxBITS, not '99999x600x16'"},
        {"video_memory = 1M\nvideo_memory_free = 2M\n", "video_memory_free is larger than video_memory"},
    };
    for (const BadLine& bad : cases) {
        HostMachine machine = HostDefaultMachine();
        std::string message;
        EXPECT_FALSE(HostParseMachineText(bad.text, machine, message)) << bad.text;
        EXPECT_EQ(message, bad.message) << bad.text;
        EXPECT_EQ(machine.desktopWidth, 1024) << bad.text;
        EXPECT_TRUE(machine.audioDevice) << bad.text;
        EXPECT_EQ(machine.videoMemoryTotal, HostDefaultMachine().videoMemoryTotal) << bad.text;
    }
}

TEST(MachineTest, FilesAreReadAndMissingOrBinaryFilesRefused) {
    const testsupport::TempFolder folder("wincore");
    const std::string path = folder / "machine.txt";
    testsupport::WriteText(path, "desktop = 1280x1024x16\n");
    HostMachine machine = HostDefaultMachine();
    std::string message;
    ASSERT_TRUE(HostLoadMachineFile(path.c_str(), machine, message)) << message;
    EXPECT_EQ(machine.desktopWidth, 1280);
    testsupport::WriteText(path, "audio = no\nbogus\n");
    EXPECT_FALSE(HostLoadMachineFile(path.c_str(), machine, message));
    EXPECT_EQ(message, path + " line 2: expected 'key = value'");
    testsupport::WriteText(path, std::string("audio = no\0\n", 12));
    EXPECT_FALSE(HostLoadMachineFile(path.c_str(), machine, message));
    EXPECT_EQ(message, path + ": not a text file");
    std::remove(path.c_str());
    EXPECT_FALSE(HostLoadMachineFile(path.c_str(), machine, message));
    EXPECT_EQ(message, path + ": cannot open");
    EXPECT_FALSE(HostLoadMachineFile(nullptr, machine, message));
    EXPECT_TRUE(machine.audioDevice);
    EXPECT_EQ(machine.desktopWidth, 1280);
}

TEST(MachineTest, TheMachineInUseCanBeReplaced) {
    HostMachine machine = HostDefaultMachine();
    machine.joysticks = 3;
    HostSetMachine(machine);
    EXPECT_EQ(HostGetMachine().joysticks, 3);
    HostSetScreenMode(640, 480, 8);
    EXPECT_EQ(HostGetScreenMode().width, 640);
    HostSetMachine(HostDefaultMachine()); // a new machine starts at its desktop
    EXPECT_EQ(HostGetScreenMode().width, 1024);
    EXPECT_EQ(HostGetMachine().joysticks, 0);
}

} // namespace
