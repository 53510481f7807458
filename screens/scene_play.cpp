#include "screens/scene_play.h"

#include "graphics/graphics.h"
#include "screens/scene_text.h"

#include <cstring>

CScenePlay::CScenePlay(const PieceTable& pieces, const CameraAngles& camera,
                       std::uint8_t sideToMove)
    : ViewAngles{camera.azimuth, camera.elevation}, SideToMove(sideToMove) {
    // Byte for byte, padding included, so the snapshot is exactly the table it was taken from.
    std::memcpy(static_cast<void*>(Pieces.data()), pieces.data(), sizeof(PieceTable));
}

void CScenePlay::DrawCornerFlag(CGraphics& graphics) const {
    graphics.DrawFlag(1.24f, 0.83f, 0.25f, FlagPositions.data(), FlagNormals.data(),
                      SideToMove == kRed);
}

void CScenePlay::DrawTable(CGraphics& graphics) const {
    graphics.DrawBoard(Pieces, ViewAngles.data());
}

CScenePlay1::CScenePlay1(const PieceTable& pieces, const CameraAngles& camera,
                         std::uint8_t sideToMove, std::int32_t score)
    : CScenePlay(pieces, camera, sideToMove), Score(score) {}

void CScenePlay1::Draw(CGraphics* graphics) const {
    DrawCornerFlag(*graphics);
    SetSceneColor(*graphics, kRedArmyOrange);
    DrawRightAligned(*graphics, 0.76f, FormatScore(Score));
    DrawTable(*graphics);
}

CScenePlay2::CScenePlay2(const PieceTable& pieces, const CameraAngles& camera,
                         std::uint8_t sideToMove, std::int32_t redScore, std::int32_t whiteScore)
    : CScenePlay(pieces, camera, sideToMove), RedScore(redScore), WhiteScore(whiteScore) {}

void CScenePlay2::Draw(CGraphics* graphics) const {
    DrawCornerFlag(*graphics);
    SetSceneColor(*graphics, kRedArmyOrange);
    DrawRightAligned(*graphics, 0.76f, FormatScore(RedScore));
    SetSceneColor(*graphics, kWhiteArmyOlive);
    DrawRightAligned(*graphics, 0.7f, FormatScore(WhiteScore));
    DrawTable(*graphics);
}
