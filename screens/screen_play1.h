#pragma once

// Threads: user-interface thread only. The computer chooses its shot inside one timer tick.

#include "game/opponent.h"
#include "screens/screen_play.h"

/// Ticks from the start of the computer's turn to its choice.
inline constexpr std::int32_t kComputerThinkTicks = 5;
/// Ticks the computer waits after its camera swing before it flicks.
inline constexpr std::int32_t kComputerAimTicks = 8;
/// Speed of every computer flick, board units per second.
inline constexpr double kComputerSpeed = kComputerFlickSpeed;

/// Phases of the computer's turn.
enum ComputerPhase : std::uint8_t {
    kComputerIdle = 0,      ///< the person's turn, or pieces moving
    kComputerThinking = 1,  ///< waiting before choosing
    kComputerAiming = 2,    ///< the choice shown, waiting before the flick
};

/// One person (the Red army) against the computer (the White army). When White is to move the
/// screen waits, lets the computer choose, swings the camera along the shot, waits again and
/// flicks. Only the person scores; the total runs on from GAME to GAME.
class CScreenPlay1 final : public CScreenPlay {
public:
    CScreenPlay1() : CScreenPlay(PlayMode::VersusComputer) {}

    /// A snapshot with the side to move and the person's total score.
    std::unique_ptr<CScene> CreateScene() override;
    /// The computer's work, then the shared tick.
    void OnTimer() override;
    void ResetTotalScore() override;
    /// Only Red scores; whenever White is to move the computer's turn begins.
    bool JudgeMove() override;

    /// The person's total score.
    std::int32_t TotalScore() const { return match.gameScore[kRed]; }

    std::int32_t computerCountdown = 0;  ///< ticks left in the current phase
    std::uint8_t computerPhase = kComputerIdle;
    double computerSpeed = 0;       ///< speed of the computer's last flick
    std::int32_t chosenPiece = -1;  ///< the computer's chosen piece, -1 none
    OpponentState opponent;

private:
    void BattleStarted() override;
    bool ComputerWork();
    bool ChooseComputerShot();
    void FlickComputerShot();
    bool GiveUpTurn();
    void BeginComputerTurn();
};

/// The program's screen for the game against the computer.
extern CScreenPlay1 ScreenPlay1;
