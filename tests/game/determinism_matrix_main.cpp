// The game core's determinism checks as one small program that prints its hashes, so that the
// same sources built by another compiler or for another CPU (tests/game/determinism_matrix.sh)
// can be compared with the optimized build line by line. Core and standard library only: no
// GoogleTest, no Qt, no ENet, so that it cross-builds and runs under qemu quickly.
//
// Lines printed, each "<name> <hash>":
//   scene      the fixed determinism flicks, run to rest
//   physics    random flicks stepped by StepPhysics, each step checked against the literal step
//   opponent   the computer's choices on several positions, checked against the literal choice
//   network    a scripted game of flicks, each sent through the wire format and played through
//              FlickVelocity and StepPhysics, the table carried from one flick to the next
// Exits 1 (after printing everything) if the game's code and the literal reference disagree.

#include "game/opponent.h"
#include "game/physics.h"
#include "game/random.h"
#include "net/flick_message.h"
#include "tests/game/literal_opponent.h"
#include "tests/game/literal_physics.h"
#include "tests/setups/board_setups.h"

#include <bit>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool Agrees = true;

void Check(bool same, const char* what, int index) {
    if (same) return;
    if (Agrees)
        std::printf("MISMATCH %s at %d: the game's code and the literal reference differ\n", what,
                    index);
    Agrees = false;
}

/// A 64-bit linear congruential draw in [0, range), the same on every machine.
std::uint32_t Draw(std::uint64_t& state, std::uint32_t range) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(state >> 33) % range;
}

std::uint64_t SceneHash() {
    std::uint64_t hash = HashTable(PieceTable{});
    for (ShotCase shot : DeterminismShots()) {
        Launch(shot.table, shot.piece, shot.aim, shot.speed);
        std::int32_t falls = 0;
        RunToRest(shot.table, falls);
        hash = HashTable(shot.table, hash) ^ static_cast<std::uint64_t>(falls);
    }
    return hash;
}

/// Steps `game` and `literal` side by side to rest; false at the first step they differ.
bool StepBothToRest(PieceTable& game, PieceTable& literal) {
    std::int32_t gameFalls = 0;
    std::int32_t literalFalls = 0;
    for (int step = 0; step < 20000; ++step) {
        bool moved = StepPhysics(game, gameFalls);
        bool hitLimit = false;
        if (moved != LiteralStepPhysics(literal, literalFalls, hitLimit)) return false;
        if (std::memcmp(&game, &literal, sizeof game) != 0 || gameFalls != literalFalls)
            return false;
        if (!moved) return true;
    }
    return false;
}

std::uint64_t PhysicsHash(int flicks) {
    std::uint64_t state = 2024;
    std::uint64_t hash = HashTable(PieceTable{});
    for (int flick = 0; flick < flicks; ++flick) {
        PieceTable game = flick % 2 ? OpeningTable() : CrowdedTable();
        int piece = static_cast<int>(Draw(state, 16));
        if (!game[piece].alive) piece = 0;
        double aim = Draw(state, 36000) / 100.0 - 180;  // one draw per statement: the order of
        double speed = 0.5 + Draw(state, 940) / 100.0;  // a call's arguments is the compiler's
        Launch(game, piece, aim, speed);
        PieceTable literal = game;
        Check(StepBothToRest(game, literal), "physics flick", flick);
        hash = HashTable(game, hash);
    }
    return hash;
}

std::uint64_t OpponentHash() {
    std::vector<PieceTable> positions = {OpeningTable(), CrowdedTable(), LateGameTable()};
    for (std::uint32_t seed = 1; seed <= 3; ++seed)
        positions.push_back(AfterRandomFlicks(seed, 2));
    std::uint64_t hash = HashTable(PieceTable{});
    SetRandState(1);
    for (std::size_t n = 0; n < positions.size(); ++n) {
        CountsBefore counts{CountAlive(positions[n], kRed), CountAlive(positions[n], kWhite)};
        PieceTable table = positions[n];
        PieceTable literalTable = positions[n];
        OpponentState state;
        OpponentState literal;
        std::uint32_t start = RandState();
        std::int32_t chosen = ChooseShot(state, table, kRed, counts);
        SetRandState(start);
        std::int32_t literalChosen = LiteralChooseShot(literal, literalTable, kRed, counts);
        Check(chosen == literalChosen && std::memcmp(&table, &literalTable, sizeof table) == 0,
              "opponent choice", static_cast<int>(n));
        for (int k = 0; k < kCandidateCount; ++k) {
            const ShotCandidate& c = state.candidates[k];
            const ShotCandidate& l = literal.candidates[k];
            Check(c.shooter == l.shooter && std::memcmp(&c.aim, &l.aim, sizeof c.aim) == 0 &&
                      c.trialSpeed == l.trialSpeed && c.redLeft == l.redLeft &&
                      c.whiteLeft == l.whiteLeft,
                  "opponent candidate", k);
        }
        hash = HashTable(table, hash);
        for (const ShotCandidate& c : state.candidates)  // every trial's aim, not just the choice
            hash = (hash ^ std::bit_cast<std::uint64_t>(c.aim)) * 1099511628211ull;
    }
    return hash;
}

/// Aims where x86-64 glibc's sine or cosine differ between its FMA and non-FMA paths, mixed
/// into the scripted game so that a flick computed with the C library would show.
const double kLibmSplitAims[] = {48, -28.984375, 204.75, 1182.75, -48.125, 160.171875, 186.8125};

std::uint64_t NetworkHash(int flicks) {
    std::uint64_t state = 7;
    PieceTable table = OpeningTable();
    std::uint64_t hash = HashTable(table);
    for (int n = 0; n < flicks; ++n) {
        std::uint8_t side = n % 2 ? kWhite : kRed;
        if (CountAlive(table, kRed) == 0 || CountAlive(table, kWhite) == 0) {
            int redRow = static_cast<int>(Draw(state, 4));
            PlacePieces(table, redRow, static_cast<int>(Draw(state, 4)));
        }
        int piece = (side == kRed ? 0 : kArmySize) + static_cast<int>(Draw(state, kArmySize));
        while (!table[piece].alive)
            piece = (side == kRed ? 0 : kArmySize) + (piece + 1) % kArmySize;
        double aim = n % 5 == 0 ? kLibmSplitAims[(n / 5) % 7]
                                : Draw(state, 2880000) / 1000.0 - 1440;  // wound up to 4 turns
        FlickMessage sent{piece, aim, 0.3 + Draw(state, 960) / 100.0};
        std::optional<FlickMessage> received = DecodeFlickMessage(EncodeFlickMessage(sent));
        if (!received) {
            Check(false, "flick message round trip", n);
            continue;
        }
        table[received->piece].aim = received->aim;
        Velocity v = FlickVelocity(received->aim, received->power);
        table[received->piece].vx = v.vx;
        table[received->piece].vy = v.vy;
        std::int32_t falls = 0;
        RunToRest(table, falls);
        hash = HashTable(table, hash);
    }
    return hash;
}

}  // namespace

int main() {
    std::printf("scene %016" PRIx64 "\n", SceneHash());
    std::printf("physics %016" PRIx64 "\n", PhysicsHash(120));
    std::printf("opponent %016" PRIx64 "\n", OpponentHash());
    std::printf("network %016" PRIx64 "\n", NetworkHash(300));
    return Agrees ? 0 : 1;
}
