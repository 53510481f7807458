// Threads: ChooseShot runs on its caller's thread. During the call the program's helper thread
// (HelperThread) plays a share of the trials; each trial runs on its own copy of the table and
// writes only its own candidate, and the candidates are read once the helper has let go of
// the call's work.

#include "opponent.h"

#include "helper_thread.h"
#include "motion.h"
#include "physics.h"
#include "random.h"
#include "settle_bound.h"

#include <algorithm>

#include <array>
#include <atomic>
#include <cmath>
#include <numbers>

namespace {

void BuildLists(OpponentState& state, const PieceTable& table, std::uint8_t targetSide) {
    state.targetCount = state.shooterCount = 0;
    for (std::int32_t k = 0; k < kPieceCount; ++k) {
        if (!table[k].alive) continue;
        if (table[k].side == targetSide) {
            state.targets[state.targetCount++] = k;
        } else {
            state.shooters[state.shooterCount++] = k;
        }
    }
}

/// Direction in degrees (0 to 180) that points the shooter straight at the target, up to sign.
double BaseAim(const Piece& shooter, const Piece& target) {
    double dx = target.x - shooter.x;
    double dy = target.y - shooter.y;
    double distance = std::sqrt(dx * dx + dy * dy);
    // Two alive pieces never share a centre in play; if they ever do, aim straight ahead
    // rather than feed a NaN to the physics, which would then never come to rest.
    if (distance == 0) return 0;
    return std::acos(dy / distance) * 180 / std::numbers::pi;
}

/// Where a level's draws come from: Normal's from the game's generator, the others' from
/// generators of their own.
class Draws {
public:
    explicit Draws(RandomStream* own) : own_(own) {}
    int Next() { return own_ != nullptr ? own_->Next() : Rand(); }

private:
    RandomStream* own_;
};

RandomStream* OwnDraws(OpponentState& state, OpponentLevel level) {
    if (level == OpponentLevel::Easy) return &state.easyDraws;
    if (level == OpponentLevel::Hard) return &state.hardDraws;
    return nullptr;
}

/// Draws one candidate; the draws come in a fixed order so that a run can be repeated. A level
/// that tries its shots at its flick speed draws no speed.
void DrawCandidate(ShotCandidate& candidate, const OpponentState& state, const PieceTable& table,
                   Draws& draws, const LevelPlay& play) {
    candidate.shooter = state.shooters[draws.Next() % state.shooterCount];
    std::int32_t target = state.targets[draws.Next() % state.targetCount];
    const Piece& shooter = table[candidate.shooter];
    double base = BaseAim(shooter, table[target]);
    int scatter1 = draws.Next() % 100;
    int scatter2 = draws.Next() % 100;
    int scatter3 = draws.Next() % 100;
    double aim = base - 15 + 0.3 * scatter1 - 15 + 0.3 * scatter2 - 15 + 0.3 * scatter3;
    if (table[target].x - shooter.x > 0) aim = -aim;
    candidate.aim = aim;
    candidate.trialSpeed = play.trialsAtFlickSpeed ? kComputerFlickSpeed
                                                   : (draws.Next() % 100) * 10 / 100.0;
}

/// How far the real flick strays from the chosen aim, degrees: up to `spread` either way, most
/// often little, as a steady hand misses. No draw at all when the level flicks exactly.
double FlickStray(Draws& draws, double spread) {
    if (spread == 0) return 0;
    double sum = draws.Next() + draws.Next();
    return spread * (sum / kRandMax - 1);
}

/// (targets lost, own lost) of a candidate against the counts of the last judged move.
struct Losses {
    std::int32_t targets;
    std::int32_t own;
};

Losses LossesOf(const ShotCandidate& c, std::uint8_t targetSide, CountsBefore counts) {
    Losses red{counts.red - c.redLeft, counts.white - c.whiteLeft};
    return targetSide == kRed ? red : Losses{red.own, red.targets};
}

bool IsGood(Losses losses, std::int32_t targetsLeft) {
    return losses.targets > 0 && (losses.own <= 0 || targetsLeft == 0);
}

bool IsGoodShot(const ShotCandidate& c, std::uint8_t targetSide, CountsBefore counts) {
    std::int32_t targetsLeft = targetSide == kRed ? c.redLeft : c.whiteLeft;
    return IsGood(LossesOf(c, targetSide, counts), targetsLeft);
}

/// Alive pieces of `side` in a trial on `table`.
std::int32_t CountAlive(const MotionTable& trial, const PieceTable& table, std::uint8_t side) {
    std::int32_t count = 0;
    for (int k = 0; k < kPieceCount; ++k)
        count += trial.alive[k] && table[k].side == side;
    return count;
}

/// The table of a trial as the flick leaves it.
MotionTable TrialStart(const ShotCandidate& candidate, const PieceTable& table) {
    MotionTable start = LoadMotion(table);
    Velocity v = FlickVelocity(candidate.aim, candidate.trialSpeed);
    start.body[candidate.shooter].vx = v.vx;
    start.body[candidate.shooter].vy = v.vy;
    return start;
}

void RecordOutcome(ShotCandidate& candidate, const MotionTable& trial, const PieceTable& table) {
    candidate.redLeft = CountAlive(trial, table, kRed);
    candidate.whiteLeft = CountAlive(trial, table, kWhite);
}

/// Steps a trial runs between two tests of whether its outcome is settled.
constexpr int kStepsBetweenSettleTests = 8;

/// The order in which the trials are handed out: fastest trial speed first. Slow shots end
/// soonest (below 2 units per second they take a tenth of the collision passes of the others),
/// so they are left for last, where they even out the moments at which the threads run dry.
using TrialOrder = std::array<int, kCandidateCount>;
TrialOrder FastestFirst(const OpponentState& state) {
    TrialOrder order;
    for (int k = 0; k < state.candidateCount; ++k)
        order[k] = k;
    std::stable_sort(order.begin(), order.begin() + state.candidateCount, [&state](int a, int b) {
        return state.candidates[a].trialSpeed > state.candidates[b].trialSpeed;
    });
    return order;
}

/// The trials of one choice, shared out between the calling thread and the helper.
struct TrialJob {
    OpponentState& state;
    const PieceTable& table;
    TrialOrder order;
    std::atomic<int> next{0};  ///< position in `order` of the next untried trial
};

/// Plays the job's candidates, taking the next untried one each time, until none is left.
void TryRemainingShots(void* context) {
    auto& job = *static_cast<TrialJob*>(context);
    for (int n = job.next++; n < job.state.candidateCount; n = job.next++)
        TryShot(job.state.candidates[job.order[n]], job.table);
}

/// Plays every candidate. The trials are independent of one another, so the helper thread
/// shares them out: the choice is the same, and it comes about twice as fast on two cores.
/// Trials differ widely in length, so each thread takes the next one when it is free. If the
/// helper has not woken up by the time this thread has played them all, it is not waited for.
void TryAllShots(OpponentState& state, const PieceTable& table) {
    TrialJob job{state, table, FastestFirst(state)};
    HelperThread::Work work{TryRemainingShots, &job};
    HelperThread* helper = HelperThread::Get();
    bool isShared = helper && helper->Offer(work);
    TryRemainingShots(&job);
    if (isShared) helper->Withdraw(work);
}

/// How many of the two trials with the aim `margin` degrees to either side are still good.
int Sureness(const ShotCandidate& candidate, const PieceTable& table, std::uint8_t targetSide,
             CountsBefore counts, double margin) {
    int sure = 0;
    for (double offset : {-margin, margin}) {
        ShotCandidate near = candidate;
        near.aim += offset;
        TryShot(near, table);
        sure += IsGoodShot(near, targetSide, counts);
    }
    return sure;
}

/// Of the good candidates, the one that most often stays good when the flick strays by
/// `margin` either way: the best shot unless a later good one is surer, and the first of the
/// surest. A level that flicks exactly (no margin), or a choice with no good candidate, keeps
/// `best`.
const ShotCandidate* SurestShot(const OpponentState& state, const PieceTable& table,
                                const ShotCandidate* best, std::uint8_t targetSide,
                                CountsBefore counts, double margin) {
    if (margin == 0 || !IsGoodShot(*best, targetSide, counts)) return best;
    const ShotCandidate* surest = best;
    int most = Sureness(*best, table, targetSide, counts, margin);
    for (int k = 0; k < state.candidateCount && most < 2; ++k) {
        const ShotCandidate& c = state.candidates[k];
        if (&c == best || !IsGoodShot(c, targetSide, counts)) continue;
        int sure = Sureness(c, table, targetSide, counts, margin);
        if (sure > most) {
            surest = &c;
            most = sure;
        }
    }
    return surest;
}

/// Widest spread of a flick, degrees: a player far ahead grows careless, not blind.
constexpr double kWidestAimSpread = 30;

/// The level's spread of its flick, widened by `spreadPerPieceAhead` for every piece it leads
/// by and narrowed for every piece it trails by: as a person eases off when well ahead and
/// takes care when behind, which keeps a lost battle from deciding the next one.
double AimSpread(const LevelPlay& play, std::uint8_t targetSide, CountsBefore counts) {
    if (play.aimSpread == 0) return 0;
    std::int32_t lead = targetSide == kRed ? counts.white - counts.red : counts.red - counts.white;
    return std::clamp(play.aimSpread + play.spreadPerPieceAhead * lead, 0.0, kWidestAimSpread);
}

}  // namespace

