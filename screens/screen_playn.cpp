#include "screens/screen_playn.h"

#include "framework/effect_sounds.h"
#include "framework/scene.h"

CScreenPlayN ScreenPlayN;

std::unique_ptr<CScene> CScreenPlayN::CreateScene() {
    return SceneWithBothScores();
}

void CScreenPlayN::OnTimer() {
    PlayPendingFlick();
    // A flick whose piece fell meanwhile is dropped, and the next one is taken in its place.
    while (!IsBusy() && !waitingFlicks_.empty()) {
        FlickMessage next = waitingFlicks_.front();
        waitingFlicks_.pop_front();
        TakeFlick(next);
    }
    PumpNetwork(*this);
    // A message box runs ticks inside it; one of them may have ended the battle and left.
    if (CurrentScreen != this) return;
    CScreenPlay::OnTimer();
}

void CScreenPlayN::PlayPendingFlick() {
    if (!pending || --countdown > 0) return;
    pending = 0;
    Piece& piece = Board[match.lastFlickedPiece];
    // This machine's player may have knocked it off meanwhile, flicking out of turn as far as
    // the other machine's message goes.
    if (!piece.alive) {
        piece.selected = 0;
        return;
    }
    SetPieceMoving(match.lastFlickedPiece, pendingAim, pendingPower);
    ChargeSound().Play();
}

void CScreenPlayN::Flick(double power) {
    if (!IsPieceIndex(selectedPiece)) return;
    double speed = FlickSpeed(power);
    SendFlickMessage({selectedPiece, Board[selectedPiece].aim, speed});
    LaunchSelected(speed);
}

void CScreenPlayN::HandleFlickMessage(const FlickMessage& message) {
    // The other machine's player flicks only his own army: this one is nobody's to move.
    if (Board[message.piece].side == sideInControl) return;
    if (!IsBusy() && waitingFlicks_.empty()) {
        TakeFlick(message);
    } else if (waitingFlicks_.size() < kMaxWaitingFlicks) {
        waitingFlicks_.push_back(message);
    }
}

void CScreenPlayN::TakeFlick(const FlickMessage& message) {
    if (!Board[message.piece].alive) return;
    match.lastFlickedPiece = message.piece;
    pendingAim = message.aim;
    pendingPower = message.power;
    Board[message.piece].aim = message.aim;
    Board[message.piece].selected = 1;  // shown chosen while the camera turns
    SwingCamera(-message.aim);
    countdown = swingLength + kReceivedFlickDelayTicks;
    pending = 1;
}

void CScreenPlayN::NewGame() {
    StartBattle(0, 0, kRed);
}

// This machine keeps control of its own army; the camera turns to it, whoever moves first.
void CScreenPlayN::BattleStarted() {
    PrepareBattle();
    pending = 0;
    SwingCamera(RandomViewAzimuth(sideInControl));
}

void CScreenPlayN::BeginSession(std::uint8_t localArmy) {
    sideInControl = localArmy;
    waitingFlicks_.clear();
    StartBattle(0, 0, kRed);
    match.gameScore = {0, 0};
}

bool CScreenPlayN::JudgeMove() {
    Judgement judgement = ::JudgeMove(match, Board, mode());
    bool gameOver = judgement.outcome == Judgement::Outcome::NextGame;
    if (ShowJudgement(judgement)) {
        if (gameOver) {
            CloseNetworkSessionAfterGame();
            waitingFlicks_.clear();
            match.gameScore = {0, 0};
        }
        return true;
    }
    if (judgement.turnPassed && match.sideToMove == sideInControl) {
        SwingToTurn(viewAzimuth[sideInControl]);
    }
    return false;
}
