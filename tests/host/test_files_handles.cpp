// Files through kernel handles: create, read, write, position, size, delete, folders, attributes.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "host/win/files.h"
#include "win_test_folder.h"

namespace {

using wintest::ReadText;
using wintest::TempFolder;
using wintest::WriteText;

class FileHandles : public ::testing::Test {
  protected:
    HANDLE Open(const std::string& path, DWORD access, DWORD disposition) {
        return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    }
    TempFolder folder_;
};

TEST_F(FileHandles, OpeningAMissingFileFailsWithTheReason) {
    EXPECT_EQ(Open(folder_ / "missing.wav", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Open(folder_ / "nofolder/x.wav", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

TEST_F(FileHandles, WrittenBytesReadBackThroughAnotherCase) {
    HANDLE out = Open(folder_ / "Sound.wav", GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    DWORD wrote = 0;
    ASSERT_TRUE(WriteFile(out, "RIFF....WAVE", 12, &wrote, nullptr));
    EXPECT_EQ(wrote, 12u);
    EXPECT_TRUE(CloseHandle(out));

    std::string path = folder_.Path() + "\\SOUND.WAV";
    HANDLE in = Open(path, GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(in, INVALID_HANDLE_VALUE);
    char data[16] = {};
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(in, data, 4, &got, nullptr));
    EXPECT_EQ(got, 4u);
    EXPECT_EQ(std::string(data, 4), "RIFF");
    EXPECT_TRUE(CloseHandle(in));
}

TEST_F(FileHandles, ReadsAtTheEndAreShortThenEmpty) {
    WriteText(folder_ / "a.bin", "0123456789");
    HANDLE in = Open(folder_ / "a.bin", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(in, INVALID_HANDLE_VALUE);
    char data[8];
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(in, data, 8, &got, nullptr));
    EXPECT_EQ(got, 8u);
    ASSERT_TRUE(ReadFile(in, data, 8, &got, nullptr));
    EXPECT_EQ(got, 2u); // a short read at the end succeeds
    ASSERT_TRUE(ReadFile(in, data, 8, &got, nullptr));
    EXPECT_EQ(got, 0u);
    CloseHandle(in);
}

TEST_F(FileHandles, FilePointerMovesFromEachOrigin) {
    WriteText(folder_ / "a.bin", "0123456789");
    HANDLE in = Open(folder_ / "a.bin", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(in, INVALID_HANDLE_VALUE);
    char c = 0;
    DWORD got = 0;
    EXPECT_EQ(SetFilePointer(in, 3, nullptr, FILE_BEGIN), 3u);
    ReadFile(in, &c, 1, &got, nullptr);
    EXPECT_EQ(c, '3');
    EXPECT_EQ(SetFilePointer(in, 2, nullptr, FILE_CURRENT), 6u);
    ReadFile(in, &c, 1, &got, nullptr);
    EXPECT_EQ(c, '6');
    EXPECT_EQ(SetFilePointer(in, -1, nullptr, FILE_END), 9u);
    ReadFile(in, &c, 1, &got, nullptr);
    EXPECT_EQ(c, '9');
    LONG high = 0;
    EXPECT_EQ(SetFilePointer(in, 4, &high, FILE_BEGIN), 4u);
    EXPECT_EQ(high, 0);
    CloseHandle(in);
}

TEST_F(FileHandles, FilePointerBeforeTheStartIsRefusedAndStays) {
    WriteText(folder_ / "a.bin", "0123456789");
    HANDLE in = Open(folder_ / "a.bin", GENERIC_READ, OPEN_EXISTING);
    SetFilePointer(in, 5, nullptr, FILE_BEGIN);
    EXPECT_EQ(SetFilePointer(in, -6, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(in, 0, nullptr, FILE_CURRENT), 5u);
    EXPECT_EQ(SetFilePointer(in, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
    CloseHandle(in);
}

TEST_F(FileHandles, SizeIsReported) {
    WriteText(folder_ / "a.bin", std::string(5204, 'x'));
    HANDLE in = Open(folder_ / "a.bin", GENERIC_READ, OPEN_EXISTING);
    DWORD high = 99;
    EXPECT_EQ(GetFileSize(in, &high), 5204u);
    EXPECT_EQ(high, 0u);
    CloseHandle(in);
}

TEST_F(FileHandles, AccessIsLimitedToWhatWasAsked) {
    WriteText(folder_ / "a.bin", "data");
    HANDLE in = Open(folder_ / "a.bin", GENERIC_READ, OPEN_EXISTING);
    DWORD wrote = 7;
    EXPECT_FALSE(WriteFile(in, "x", 1, &wrote, nullptr));
    EXPECT_EQ(wrote, 0u);
    CloseHandle(in);
    HANDLE out = Open(folder_ / "a.bin", GENERIC_WRITE, OPEN_EXISTING);
    char c;
    DWORD got = 7;
    EXPECT_FALSE(ReadFile(out, &c, 1, &got, nullptr));
    EXPECT_EQ(got, 0u);
    CloseHandle(out);
    EXPECT_EQ(ReadText(folder_ / "a.bin"), "data");
}

TEST_F(FileHandles, DispositionsCreateTruncateOrRefuse) {
    WriteText(folder_ / "a.bin", "old data");
    EXPECT_EQ(Open(folder_ / "A.BIN", GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));

    HANDLE h = Open(folder_ / "a.bin", GENERIC_WRITE, OPEN_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    CloseHandle(h);
    EXPECT_EQ(ReadText(folder_ / "a.bin"), "old data");

    h = Open(folder_ / "a.bin", GENERIC_WRITE, CREATE_ALWAYS);
    CloseHandle(h);
    EXPECT_EQ(ReadText(folder_ / "a.bin"), "");

    h = Open(folder_ / "new.bin", GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_TRUE(std::filesystem::exists(folder_ / "new.bin"));
}

TEST_F(FileHandles, AFolderCannotBeOpenedAsAFile) {
    EXPECT_EQ(Open(folder_.Path(), GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

TEST_F(FileHandles, ClosedAndForgedHandlesAreRefused) {
    WriteText(folder_ / "a.bin", "data");
    HANDLE in = Open(folder_ / "a.bin", GENERIC_READ, OPEN_EXISTING);
    ASSERT_TRUE(CloseHandle(in));
    EXPECT_FALSE(CloseHandle(in));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    char c;
    DWORD got;
    EXPECT_FALSE(ReadFile(in, &c, 1, &got, nullptr));
    EXPECT_FALSE(ReadFile(INVALID_HANDLE_VALUE, &c, 1, &got, nullptr));
    EXPECT_FALSE(ReadFile(nullptr, &c, 1, &got, nullptr));
    EXPECT_EQ(GetFileSize(in, nullptr), INVALID_FILE_SIZE);
    EXPECT_FALSE(CloseHandle(nullptr));
}

TEST_F(FileHandles, DeleteRemovesFilesOnly) {
    WriteText(folder_ / "Score.dat", "x");
    std::filesystem::create_directory(folder_ / "sub");
    EXPECT_TRUE(DeleteFileA((folder_.Path() + "\\score.DAT").c_str()));
    EXPECT_FALSE(std::filesystem::exists(folder_ / "Score.dat"));
    EXPECT_FALSE(DeleteFileA((folder_ / "Score.dat").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFileA((folder_ / "sub").c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(folder_ / "sub"));
}

TEST_F(FileHandles, CreateDirectoryNeedsAParentAndAFreeName) {
    EXPECT_TRUE(CreateDirectoryA((folder_.Path() + "\\Levels").c_str(), nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(folder_ / "Levels"));
    EXPECT_FALSE(CreateDirectoryA((folder_.Path() + "\\LEVELS").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryA((folder_.Path() + "\\no\\deeper").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

TEST_F(FileHandles, AttributesTellFoldersFilesAndHiddenNames) {
    std::filesystem::create_directory(folder_ / "Tessary");
    std::filesystem::create_directory(folder_ / ".git");
    WriteText(folder_ / "hiscore.dat", "x");
    EXPECT_EQ(GetFileAttributesA((folder_ / "TESSARY").c_str()), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesA((folder_ / ".git").c_str()),
              DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(GetFileAttributesA((folder_ / "HiScore.dat").c_str()), DWORD(FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributesA((folder_ / "none").c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
