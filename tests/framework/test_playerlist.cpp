// The player list in "options.ini": defaults, the current player, records written and read back
// through the profile rules.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "framework/playerlist.h"
#include "host/win/profile.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

using testsupport::TempFolder;

using testsupport::ReadText;
using testsupport::WriteText;

PlayerRecord Record(const char* name, const char* address, const char* email, const char* send) {
    PlayerRecord record{};
    std::snprintf(record.name, sizeof record.name, "%s", name);
    std::snprintf(record.address, sizeof record.address, "%s", address);
    std::snprintf(record.email, sizeof record.email, "%s", email);
    std::snprintf(record.send, sizeof record.send, "%.1s", send);
    return record;
}

class PlayerListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = folder_ / "options.ini";
        players_.SetIniPath(path_.c_str());
    }

    std::string PlayerString(PlayerList& list, int i) {
        char out[kPlayerStringBytes];
        return list.GetPlayerString(i, out);
    }

    TempFolder folder_{"quib-players-test"};
    std::string path_;
    PlayerList players_;
};

} // namespace

TEST_F(PlayerListTest, MissingFileReadsAsDefaults) {
    EXPECT_EQ(players_.ReadCurrentPlayer(), 0);
    for (int i = 0; i < kPlayerCount; ++i) {
        players_.ReadPlayer(i);
        EXPECT_EQ(std::string(players_.m_Players[i].name), "Player" + std::to_string(i + 1));
        EXPECT_STREQ(players_.m_Players[i].address, "");
        EXPECT_STREQ(players_.m_Players[i].email, "");
        EXPECT_STREQ(players_.m_Players[i].send, "Y");
    }
    EXPECT_EQ(PlayerString(players_, 1), "Player2:::Y");
    EXPECT_FALSE(std::filesystem::exists(path_)); // reading creates nothing
}

TEST_F(PlayerListTest, CurrentPlayerOutsideTheTableReadsAsTheFirst) {
    const std::pair<const char*, int> cases[] = {{"5", 5},  {"7", 7}, {"abc", 0}, {"9", 0},
                                                 {"-1", 0}, {"8", 0}, {"3x", 3},  {"", 0}};
    for (auto [value, expected] : cases) {
        WriteText(path_, std::string("[setup]\nplayerid=") + value + "\n");
        players_.m_nCurrent = 4;
        EXPECT_EQ(players_.ReadCurrentPlayer(), expected) << value;
        EXPECT_EQ(players_.m_nCurrent, expected) << value;
    }
    // The file is left as it was.
    EXPECT_EQ(ReadText(path_), "[setup]\nplayerid=\n");
}

TEST_F(PlayerListTest, WriteCurrentPlayerIsReadBack) {
    players_.WriteCurrentPlayer(6);
    EXPECT_EQ(players_.m_nCurrent, 6);
    PlayerList other;
    other.SetIniPath(path_.c_str());
    EXPECT_EQ(other.ReadCurrentPlayer(), 6);
    char value[8];
    GetPrivateProfileStringA("setup", "playerid", "", value, sizeof value, path_.c_str());
    EXPECT_STREQ(value, "6");
    players_.WriteCurrentPlayer(8); // not a player: nothing changes
    players_.WriteCurrentPlayer(-1);
    EXPECT_EQ(other.ReadCurrentPlayer(), 6);
    EXPECT_EQ(players_.m_nCurrent, 6);
}

TEST_F(PlayerListTest, WrittenPlayerIsReadByAnotherList) {
    players_.WritePlayer(2, Record("Ann", "1 Main St", "ann@example.org", "N"));
    PlayerList other;
    other.SetIniPath(path_.c_str());
    other.ReadPlayer(2);
    EXPECT_STREQ(other.m_Players[2].name, "Ann");
    EXPECT_STREQ(other.m_Players[2].address, "1 Main St");
    EXPECT_STREQ(other.m_Players[2].email, "ann@example.org");
    EXPECT_STREQ(other.m_Players[2].send, "N");
    EXPECT_EQ(PlayerString(other, 2), "Ann:1 Main St:ann@example.org:N");
    // WritePlayer re-reads the record it wrote.
    EXPECT_STREQ(players_.m_Players[2].name, "Ann");
    // Keys in the order name, address, email, send; empty values as "key=".
    players_.WritePlayer(4, Record("Bo", "", "", "Y"));
    std::string text = ReadText(path_);
    size_t section = text.find("[Player5]");
    ASSERT_NE(section, std::string::npos);
    std::string tail = text.substr(section);
    size_t name = tail.find("name=Bo"), address = tail.find("address="), email = tail.find("email="),
           send = tail.find("send=Y");
    ASSERT_NE(send, std::string::npos);
    EXPECT_LT(name, address);
    EXPECT_LT(address, email);
    EXPECT_LT(email, send);
}

TEST_F(PlayerListTest, SendKeepsOneCharacter) {
    WriteText(path_, "[Player1]\nname=Cy\nsend=No\n");
    players_.ReadPlayer(0);
    EXPECT_STREQ(players_.m_Players[0].send, "N");
    EXPECT_EQ(PlayerString(players_, 0), "Cy:::N");
}

