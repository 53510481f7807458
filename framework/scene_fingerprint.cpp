#include "framework/scene_fingerprint.h"

#include "framework/scene.h"
#include "game/flag.h"

#include <cstring>
#include <type_traits>

namespace {

// One byte naming each call, so that different calls never run together: a drawing
// operation's DrawOp, or one of these.
enum class Tag : std::uint8_t {
    kSize = kDrawOpCount,
    kWidth,
    kNothing,  // an argument the renderer ignores the call for (a null text or array)
};
using Op = DrawOp;

constexpr std::size_t kFlagFloats = std::size_t{kFlagPointCount} * 3;

}  // namespace

template <typename T>
void SceneFingerprint::Add(const T& value) {
    static_assert(std::is_arithmetic_v<T> || std::is_enum_v<T>);
    AddBytes(&value, sizeof value);
}

void SceneFingerprint::AddBytes(const void* data, std::size_t size) {
    const std::size_t end = bytes_.size();
    bytes_.resize(end + size);
    std::memcpy(bytes_.data() + end, data, size);
}

void SceneFingerprint::Take(const CScene& scene) {
    bytes_.clear();
    // The same calls as the rendering thread makes for the scene's frame, frame size first.
    BeginFrame(scene.width, scene.height);
    scene.Draw(this);
}

void SceneFingerprint::BeginFrame(std::int32_t width, std::int32_t height) {
    Add(Tag::kSize);
    Add(width);
    Add(height);
}

float SceneFingerprint::GetTextWidth(const char* text) {
    if (text == nullptr) {
        Add(Tag::kNothing);
    } else {
        Add(Tag::kWidth);
        AddBytes(text, std::strlen(text) + 1);
    }
    return 1;
}

void SceneFingerprint::DrawString(float x, float y, float scaleX, float scaleY, const char* text) {
    if (text == nullptr) return Add(Tag::kNothing);
    Add(Op::kString);
    Add(x);
    Add(y);
    Add(scaleX);
    Add(scaleY);
    AddBytes(text, std::strlen(text) + 1);  // with its end, so "ab" + "c" is not "a" + "bc"
}

void SceneFingerprint::SetColor(float r, float g, float b) {
    Add(Op::kColor);
    Add(r);
    Add(g);
    Add(b);
}

void SceneFingerprint::DrawMarker(float x, float y) {
    Add(Op::kMarker);
    Add(x);
    Add(y);
}

void SceneFingerprint::DrawFlag(float x, float y, float scale, const float* positions,
                                const float* normals, bool red) {
    if (positions == nullptr || normals == nullptr) return Add(Tag::kNothing);
    Add(Op::kFlag);
    Add(x);
    Add(y);
    Add(scale);
    Add(red);
    AddBytes(positions, kFlagFloats * sizeof(float));
    AddBytes(normals, kFlagFloats * sizeof(float));
}

void SceneFingerprint::DrawMedal(float x, float y, float size) {
    Add(Op::kMedal);
    Add(x);
    Add(y);
    Add(size);
}

void SceneFingerprint::DrawGrid() {
    Add(Op::kGrid);
}

void SceneFingerprint::DrawBackground(std::int32_t index) {
    Add(Op::kBackground);
    Add(index);
}

void SceneFingerprint::DrawBoard(const PieceTable& pieces, const double camera[2]) {
    if (camera == nullptr) return Add(Tag::kNothing);
    Add(Op::kBoard);
    Add(camera[0]);
    Add(camera[1]);
    // Field by field: the speeds are not drawn, and padding bytes say nothing.
    for (const Piece& piece : pieces) {
        Add(piece.x);
        Add(piece.y);
        Add(piece.aim);
        Add(piece.side);
        Add(piece.alive);
        Add(piece.selected);
    }
}
