#include "graphics/frame_commands.h"

#include <algorithm>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t kFlagFloats = std::size_t{kFlagPointCount} * 3;
// Pixels added on every side of a box: rasterisation rounds, and the GL transforms are
// worked out in single precision where the boxes use double.
constexpr double kMargin = 2;

// A box of canvas coordinates, grown point by point.
struct CanvasBox {
    double u0 = std::numeric_limits<double>::infinity();
    double v0 = std::numeric_limits<double>::infinity();
    double u1 = -std::numeric_limits<double>::infinity();
    double v1 = -std::numeric_limits<double>::infinity();
    bool isFinite = true;  // false once a point was not a finite number: it bounds nothing

    void Add(double u, double v) {
        isFinite = isFinite && std::isfinite(u) && std::isfinite(v);
        u0 = std::min(u0, u);
        u1 = std::max(u1, u);
        v0 = std::min(v0, v);
        v1 = std::max(v1, v);
    }
};

// The window pixels of a canvas box; nothing when a coordinate is not a finite number.
std::optional<PixelBox> ToPixels(const CanvasBox& box, const FrameProjection& p) {
    if (!box.isFinite) return std::nullopt;
    if (box.u1 < box.u0) return PixelBox{};  // no point: draws nothing
    const double xScale = p.width / (p.canvasRight - p.canvasLeft);
    const double yScale = p.height / (p.canvasTop - p.canvasBottom);
    const double x0 = std::floor((box.u0 - p.canvasLeft) * xScale - kMargin);
    const double x1 = std::ceil((box.u1 - p.canvasLeft) * xScale + kMargin);
    const double y0 = std::floor((box.v0 - p.canvasBottom) * yScale - kMargin);
    const double y1 = std::ceil((box.v1 - p.canvasBottom) * yScale + kMargin);
    if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) || !std::isfinite(y1)) {
        return std::nullopt;
    }
    // Far outside the frame is as good as its edge; this keeps the numbers in 32 bits.
    auto clamp = [](double value, std::int32_t limit) {
        return static_cast<std::int32_t>(std::clamp(value, -1.0, static_cast<double>(limit) + 1));
    };
    return PixelBox{clamp(x0, p.width), clamp(y0, p.height), clamp(x1, p.width),
                    clamp(y1, p.height)};
}

// A text: each glyph's outline lies inside its black box, placed at the pen, which moves on
// by the glyph's advance.
CanvasBox StringBox(const FrameCommands::Command& c, const char* text,
                    const GlyphMetricsTable& glyphs) {
    CanvasBox box;
    const auto [x, y, scaleX, scaleY] = c.numbers;
    double pen = 0;
    for (const char* at = text; *at != '\0'; ++at) {
        const GlyphMetric& g = glyphs[static_cast<unsigned char>(*at)];
        if (g.blackBoxX > 0 || g.blackBoxY > 0) {
            box.Add(x + (pen + g.originX) * scaleX, y + g.originY * scaleY);
            box.Add(x + (pen + g.originX + g.blackBoxX) * scaleX,
                    y + (g.originY - g.blackBoxY) * scaleY);
        }
        pen += g.cellIncX;
    }
    return box;
}

CanvasBox FlagBox(const FrameCommands::Command& c, const float* positions) {
    CanvasBox box;
    const auto [x, y, scale, unused] = c.numbers;
    for (std::size_t k = 0; k < kFlagFloats; k += 3)
        box.Add(x + positions[k] * static_cast<double>(scale), y + positions[k + 1] * scale);
    return box;
}

}  // namespace

std::int64_t PixelBox::Area() const {
    return IsEmpty() ? 0 : std::int64_t{x1 - x0} * (y1 - y0);
}

void PixelBox::Add(const PixelBox& other) {
    if (other.IsEmpty()) return;
    if (IsEmpty()) {
        *this = other;
        return;
    }
    x0 = std::min(x0, other.x0);
    y0 = std::min(y0, other.y0);
    x1 = std::max(x1, other.x1);
    y1 = std::max(y1, other.y1);
}

PixelBox PixelBox::Within(const PixelBox& bounds) const {
    PixelBox cut{std::max(x0, bounds.x0), std::max(y0, bounds.y0), std::min(x1, bounds.x1),
                 std::min(y1, bounds.y1)};
    return cut.IsEmpty() ? PixelBox{} : cut;
}

void FrameCommands::Clear() {
    commands_.clear();
    payload_.clear();
}

FrameCommands::Command& FrameCommands::Add(Op op) {
    // Every command's bytes start on 8 bytes, so that the flag's floats and the board's
    // doubles can be read where they lie, whatever text came before.
    payload_.resize((payload_.size() + 7) / 8 * 8);
    Command& command = commands_.emplace_back();
    command.op = op;
    command.payloadStart = static_cast<std::uint32_t>(payload_.size());
    return command;
}

void FrameCommands::AddPayload(const void* data, std::size_t size) {
    const std::size_t end = payload_.size();
    payload_.resize(end + size);
    std::memcpy(payload_.data() + end, data, size);
    commands_.back().payloadSize += static_cast<std::uint32_t>(size);
}

