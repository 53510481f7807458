#include "screens/screen_play.h"

#include "framework/clock.h"
#include "framework/effect_sounds.h"
#include "framework/mouse_capture.h"
#include "framework/program_queue.h"
#include "framework/scene.h"
#include "framework/settings_values.h"
#include "game/flag.h"
#include "game/physics.h"
#include "game/random.h"
#include "screens/menu_tick.h"
#include "screens/scene_play.h"
#include "screens/screen_congr.h"
#include "screens/screen_sett.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

// The turn of a drag over `offset` pixels when the whole view's `pixels` turn by `degrees`,
// multiplied before it is divided: the aim it gives travels to the other machine of a network
// game and must be the same bits there. A minimised view reports no size; the camera then
// stays where it is rather than turn by an infinite angle.
double DragDegrees(double offset, double degrees, std::int32_t pixels) {
    return pixels > 0 ? offset * degrees / pixels : 0;
}

// Power of a charge: the wheel's amount per millisecond, softened by 50 ms and scaled.
double ChargePower(std::int32_t sum, std::int64_t elapsedMs) {
    return sum / static_cast<double>(elapsedMs + 50) * 0.2;
}

}  // namespace

void CScreenPlay::Activate() {
    ResetFlag(Flag, 0, 0, -0.05, 0.02, 0.004, 0.00001);
    ChargeSound().Stop();
    FallSound().Stop();
}

void CScreenPlay::OnLButtonDown(std::int32_t x, std::int32_t y) {
    if (IsSwinging()) return;
    downX = x;
    downY = y;
    azimuthAtPress = Camera.azimuth;
    elevationAtPress = Camera.elevation;
    azimuthDelta = 0;
    elevationDelta = 0;
    CaptureMouse();
    dragging = 1;
    if (!moving && match.sideToMove == sideInControl) SelectPieceAt(x, y);
}

void CScreenPlay::SelectPieceAt(std::int32_t x, std::int32_t y) {
    std::array<double, 2> camera = CameraArray();
    std::int32_t piece = PickLocked(Board, camera.data(), x, ClientHeight - y);
    if (!IsPieceIndex(piece) || !Board[piece].alive) return;
    if (Board[piece].side != match.sideToMove) return;
    if (IsPieceIndex(selectedPiece)) Board[selectedPiece].selected = 0;
    selectedPiece = piece;
    Board[piece].selected = 1;
    AimSelectedPiece();
    RedrawScreen(this);
}

void CScreenPlay::AimSelectedPiece() {
    if (IsPieceIndex(selectedPiece)) Board[selectedPiece].aim = -Camera.azimuth;
}

void CScreenPlay::OnMouseDrag(std::int32_t x, std::int32_t y) {
    if (!dragging) return;
    // The mouse setting scales the degrees of a whole view; at the middle it is exactly 1.
    double factor = MouseTurnFactor();
    azimuthDelta = DragDegrees(x - downX, 180 * factor, ClientWidth);
    if (azimuthDelta > 360) azimuthDelta -= 360;
    if (azimuthDelta < 0) azimuthDelta += 360;
    elevationDelta = DragDegrees(downY - y, 90 * factor, ClientHeight);
    if (elevationAtPress + elevationDelta > 90) elevationDelta = 90 - elevationAtPress;
    if (elevationAtPress + elevationDelta < 0) elevationDelta = -elevationAtPress;
    Camera.azimuth = azimuthAtPress + azimuthDelta;
    Camera.elevation = elevationAtPress + elevationDelta;
    AimSelectedPiece();
    RedrawScreen(this);
}

void CScreenPlay::OnLButtonUp(std::int32_t, std::int32_t) {
    if (!dragging) return;
    azimuthAtPress += azimuthDelta;
    azimuthDelta = 0;
    if (azimuthAtPress < 0) azimuthAtPress += 360;
    if (azimuthAtPress > 360) azimuthAtPress -= 360;
    elevationAtPress = std::clamp(elevationAtPress + elevationDelta, 0.0, 90.0);
    elevationDelta = 0;
    ReleaseMouseCapture();
    dragging = 0;
    Camera.azimuth = azimuthAtPress;
    Camera.elevation = elevationAtPress;
    AimSelectedPiece();
    RedrawScreen(this);
}

