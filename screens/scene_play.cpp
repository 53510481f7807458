#include "screens/scene_play.h"

#include "graphics/graphics.h"
#include "screens/scene_text.h"

#include <cstring>

CScenePlay::CScenePlay(const PieceTable& table, const CameraAngles& camera, std::uint8_t mover)
    : viewAngles{camera.azimuth, camera.elevation}, sideToMove(mover) {
    // Byte for byte, padding included, so the snapshot is exactly the table it was taken from.
    std::memcpy(static_cast<void*>(pieces.data()), table.data(), sizeof(PieceTable));
}

void CScenePlay::DrawCornerFlag(CGraphics& graphics) const {
    graphics.DrawFlag(1.24f, 0.83f, 0.25f, FlagPositions.data(), FlagNormals.data(),
                      sideToMove == kRed);
}

void CScenePlay::DrawTable(CGraphics& graphics) const {
    graphics.DrawBoard(pieces, viewAngles.data());
}

CScenePlay1::CScenePlay1(const PieceTable& table, const CameraAngles& camera, std::uint8_t mover,
                         std::int32_t shownScore)
    : CScenePlay(table, camera, mover), score(shownScore) {}

void CScenePlay1::Draw(CGraphics* graphics) const {
    DrawCornerFlag(*graphics);
    SetSceneColor(*graphics, kRedArmyOrange);
    DrawRightAligned(*graphics, 0.76f, FormatScore(score));
    DrawTable(*graphics);
}

CScenePlay2::CScenePlay2(const PieceTable& table, const CameraAngles& camera, std::uint8_t mover,
                         std::int32_t shownRedScore, std::int32_t shownWhiteScore)
    : CScenePlay(table, camera, mover), redScore(shownRedScore), whiteScore(shownWhiteScore) {}

void CScenePlay2::Draw(CGraphics* graphics) const {
    DrawCornerFlag(*graphics);
    SetSceneColor(*graphics, kRedArmyOrange);
    DrawRightAligned(*graphics, 0.76f, FormatScore(redScore));
    SetSceneColor(*graphics, kWhiteArmyOlive);
    DrawRightAligned(*graphics, 0.7f, FormatScore(whiteScore));
    DrawTable(*graphics);
}
