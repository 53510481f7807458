#include "screens/screen_play2.h"

#include "framework/scene.h"

CScreenPlay2 ScreenPlay2;

std::unique_ptr<CScene> CScreenPlay2::CreateScene() {
    return SceneWithBothScores();
}

// The first mover takes control and the camera swings round to its side.
void CScreenPlay2::BattleStarted() {
    PrepareBattle();
    sideInControl = match.sideToMove;
    SwingCamera(RandomViewAzimuth(match.sideToMove));
}

bool CScreenPlay2::JudgeMove() {
    Judgement judgement = ::JudgeMove(match, Board, mode());
    sideInControl = match.sideToMove;
    if (ShowJudgement(judgement)) return true;
    if (judgement.turnPassed) SwingToTurn(viewAzimuth[match.sideToMove]);
    return false;
}
