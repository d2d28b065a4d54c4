#include "framework/playerlist.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/win/profile.h"

namespace {

constexpr const char* kSetupSection = "setup";
constexpr const char* kCurrentKey = "playerid";

bool IsPlayerIndex(int i) {
    return i >= 0 && i < kPlayerCount;
}

// The section of player i: "Player1" for the first.
void SectionOf(int i, char (&section)[16]) {
    std::snprintf(section, sizeof section, "Player%d", i + 1);
}

// Copies text into a field of size bytes, cut and terminated.
void CopyField(char* field, size_t size, const char* text) {
    std::snprintf(field, size, "%s", text ? text : "");
}

} // namespace

void PlayerList::SetIniPath(const char* path) {
    if (path) CopyField(m_szPath, sizeof m_szPath, path);
}

int PlayerList::ReadCurrentPlayer() {
    if (!HasPath()) return m_nCurrent = 0;
    char value[32];
    GetPrivateProfileStringA(kSetupSection, kCurrentKey, "0", value, sizeof value, m_szPath);
    int current = std::atoi(value);
    // A hand-edited index outside the table reads as the first player.
    m_nCurrent = IsPlayerIndex(current) ? current : 0;
    return m_nCurrent;
}

void PlayerList::WriteCurrentPlayer(int i) {
    if (!HasPath() || !IsPlayerIndex(i)) return;
    char value[16];
    std::snprintf(value, sizeof value, "%d", i);
    WritePrivateProfileStringA(kSetupSection, kCurrentKey, value, m_szPath);
    m_nCurrent = i;
}

void PlayerList::ReadPlayer(int i) {
    if (!HasPath() || !IsPlayerIndex(i)) return;
    char section[16];
    SectionOf(i, section);
    PlayerRecord& player = m_Players[i];
    GetPrivateProfileStringA(section, "name", section, player.name, sizeof player.name, m_szPath);
    GetPrivateProfileStringA(section, "address", "", player.address, sizeof player.address, m_szPath);
    GetPrivateProfileStringA(section, "email", "", player.email, sizeof player.email, m_szPath);
    GetPrivateProfileStringA(section, "send", "Y", player.send, sizeof player.send, m_szPath);
}

char* PlayerList::GetPlayerString(int i, char* out, size_t size) {
    if (!out || size == 0) return out;
    if (!IsPlayerIndex(i)) {
        out[0] = '\0';
        return out;
    }
    ReadPlayer(i);
    const PlayerRecord& player = m_Players[i];
    // Fields are printed with their size as the limit, in case a caller filled one without its terminator.
    std::snprintf(out, size, "%.*s:%.*s:%.*s:%.*s", kPlayerFieldBytes - 1, player.name, kPlayerFieldBytes - 1,
                  player.address, kPlayerFieldBytes - 1, player.email, 1, player.send);
    return out;
}

void PlayerList::WritePlayer(int i, const PlayerRecord& record) {
    if (!HasPath() || !IsPlayerIndex(i)) return;
    char section[16];
    SectionOf(i, section);
    // Terminated copies: record may come from a caller's buffers (or be the player itself).
    char name[kPlayerFieldBytes], address[kPlayerFieldBytes], email[kPlayerFieldBytes], send[2];
    std::snprintf(name, sizeof name, "%.*s", kPlayerFieldBytes - 1, record.name);
    std::snprintf(address, sizeof address, "%.*s", kPlayerFieldBytes - 1, record.address);
    std::snprintf(email, sizeof email, "%.*s", kPlayerFieldBytes - 1, record.email);
    std::snprintf(send, sizeof send, "%.*s", 1, record.send);
    WritePrivateProfileStringA(section, "name", name, m_szPath);
    WritePrivateProfileStringA(section, "address", address, m_szPath);
    WritePrivateProfileStringA(section, "email", email, m_szPath);
    WritePrivateProfileStringA(section, "send", send, m_szPath);
    char scratch[kPlayerStringBytes];
    GetPlayerString(i, scratch, sizeof scratch);
}

void PlayerList::ResetPlayer(int i) {
    if (!IsPlayerIndex(i)) return;
    PlayerRecord& player = m_Players[i];
    std::memset(&player, 0, sizeof player);
    std::snprintf(player.name, sizeof player.name, "Player%d", i + 1);
    CopyField(player.send, sizeof player.send, "Y");
    WritePlayer(i, player);
}

void PlayerList::ResetAll() {
    for (int i = 0; i < kPlayerCount; ++i)
        ResetPlayer(i);
}