void CScreenPlay::OnMouseWheel(std::int16_t delta) {
    if (!IsPieceIndex(selectedPiece)) {
        notches_.Clear();
        return;
    }
    std::int64_t now = TimeMs();
    // Every turn of the wheel, a notch's part too, keeps a charge from timing out: a touchpad
    // may take longer than the time-out to gather a whole notch.
    if (delta != 0) lastWheelTime = now;
    std::int32_t notch = notches_.Add(delta, now);
    if (notch != 0) HandleNotch(notch, now);
}

void CScreenPlay::HandleNotch(std::int32_t delta, std::int64_t now) {
    if (wheelCharging) {
        wheelNotches += 1;
        wheelSum += delta;
        if (wheelNotches == kFlickNotches) {
            // The charge is spent: a late notch must not count towards another flick.
            wheelCharging = 0;
            Flick(ChargePower(wheelSum, now - wheelStartTime));
        }
    } else if (delta > 0) {
        wheelSum = delta;
        wheelStartTime = now;
        wheelNotches = 0;
        wheelCharging = 1;
        ChargeSound().Play();
    }
}

void CScreenPlay::OnTimer() {
    FlickAtTimeout(TimeMs());
    for (int step = 0; step < kFlagStepsPerTick; ++step)
        StepFlag(Flag);
    StepSwing();
    if (moving && StepMotion()) return;
    RedrawScreen(this);
}

void CScreenPlay::FlickAtTimeout(std::int64_t now) {
    if (!wheelCharging || now - lastWheelTime <= kWheelTimeoutMs) return;
    wheelCharging = 0;
    if (wheelNotches < kFlickNotches && IsPieceIndex(selectedPiece)) {
        Flick(ChargePower(wheelSum, lastWheelTime - wheelStartTime));
    }
}

void CScreenPlay::StepSwing() {
    if (swingLength == 0) return;
    swingStep += 1;
    double f = (1 - std::cos(swingStep * std::numbers::pi / swingLength)) / 2;
    Camera.azimuth = swingStartAzimuth + (swingTargetAzimuth - swingStartAzimuth) * f;
    Camera.elevation = swingStartElevation + (swingTargetElevation - swingStartElevation) * f;
    if (swingStep >= swingLength) swingLength = 0;
}

// Runs one tick of motion; true when the move came to rest and its judgement left the screen.
bool CScreenPlay::StepMotion() {
    std::int32_t fallCount = 0;
    for (int step = 0; step < kStepsPerTick; ++step) {
        moving = StepPhysics(Board, fallCount) ? 1 : 0;
        if (!moving) break;
        if (++moveSteps == kMoveStepLimit) {
            EndEndlessMove();
            break;
        }
    }
    if (fallCount > 0) FallSound().Play();
    return !moving && JudgeMove();
}

// Both machines of a network game step the same table, so both end the move on the same step.
void CScreenPlay::EndEndlessMove() {
    std::fprintf(stderr, "brivel: a move still in motion after %d steps was ended where it stood\n",
                 kMoveStepLimit);
    StopAllPieces(Board);
    moving = 0;
}

void CScreenPlay::OnBack() {
    ScreenSett.ReturnScreen = this;
    LeaveFor(&ScreenSett);
}

void CScreenPlay::LeaveFor(CScreen* next) {
    // A drag ends as a release would, so that the camera keeps the drag's angles and a move
    // of a button held on the way back (a press on the result screen returns here) does not
    // turn it from a stale press.
    if (dragging) OnLButtonUp(0, 0);
    SwitchScreen(next);
}

void CScreenPlay::Flick(double power) {
    if (!IsPieceIndex(selectedPiece)) return;
    LaunchSelected(FlickSpeed(power));
}

double CScreenPlay::FlickSpeed(double power) {
    int r = Rand() % 1000;
    return power * (0.75 + 0.25 * r / 500);
}

