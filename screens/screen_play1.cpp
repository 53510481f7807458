#include "screens/screen_play1.h"

#include "framework/effect_sounds.h"
#include "framework/message_box.h"
#include "framework/settings_values.h"
#include "screens/scene_play.h"

CScreenPlay1 ScreenPlay1;

std::unique_ptr<CScene> CScreenPlay1::CreateScene() {
    return std::make_unique<CScenePlay1>(Board, Camera, match.sideToMove, TotalScore());
}

void CScreenPlay1::OnTimer() {
    if (ComputerWork()) return;
    CScreenPlay::OnTimer();
}

// Counts down the computer's phases; true when the screen was left (only when the computer
// had to give up a turn that ended the battle).
bool CScreenPlay1::ComputerWork() {
    if (computerPhase == kComputerThinking) {
        if (--computerCountdown <= 0) return ChooseComputerShot();
    } else if (computerPhase == kComputerAiming && IsPieceIndex(chosenPiece)) {
        if (--computerCountdown <= 0) FlickComputerShot();
    }
    return false;
}

bool CScreenPlay1::ChooseComputerShot() {
    CountsBefore counts{match.count[kRed], match.count[kWhite]};
    // The level is read afresh for every choice, so a change holds from the next one on.
    chosenPiece = ChooseShot(opponent, Board, kRed, counts, ComputerLevel);
    if (!IsPieceIndex(chosenPiece)) return GiveUpTurn();
    computerPhase = kComputerAiming;
    // The camera looks along the shot before it is made.
    SwingCamera(-Board[chosenPiece].aim);
    computerCountdown = swingLength + kComputerAimTicks;
    RedrawScreen(this);
    return false;
}

// Unlike a person's flick, the computer's keeps Red's last flicked piece (its repeat bonus
// survives the computer's moves) and White's view, and has no random spread.
void CScreenPlay1::FlickComputerShot() {
    computerPhase = kComputerIdle;
    computerSpeed = kComputerSpeed;
    SetPieceMoving(chosenPiece, Board[chosenPiece].aim, computerSpeed);
    chosenPiece = -1;
    ChargeSound().Play();
}

// The computer found no piece to flick or none to aim at, which the rules never allow while
// a battle goes on. It gives up its turn: the turn is judged as a move in which nothing
// moved, so the rules hand it to Red, or end the battle the board shows to be over. The
// screen is settled before the message box opens, because the timer keeps ticking inside it.
bool CScreenPlay1::GiveUpTurn() {
    computerPhase = kComputerIdle;
    chosenPiece = -1;
    bool left = JudgeMove();
    ShowMessage("Something goes wrong");
    return left;
}

void CScreenPlay1::ResetTotalScore() {
    match.gameScore[kRed] = 0;
}

// The person always plays Red. Red's camera comes round, or the computer's turn begins.
void CScreenPlay1::BattleStarted() {
    sideInControl = kRed;
    PrepareBattle();
    chosenPiece = -1;
    computerPhase = kComputerIdle;
    if (match.sideToMove == kRed) {
        SwingCamera(RandomViewAzimuth(kRed));
    } else {
        BeginComputerTurn();
    }
}

void CScreenPlay1::BeginComputerTurn() {
    computerCountdown = kComputerThinkTicks;
    computerPhase = kComputerThinking;
}

bool CScreenPlay1::JudgeMove() {
    Judgement judgement = ::JudgeMove(match, Board, mode());
    if (ShowJudgement(judgement)) return true;
    if (match.sideToMove == kWhite) {
        BeginComputerTurn();
    } else if (judgement.turnPassed) {
        SwingToTurn(viewAzimuth[kRed]);
    }
    return false;
}
