// PlayerList: the eight players of the game collection and the current player, kept in the INI file
// "options.ini" of the menu folder (sections "Player1".."Player8" with keys name, address, email and
// send; the current player is "playerid" in section "setup").
#pragma once

#include <cstddef>

constexpr int kPlayerCount = 8;
constexpr int kPlayerFieldBytes = 64;
constexpr int kPlayerPathBytes = 256;
// Room for GetPlayerString's "name:address:email:send" (at most 193 characters) and its terminator.
constexpr int kPlayerStringBytes = 256;

struct PlayerRecord {
    char name[kPlayerFieldBytes];
    char address[kPlayerFieldBytes];
    char email[kPlayerFieldBytes];
    char send[2]; // "Y" or "N"
};

class PlayerList {
  public:
    // Remembers the INI file (cut to 255 characters); NULL leaves it as it is.
    void SetIniPath(const char* path);
    // Reads the current player's index from the file; 0 without a file, for a value that is not a
    // number, and for one outside 0..7. The index is kept and returned.
    int ReadCurrentPlayer();
    // Stores i (0..7) as the current player, in the file and here.
    void WriteCurrentPlayer(int i);
    // Reads player i (0..7) from the file; defaults "Player<i+1>", "", "", "Y".
    void ReadPlayer(int i);
    // Reads player i, then writes "name:address:email:send" into out (size bytes, cut and
    // terminated). Returns out.
    char* GetPlayerString(int i, char* out, size_t size = kPlayerStringBytes);
    // Writes record as player i (name, address, email, send, in that order), then reads it back.
    void WritePlayer(int i, const PlayerRecord& record);
    // Player i back to "Player<i+1>", no address or e-mail, send "Y", written at once.
    void ResetPlayer(int i);
    void ResetAll();

    int m_nCurrent = 0;
    PlayerRecord m_Players[kPlayerCount] = {};
    char m_szPath[kPlayerPathBytes] = {}; // empty: no file

  private:
    bool HasPath() const { return m_szPath[0] != '\0'; }
};