TEST_F(PlayerListTest, KeysAndSectionsIgnoreCase) {
    WriteText(path_,
              "[PLAYER3]\r\nNAME=Dee\r\nAddress=Elm\r\nEMAIL=d@x\r\nSend=N\r\n[SETUP]\r\nPlayerID=2\r\n");
    players_.ReadPlayer(2);
    EXPECT_STREQ(players_.m_Players[2].name, "Dee");
    EXPECT_STREQ(players_.m_Players[2].address, "Elm");
    EXPECT_STREQ(players_.m_Players[2].email, "d@x");
    EXPECT_STREQ(players_.m_Players[2].send, "N");
    EXPECT_EQ(players_.ReadCurrentPlayer(), 2);
    // Writing replaces the existing keys in place rather than adding new ones.
    players_.WritePlayer(2, Record("Eve", "Oak", "e@x", "Y"));
    std::string text = ReadText(path_);
    EXPECT_EQ(text.find("Dee"), std::string::npos);
    size_t first = text.find("Eve");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(text.find("Eve", first + 1), std::string::npos);
}

TEST_F(PlayerListTest, ResetPlayerIsWrittenAtOnce) {
    players_.WritePlayer(0, Record("Fay", "Pine", "f@x", "N"));
    players_.ResetPlayer(0);
    EXPECT_STREQ(players_.m_Players[0].name, "Player1");
    PlayerList other;
    other.SetIniPath(path_.c_str());
    EXPECT_EQ(PlayerString(other, 0), "Player1:::Y");
    players_.ResetAll();
    for (int i = 0; i < kPlayerCount; ++i)
        EXPECT_EQ(PlayerString(other, i), "Player" + std::to_string(i + 1) + ":::Y");
}

TEST_F(PlayerListTest, EightPlayersRoundTrip) {
    for (int i = 0; i < kPlayerCount; ++i) {
        std::string n = std::to_string(i);
        players_.WritePlayer(
            i, Record(("name" + n).c_str(), ("addr" + n).c_str(), ("mail" + n).c_str(), i % 2 ? "Y" : "N"));
    }
    PlayerList other;
    other.SetIniPath(path_.c_str());
    for (int i = 0; i < kPlayerCount; ++i) {
        std::string n = std::to_string(i);
        EXPECT_EQ(PlayerString(other, i), "name" + n + ":addr" + n + ":mail" + n + (i % 2 ? ":Y" : ":N"));
    }
}

TEST_F(PlayerListTest, LongValuesAreCutToTheirFields) {
    std::string longValue(100, 'q');
    WriteText(path_,
              "[Player1]\nname=" + longValue + "\naddress=" + longValue + "\nemail=" + longValue + "\n");
    players_.ReadPlayer(0);
    EXPECT_EQ(std::strlen(players_.m_Players[0].name), 63u);
    EXPECT_EQ(std::strlen(players_.m_Players[0].address), 63u);
    std::string whole = PlayerString(players_, 0);
    EXPECT_EQ(whole.size(), 63u * 3 + 4);
    // A small output buffer is cut and terminated.
    char small[10];
    std::memset(small, 'z', sizeof small);
    players_.GetPlayerString(0, small, sizeof small);
    EXPECT_EQ(std::string(small), std::string(9, 'q'));
}

TEST_F(PlayerListTest, RecordWithoutTerminatorsIsWrittenBounded) {
    PlayerRecord record;
    std::memset(&record, 'w', sizeof record);
    players_.WritePlayer(1, record);
    players_.ReadPlayer(1);
    EXPECT_EQ(std::string(players_.m_Players[1].name), std::string(63, 'w'));
    EXPECT_EQ(std::string(players_.m_Players[1].email), std::string(63, 'w'));
    EXPECT_STREQ(players_.m_Players[1].send, "w");
}

TEST_F(PlayerListTest, WithoutAPathNothingIsReadOrWritten) {
    PlayerList none;
    none.m_Players[0] = Record("Kept", "", "", "Y");
    EXPECT_EQ(none.ReadCurrentPlayer(), 0);
    none.ReadPlayer(0);
    EXPECT_STREQ(none.m_Players[0].name, "Kept");
    none.WriteCurrentPlayer(3);
    EXPECT_EQ(none.m_nCurrent, 0);
    none.WritePlayer(0, Record("x", "", "", "Y"));
    none.SetIniPath(nullptr);
    EXPECT_STREQ(none.m_szPath, "");
    // Indices outside the table are ignored.
    players_.ReadPlayer(8);
    players_.ReadPlayer(-1);
    players_.WritePlayer(8, Record("x", "", "", "Y"));
    players_.ResetPlayer(-1);
    char out[16] = "unchanged";
    EXPECT_STREQ(players_.GetPlayerString(9, out), "");
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(PlayerListTest, PathIsCutToItsBuffer) {
    std::string longPath(400, 'p');
    PlayerList list;
    list.SetIniPath(longPath.c_str());
    EXPECT_EQ(std::strlen(list.m_szPath), size_t(kPlayerPathBytes - 1));
}