void CScreenPlay::LaunchSelected(double speed) {
    const Piece& piece = Board[selectedPiece];
    viewAzimuth[piece.side] = -piece.aim;
    match.lastFlickedPiece = selectedPiece;
    SetPieceMoving(selectedPiece, piece.aim, speed);
    selectedPiece = -1;
}

void CScreenPlay::SetPieceMoving(std::int32_t index, double aim, double speed) {
    Piece& piece = Board[index];
    Velocity v = FlickVelocity(aim, speed);
    piece.vx = v.vx;
    piece.vy = v.vy;
    piece.selected = 0;
    moving = 1;
    moveSteps = 0;
}

void CScreenPlay::NewGame() {
    ::StartGame(match, Board, mode());
    BattleStarted();
}

void CScreenPlay::StartBattle(std::int32_t redRow, std::int32_t whiteRow,
                              std::uint8_t firstMover) {
    ::StartBattle(match, Board, redRow, whiteRow, firstMover);
    BattleStarted();
}

std::int32_t CScreenPlay::MovePoints(std::uint8_t mover) const {
    return ::MovePoints(match, Board, mover);
}

std::int32_t CScreenPlay::WeightedMovePoints(std::uint8_t mover) const {
    return ::WeightedMovePoints(match, Board, mover);
}

std::int32_t CScreenPlay::RowWeight(std::uint8_t side) const {
    return ::RowWeight(match, side);
}

void CScreenPlay::SwingCamera(double targetAzimuth) {
    swingStartAzimuth = Camera.azimuth;
    swingStartElevation = Camera.elevation;
    swingTargetAzimuth = targetAzimuth;
    swingTargetElevation = 50 + 20.0 * Rand() / kRandMax;
    if (swingTargetAzimuth - swingStartAzimuth > 180) swingStartAzimuth += 360;
    if (swingStartAzimuth - swingTargetAzimuth > 180) swingStartAzimuth -= 360;
    // A target many turns away (a received aim may be any finite angle) is looked at the
    // shortest way too, so that no swing is longer than half a turn.
    if (std::abs(swingTargetAzimuth - swingStartAzimuth) > 180) {
        swingStartAzimuth =
            swingTargetAzimuth - std::remainder(swingTargetAzimuth - swingStartAzimuth, 360.0);
    }
    double turn = std::max(std::abs(swingTargetAzimuth - swingStartAzimuth),
                           std::abs(swingTargetElevation - swingStartElevation));
    swingLength = static_cast<std::int32_t>(turn * kSwingTicksPerDegree + kSwingExtraTicks);
    swingStep = 0;
}

void CScreenPlay::SwingToTurn(double targetAzimuth) {
    if (RotateBoard) SwingCamera(targetAzimuth);
}

void CScreenPlay::PrepareBattle() {
    viewAzimuth[kRed] = 0;
    viewAzimuth[kWhite] = 180;
    moving = 0;
    selectedPiece = -1;  // the pieces were placed unselected
    wheelCharging = 0;
    notches_.Clear();
}

double CScreenPlay::RandomViewAzimuth(std::uint8_t side) {
    double own = side == kRed ? -4 : 176;
    return own + 8.0 * Rand() / kRandMax;
}

bool CScreenPlay::ShowJudgement(const Judgement& judgement) {
    if (!judgement.endsBattle()) return false;
    bool gameOver = judgement.outcome == Judgement::Outcome::NextGame;
    ScreenCongr.ReturnScreen = gameOver ? nullptr : this;
    ScreenCongr.Result = judgement.resultCode;
    ScreenCongr.Points = judgement.pointsShown;
    LeaveFor(&ScreenCongr);
    if (gameOver) {
        NewGame();
    } else {
        StartBattle(judgement.nextRedRow, judgement.nextWhiteRow, judgement.nextFirstMover);
    }
    return true;
}

std::unique_ptr<CScene> CScreenPlay::SceneWithBothScores() const {
    return std::make_unique<CScenePlay2>(Board, Camera, match.sideToMove, match.gameScore[kRed],
                                         match.gameScore[kWhite]);
}

std::array<double, 2> CScreenPlay::CameraArray() {
    return {Camera.azimuth, Camera.elevation};
}
