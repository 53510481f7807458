#include "screens/screen_play2.h"

#include "screens/scene_play.h"

CScreenPlay2 ScreenPlay2;

std::unique_ptr<CScene> CScreenPlay2::CreateScene() {
    return std::make_unique<CScenePlay2>(Board, Camera, match.sideToMove, match.gameScore[kRed],
                                         match.gameScore[kWhite]);
}

void CScreenPlay2::NewGame() {
    ::StartGame(match, Board, mode());
    BattleStarted();
}

void CScreenPlay2::StartBattle(std::int32_t redRow, std::int32_t whiteRow,
                               std::uint8_t firstMover) {
    ::StartBattle(match, Board, redRow, whiteRow, firstMover);
    BattleStarted();
}

// The screen's share of a battle the rules have set up: the first mover takes control and the
// camera swings round to its side.
void CScreenPlay2::BattleStarted() {
    PrepareBattle();
    sideInControl = match.sideToMove;
    SwingCamera(RandomViewAzimuth(match.sideToMove));
}

bool CScreenPlay2::JudgeMove() {
    Judgement judgement = ::JudgeMove(match, Board, mode());
    sideInControl = match.sideToMove;
    if (ShowJudgement(judgement)) return true;
    if (judgement.turnPassed) SwingCamera(viewAzimuth[match.sideToMove]);
    return false;
}
