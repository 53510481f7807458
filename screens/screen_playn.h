#pragma once

// Threads: user-interface thread only. The screen pumps the network session once per tick; the
// session's peer thread never touches the screen.

#include "net/network_session.h"
#include "screens/screen_play.h"

#include <deque>

/// Ticks from taking a received flick to playing it, after the camera swing along the shot.
inline constexpr std::int32_t kReceivedFlickDelayTicks = 8;
/// The longest a taken flick waits to be played, ticks: the longest swing and the delay.
inline constexpr std::int32_t kMaxReceivedFlickWaitTicks =
    kMaxSwingTicks + kReceivedFlickDelayTicks;
/// Received flicks kept waiting while the table is busy; a peer sending more is faulty.
inline constexpr std::size_t kMaxWaitingFlicks = 64;

/// A game between two machines. Each runs the whole game on its own; the only thing they tell
/// each other is each flick. The player of this machine commands one army for the whole
/// session (sideInControl, set when the session starts): he flicks only it and only on its
/// turn, and his flick is sent before it starts moving. A received flick swings the camera
/// along the shot, waits, and starts the very same motion.
class CScreenPlayN final : public CScreenPlay, public FlickReceiver {
public:
    CScreenPlayN() : CScreenPlay(PlayMode::Network) {}

    /// A snapshot with the side to move and both game scores.
    std::unique_ptr<CScene> CreateScene() override;
    /// Plays a received flick whose wait is over, takes the next packet from the session, then
    /// the shared tick.
    void OnTimer() override;
    /// The shared flick, sent to the other machines before the piece moves.
    void Flick(double power) override;
    /// A battle on rows 0 and 0 with Red to move; the game scores are kept (the session's
    /// start and a GAME's end reset them themselves).
    void NewGame() override;
    /// Both armies score and no points are shown; the camera turns only when the turn comes
    /// to this machine's army; a GAME's end closes the session and leads to the main menu.
    bool JudgeMove() override;

    /// Takes a flick from the other machine: the piece is shown chosen and the camera swings
    /// the shortest way along the shot (at most half a turn); the flick is played when the
    /// countdown ends, along the aim exactly as sent. A flick that arrives while another is
    /// waiting or the pieces still move waits its turn, so that no flick is lost and none
    /// starts in the middle of another's motion. A flick of this machine's own army is
    /// ignored, and so is one whose piece is off the board when its turn comes.
    void HandleFlickMessage(const FlickMessage& message) override;

    /// Begins a new GAME of a session: `localArmy` (kRed or kWhite) is this machine's for the
    /// whole session; scores 0, rows 0, Red to move, nothing waiting.
    void BeginSession(std::uint8_t localArmy);

    double pendingAim = 0;       ///< aim of the received flick waiting to be played, degrees
    double pendingPower = 0;     ///< its speed, board units per second
    std::int32_t countdown = 0;  ///< ticks until it is played
    std::uint8_t pending = 0;    ///< 1 while a received flick waits to be played

    /// Received flicks not yet taken because the table was busy, oldest first.
    const std::deque<FlickMessage>& WaitingFlicks() const { return waitingFlicks_; }

private:
    void BattleStarted() override;
    void PlayPendingFlick();
    void TakeFlick(const FlickMessage& message);
    bool IsBusy() const { return pending != 0 || moving != 0; }

    std::deque<FlickMessage> waitingFlicks_;
};

/// The program's network play screen.
extern CScreenPlayN ScreenPlayN;
