#pragma once

// Threads: used by the rendering thread only.

#include "graphics/graphics.h"

#include <cstdint>
#include <vector>

class CScene;

/// Everything a scene draws, in order and with every argument by value (texts, the flag's
/// points and normals, the pieces' drawn fields), plus its pixel size: two scenes with equal
/// fingerprints make the same picture, since each frame starts from the same drawing state.
class SceneFingerprint final : public CGraphics {
public:
    /// Replaces the fingerprint by that of `scene`; keeps its memory for the next one.
    void Take(const CScene& scene);
    /// True when both fingerprints are of the same picture.
    bool operator==(const SceneFingerprint& other) const { return bytes_ == other.bytes_; }
    /// Forgets the fingerprint: it then equals no scene's.
    void Clear() { bytes_.clear(); }
    /// Exchanges the two fingerprints.
    void Swap(SceneFingerprint& other) { bytes_.swap(other.bytes_); }

    /// Records the frame's pixel size: part of the picture.
    void BeginFrame(std::int32_t width, std::int32_t height) override;
    /// Records the text measured and answers 1 for any: a width depends on its text alone, so
    /// what a scene computes from it is fixed by the text recorded here.
    float GetTextWidth(const char* text) override;
    void DrawString(float x, float y, float scaleX, float scaleY, const char* text) override;
    void SetColor(float r, float g, float b) override;
    void DrawMarker(float x, float y) override;
    void DrawFlag(float x, float y, float scale, const float* positions, const float* normals,
                  bool red) override;
    void DrawMedal(float x, float y, float size) override;
    void DrawGrid() override;
    void DrawBackground(std::int32_t index) override;
    void DrawBoard(const PieceTable& pieces, const double camera[2]) override;
    /// Never part of a picture: finds nothing.
    std::int32_t PickPiece(const PieceTable&, const double*, std::int32_t, std::int32_t) override {
        return -1;
    }

private:
    template <typename T>
    void Add(const T& value);
    void AddBytes(const void* data, std::size_t size);

    std::vector<std::uint8_t> bytes_;
};