void FrameCommands::AddString(float x, float y, float scaleX, float scaleY, const char* text) {
    Add(Op::kString).numbers = {x, y, scaleX, scaleY};
    AddPayload(text, std::strlen(text) + 1);
}

void FrameCommands::AddColor(float r, float g, float b) {
    Add(Op::kColor).numbers = {r, g, b, 0};
}

void FrameCommands::AddMarker(float x, float y) {
    Add(Op::kMarker).numbers = {x, y, 0, 0};
}

void FrameCommands::AddFlag(float x, float y, float scale, const float* positions,
                            const float* normals, bool red) {
    Command& command = Add(Op::kFlag);
    command.numbers = {x, y, scale, 0};
    command.index = red ? 1 : 0;
    AddPayload(positions, kFlagFloats * sizeof(float));
    AddPayload(normals, kFlagFloats * sizeof(float));
}

void FrameCommands::AddMedal(float x, float y, float size) {
    Add(Op::kMedal).numbers = {x, y, size, 0};
}

void FrameCommands::AddGrid() {
    Add(Op::kGrid);
}

void FrameCommands::AddBackground(std::int32_t index) {
    Add(Op::kBackground).index = index;
}

void FrameCommands::AddBoard(const PieceTable& pieces, const double camera[2]) {
    Add(Op::kBoard);
    AddPayload(camera, 2 * sizeof(double));
    // The whole table, padding included: the board is drawn from this copy.
    AddPayload(pieces.data(), sizeof(PieceTable));
}

const char* FrameCommands::Text(const Command& command) const {
    return reinterpret_cast<const char*>(payload_.data() + command.payloadStart);
}

const float* FrameCommands::FlagPositions(const Command& command) const {
    return reinterpret_cast<const float*>(payload_.data() + command.payloadStart);
}

const float* FrameCommands::FlagNormals(const Command& command) const {
    return FlagPositions(command) + kFlagFloats;
}

PieceTable FrameCommands::Pieces(const Command& command) const {
    PieceTable pieces;
    std::memcpy(static_cast<void*>(pieces.data()),
                payload_.data() + command.payloadStart + 2 * sizeof(double), sizeof(PieceTable));
    return pieces;
}

std::array<double, 2> FrameCommands::Camera(const Command& command) const {
    std::array<double, 2> camera{};
    std::memcpy(camera.data(), payload_.data() + command.payloadStart, sizeof camera);
    return camera;
}

bool FrameCommands::SameAs(std::size_t i, const FrameCommands& other, std::size_t j) const {
    const Command& a = commands_[i];
    const Command& b = other.commands_[j];
    // Bit for bit: -0 and 0 count as different, which only costs a frame.
    return a.op == b.op && std::memcmp(a.numbers.data(), b.numbers.data(), sizeof a.numbers) == 0 &&
           a.index == b.index && a.payloadSize == b.payloadSize &&
           std::memcmp(payload_.data() + a.payloadStart, other.payload_.data() + b.payloadStart,
                       a.payloadSize) == 0;
}

void FrameCommands::Swap(FrameCommands& other) {
    commands_.swap(other.commands_);
    payload_.swap(other.payload_);
}

std::optional<PixelBox> CommandPixels(const FrameCommands& frame, std::size_t i,
                                      const FrameProjection& projection,
                                      const GlyphMetricsTable& glyphs) {
    const auto& commands = frame.Commands();
    for (std::size_t k = 0; k < i; ++k) {
        if (commands[k].op == FrameCommands::Op::kBoard) return std::nullopt;
    }
    const FrameCommands::Command& c = commands[i];
    const auto [x, y, third, unused] = c.numbers;
    CanvasBox box;
    switch (c.op) {
        case FrameCommands::Op::kString:
            box = StringBox(c, frame.Text(c), glyphs);
            break;
        case FrameCommands::Op::kMarker:  // a diamond 0.02 wide and 0.04 high
            box.Add(x - 0.01, y - 0.02);
            box.Add(x + 0.01, y + 0.02);
            break;
        case FrameCommands::Op::kMedal:
            box.Add(x, y);
            box.Add(x + third, y + third);
            break;
        case FrameCommands::Op::kFlag:
            box = FlagBox(c, frame.FlagPositions(c));
            break;
        default:
            return std::nullopt;
    }
    return ToPixels(box, projection);
}

PixelBox ChangedPixels(const FrameCommands& before, const FrameCommands& now,
                       const FrameProjection& projection, const GlyphMetricsTable& glyphs) {
    const PixelBox whole{0, 0, projection.width, projection.height};
    const auto& a = before.Commands();
    const auto& b = now.Commands();
    if (a.size() != b.size()) return whole;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].op != b[i].op) return whole;
    }
    PixelBox changed;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (now.SameAs(i, before, i)) continue;
        const std::optional<PixelBox> was = CommandPixels(before, i, projection, glyphs);
        const std::optional<PixelBox> is = CommandPixels(now, i, projection, glyphs);
        if (!was || !is) return whole;
        changed.Add(*was);
        changed.Add(*is);
    }
    return changed.Within(whole);
}
