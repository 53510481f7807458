#pragma once

// Threads: user-interface thread only.

#include "screens/screen_play.h"

/// Two people taking turns at one machine: control goes to whichever army is to move, the
/// camera swings over to that army's view when the turn changes, and both armies score.
class CScreenPlay2 final : public CScreenPlay {
public:
    CScreenPlay2() : CScreenPlay(PlayMode::TwoPlayers) {}

    /// A snapshot with the side to move and both game scores.
    std::unique_ptr<CScene> CreateScene() override;
    /// Both armies score; when the turn passes the camera swings to the new mover's view.
    bool JudgeMove() override;

private:
    void BattleStarted() override;
};

/// The program's two-player screen.
extern CScreenPlay2 ScreenPlay2;