void TryShot(ShotCandidate& candidate, const PieceTable& table) {
    Motion trial(TrialStart(candidate, table));
    std::int32_t fallCount = 0;
    // Only the pieces left on the board count: the trial ends once no alive flag can change any
    // more, often well before every piece has stopped. The test costs about as much as a step
    // in which nothing touches, so it is made only every few steps.
    // A trial that reaches the step limit is judged as it stands.
    int steps = 0;
    while (trial.Step(fallCount)) {
        if (++steps == kMoveStepLimit) break;
        if (steps % kStepsBetweenSettleTests == 0 && OutcomeIsSettled(trial.Table())) break;
    }
    RecordOutcome(candidate, trial.Table(), table);
}

bool BetterShot(const ShotCandidate& candidate, const ShotCandidate& best, std::uint8_t targetSide,
                CountsBefore counts) {
    auto targetsLeft = [targetSide](const ShotCandidate& c) {
        return targetSide == kRed ? c.redLeft : c.whiteLeft;
    };
    Losses mine = LossesOf(candidate, targetSide, counts);
    Losses theirs = LossesOf(best, targetSide, counts);
    bool good = IsGood(mine, targetsLeft(candidate));
    bool bestGood = IsGood(theirs, targetsLeft(best));
    if (good != bestGood) return good;
    return mine.targets * mine.targets - mine.own * mine.own >
           theirs.targets * theirs.targets - theirs.own * theirs.own;
}

std::int32_t ChooseShot(OpponentState& state, PieceTable& table, std::uint8_t targetSide,
                        CountsBefore counts, OpponentLevel level) {
    BuildLists(state, table, targetSide);
    if (state.targetCount == 0 || state.shooterCount == 0) return -1;
    const LevelPlay play = PlayOf(level);
    Draws draws(OwnDraws(state, level));
    state.candidateCount = std::clamp(play.candidateCount, 1, kCandidateCount);
    // Trials draw nothing, so drawing every candidate first keeps the order of the draws.
    for (int k = 0; k < state.candidateCount; ++k)
        DrawCandidate(state.candidates[k], state, table, draws, play);
    TryAllShots(state, table);
    const ShotCandidate* best = &state.candidates[0];
    for (int k = 1; k < state.candidateCount; ++k) {
        if (BetterShot(state.candidates[k], *best, targetSide, counts)) best = &state.candidates[k];
    }
    best = SurestShot(state, table, best, targetSide, counts, play.sureMargin);
    Piece& chosen = table[best->shooter];
    chosen.selected = 1;
    chosen.aim = best->aim + FlickStray(draws, AimSpread(play, targetSide, counts));
    return best->shooter;
}
