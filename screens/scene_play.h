#pragma once

#include "framework/scene.h"
#include "game/board.h"

#include <array>
#include <cstdint>

/// A snapshot of a play screen: a byte-for-byte copy of the piece table, the view angles and
/// the side to move, so that the rendering thread never reads the live game. The subclasses
/// add the scores; each draws the side's flag in the top-right corner, its numbers, and the
/// board last (drawing the board leaves the matrices set up for the board).
class CScenePlay : public CScene {
public:
    /// Takes the client size, the flag cloth, and copies of `table`, `camera` and the side to
    /// move, `mover` (kRed or kWhite).
    CScenePlay(const PieceTable& table, const CameraAngles& camera, std::uint8_t mover);

    void Draw(CGraphics* graphics) const override = 0;

    PieceTable pieces;
    std::array<double, 2> viewAngles;  ///< azimuth, elevation in degrees
    std::uint8_t sideToMove;

protected:
    /// The flag of the side to move, small, in the top-right corner.
    void DrawCornerFlag(CGraphics& graphics) const;
    /// The board with the copied pieces, seen from the copied angles.
    void DrawTable(CGraphics& graphics) const;
};

/// Snapshot of a game against the computer, with the person's score.
class CScenePlay1 : public CScenePlay {
public:
    CScenePlay1(const PieceTable& table, const CameraAngles& camera, std::uint8_t mover,
                std::int32_t shownScore);

    void Draw(CGraphics* graphics) const override;

    std::int32_t score;
};

/// Snapshot of a game between two people, on one machine or over the network, with both
/// armies' scores.
class CScenePlay2 : public CScenePlay {
public:
    CScenePlay2(const PieceTable& table, const CameraAngles& camera, std::uint8_t mover,
                std::int32_t shownRedScore, std::int32_t shownWhiteScore);

    void Draw(CGraphics* graphics) const override;

    std::int32_t redScore;
    std::int32_t whiteScore;
};
