#pragma once

// Threads: user-interface thread only. The screen plays on the program's live Board and Camera,
// which nothing else touches while it is current; pictures leave it only as scenes.

#include "framework/screen.h"
#include "game/board.h"
#include "game/rules.h"
#include "screens/wheel_notches.h"

#include <array>
#include <cstdint>

/// Wheel notches after the first that make a flick at once.
inline constexpr std::int32_t kFlickNotches = 6;
/// A charge ends and flicks when no notch has come for longer than this, milliseconds.
inline constexpr std::int64_t kWheelTimeoutMs = 40;
/// Physics steps per 50 ms tick: the pieces move in real time.
inline constexpr int kStepsPerTick = 10;
/// A camera swing takes this many ticks per degree of its larger turn, and this many more.
inline constexpr double kSwingTicksPerDegree = 0.125;
inline constexpr double kSwingExtraTicks = 2;
/// The longest camera swing, ticks: half a turn, the farthest the camera ever swings.
inline constexpr std::int32_t kMaxSwingTicks =
    static_cast<std::int32_t>(180 * kSwingTicksPerDegree + kSwingExtraTicks);

/// The screen on which a game is played, shared by every mode: the camera turns by dragging,
/// a click selects one of the mover's pieces, the camera aims it, the wheel flicks it; the tick
/// runs the motion to rest and has the move judged. The modes supply the picture, the start of
/// a GAME and of a battle, and what follows a judgement.
class CScreenPlay : public CScreen {
public:
    /// A screen playing by the rules of `mode`.
    explicit CScreenPlay(PlayMode mode) : mode_(mode) {}

    /// Restarts the flag in the play-screen wind and silences both effects.
    void Activate() override;
    /// Starts a drag and, when the mover is in control and nothing moves, selects the mover's
    /// piece under the pointer. Ignored while the camera swings.
    void OnLButtonDown(std::int32_t x, std::int32_t y) override;
    /// Ends a drag: the camera keeps its angles, brought back into range.
    void OnLButtonUp(std::int32_t x, std::int32_t y) override;
    /// Turns the camera, and with it the selected piece's aim.
    void OnMouseDrag(std::int32_t x, std::int32_t y) override;
    /// Charges a flick of the selected piece; small steps are gathered into whole notches.
    void OnMouseWheel(std::int16_t delta) override;
    /// Flicks a charge that paused, waves the flag, swings the camera, moves the pieces and
    /// judges a move that came to rest; then a new picture unless the screen was left.
    void OnTimer() override;
    /// Pauses in the settings screen, which returns here.
    void OnBack() override;

    /// Flicks the selected piece along its aim at `power` board units per second, spread by
    /// a random factor from 0.75 to just under 1.25.
    virtual void Flick(double power);
    /// Sets the shown total score to 0 (only the game against the computer keeps one).
    virtual void ResetTotalScore() {}
    /// Starts a new GAME on rows 0 and 0, Red first, with the scores the mode starts from;
    /// then the screen's share of the first battle (BattleStarted).
    virtual void NewGame();
    /// Starts a battle on the given rows with `firstMover` (kRed or kWhite) to move; then the
    /// screen's share of it (BattleStarted).
    virtual void StartBattle(std::int32_t redRow, std::int32_t whiteRow, std::uint8_t firstMover);
    /// Judges the move that came to rest; true when the screen switched to the result screen.
    virtual bool JudgeMove() = 0;
    /// Points of the move being judged for `mover`.
    virtual std::int32_t MovePoints(std::uint8_t mover) const;
    /// Those points weighted by the mover's row, as a game score counts them.
    virtual std::int32_t WeightedMovePoints(std::uint8_t mover) const;
    /// Weight of a side's points: its row + 1.
    virtual std::int32_t RowWeight(std::uint8_t side) const;

    /// Turns the camera over the next ticks, the shorter way (never more than half a turn, so
    /// within kMaxSwingTicks), to `targetAzimuth` degrees and a random elevation from 50 to 70
    /// degrees.
    void SwingCamera(double targetAzimuth);

