// GameBase: the base of a game object: its state, score, player and level timing, with virtual
// operations a game overrides (level start, end, the frame) and plain accessors.
#pragma once

class GameBase {
  public:
    int state = 0;
    int score = 0;
    int highScore = 0;         // per-player best, only for the base's high-score operations
    int playerIndex = 0;       // the current player (0-7) of the player list
    int* highScores = nullptr; // ten per-player high scores, only for the base's high-score operations
    int paramC = 0;
    int paramA = 0;
    int timeBonus = 0; // seconds added when a ball reaches its goal
    int levelTime = 0; // the level's time in seconds
    int paramB = 0;

    GameBase() = default;
    virtual ~GameBase() = default;
    GameBase(const GameBase&) = delete;
    GameBase& operator=(const GameBase&) = delete;

    virtual void StartLevel() {}
    virtual void EndGame() {}
    virtual void Hook2() {}
    virtual void Hook3() {}
    // Per-player high scores; this game keeps its scores in the hall of fame instead.
    virtual int ReadHighScore() { return highScore; }
    virtual int WriteHighScore() { return 0; }
    // The frame's work; the base does nothing and returns -1.
    virtual int Frame() { return -1; }
    virtual int GetState() { return state; }
    virtual void SetState(int s) { state = s; }
    virtual void SetScore(int s) { score = s; }
    virtual int GetScore() { return score; }
    virtual void SetHighScore(int s) { highScore = s; }
    virtual void SetParamA(int v) { paramA = v; }
    virtual int GetParamA() { return paramA; }
    virtual void SetTimeBonus(int v) { timeBonus = v; }
    virtual int GetTimeBonus() { return timeBonus; }
    virtual void SetParamB(int v) { paramB = v; }
    virtual int GetParamB() { return paramB; }
    virtual void SetLevelTime(int v) { levelTime = v; }
    virtual int GetLevelTime() { return levelTime; }
    virtual void SetParamC(int v) { paramC = v; }
    virtual int GetParamC() { return paramC; }
    virtual void SetPlayerIndex(int i) { playerIndex = i; }
    virtual int GetPlayerIndex() { return playerIndex; }
};