    /// The swing when the turn passes to `targetAzimuth`'s side: none when the player keeps
    /// the board from rotating (the view then stays where it was left).
    void SwingToTurn(double targetAzimuth);

    /// True while the camera swings.
    bool IsSwinging() const { return swingLength != 0; }

    // Input state.
    double downX = 0;  ///< pointer at the last press, pixels
    double downY = 0;
    double azimuthDelta = 0;  ///< degrees added by the current drag
    double azimuthAtPress = 0;
    double elevationDelta = 0;
    double elevationAtPress = 0;
    std::array<double, 2> viewAzimuth{180, 0};  ///< camera azimuth of each side's last flick
    std::int32_t selectedPiece = -1;            ///< piece chosen for the next flick, -1 none
    std::uint8_t sideInControl = kRed;          ///< the side this machine's player may pick
    std::uint8_t moving = 0;                    ///< 1 from a flick until everything rests
    std::int32_t moveSteps = 0;                 ///< physics steps of the current move
    std::uint8_t dragging = 0;
    std::uint8_t wheelCharging = 0;
    std::int32_t wheelNotches = 0;  ///< notches after the first one
    std::int32_t wheelSum = 0;      ///< sum of the notches' amounts
    std::int64_t wheelStartTime = 0;
    std::int64_t lastWheelTime = 0;

    // Camera swing, in ticks; length 0 means none.
    std::int32_t swingLength = 0;
    std::int32_t swingStep = 0;
    double swingStartAzimuth = 0;
    double swingTargetAzimuth = 0;
    double swingStartElevation = 0;
    double swingTargetElevation = 0;

    /// The rules' record of this screen's GAME: side to move, counts, rows, previous pieces,
    /// last flicked piece, battle points and game scores.
    Match match;

protected:
    ~CScreenPlay() = default;

    PlayMode mode() const { return mode_; }

    /// The screen's share of a battle the rules have just set up (who takes control, where
    /// the camera goes, whose turn begins); it starts with PrepareBattle.
    virtual void BattleStarted() = 0;
    /// Readies the screen for a battle the rules have just set up: each side's view azimuth,
    /// nothing moving, selected or charging.
    void PrepareBattle();
    /// A random azimuth within 4 degrees of the side's own view (0 Red, 180 White).
    static double RandomViewAzimuth(std::uint8_t side);
    /// Carries out a judgement that ends a battle: the result screen first, then the next
    /// battle or GAME set up behind it. False, doing nothing, while the battle goes on.
    bool ShowJudgement(const Judgement& judgement);
    /// The camera angles as the drawing and picking interfaces take them.
    static std::array<double, 2> CameraArray();
    /// A snapshot showing both armies' game scores: the picture of a game between two people.
    std::unique_ptr<CScene> SceneWithBothScores() const;
    /// A flick's speed: `power` spread by a random factor from 0.75 to just under 1.25.
    static double FlickSpeed(double power);
    /// Sends the selected piece along its aim at `speed` board units per second: its side's
    /// view turns to the shot, the piece becomes the last flicked and nothing stays selected.
    void LaunchSelected(double speed);
    /// Every flick's last step, whoever makes it: piece `index` gets the velocity of `aim`
    /// degrees at `speed` board units per second, is no longer shown selected, and the table
    /// moves.
    void SetPieceMoving(std::int32_t index, double aim, double speed);

private:
    void LeaveFor(CScreen* next);
    void HandleNotch(std::int32_t delta, std::int64_t now);
    void FlickAtTimeout(std::int64_t now);
    void StepSwing();
    bool StepMotion();
    void EndEndlessMove();  ///< stops a move that reached kMoveStepLimit
    void SelectPieceAt(std::int32_t x, std::int32_t y);
    void AimSelectedPiece();

    PlayMode mode_;
    WheelNotches notches_;
};
