#include "tests/fakes/recording_graphics.h"

#include <cstring>
#include <utility>

std::ostream& operator<<(std::ostream& out, const GraphicsCall& call) {
    out << call.op << "(";
    for (double number : call.numbers)
        out << number << ", ";
    if (!call.text.empty()) out << '"' << call.text << "\", ";
    for (const void* address : call.addresses)
        out << address << ", ";
    if (!call.pieceBytes.empty()) out << call.pieceBytes.size() << " table bytes";
    return out << ")";
}

std::vector<unsigned char> BytesOf(const PieceTable& pieces) {
    std::vector<unsigned char> bytes(sizeof(PieceTable));
    std::memcpy(bytes.data(), static_cast<const void*>(pieces.data()), bytes.size());
    return bytes;
}

float RecordingGraphics::WidthOf(const char* text) {
    float width = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        width += 0.5f + static_cast<float>(static_cast<unsigned char>(*c) % 5) * 0.0625f;
    }
    return width;
}

std::vector<GraphicsCall> RecordingGraphics::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

int RecordingGraphics::FramesEnded() const {
    std::lock_guard lock(mutex_);
    return framesEnded_;
}

bool RecordingGraphics::WaitForFramesEnded(int count) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPatience, [&] { return framesEnded_ >= count; });
}

void RecordingGraphics::HoldNextFrame() {
    std::lock_guard lock(mutex_);
    holdNext_ = true;
}

bool RecordingGraphics::WaitUntilHeld() const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPatience, [&] { return isHolding_; });
}

void RecordingGraphics::ReleaseFrame() {
    {
        std::lock_guard lock(mutex_);
        isHolding_ = false;
    }
    changed_.notify_all();
}

void RecordingGraphics::SetPickResult(std::int32_t index) {
    std::lock_guard lock(mutex_);
    pickResult_ = index;
}

void RecordingGraphics::Record(GraphicsCall call) {
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    changed_.notify_all();
}

void RecordingGraphics::BeginFrame(std::int32_t width, std::int32_t height) {
    Record(
        {.op = "BeginFrame", .numbers = {static_cast<double>(width), static_cast<double>(height)}});
    std::unique_lock lock(mutex_);
    if (!holdNext_) return;
    holdNext_ = false;
    isHolding_ = true;
    changed_.notify_all();
    changed_.wait(lock, [&] { return !isHolding_; });
}

void RecordingGraphics::EndFrame() {
    Record({.op = "EndFrame"});
    std::lock_guard lock(mutex_);
    ++framesEnded_;
    changed_.notify_all();
}

float RecordingGraphics::GetTextWidth(const char* text) {
    Record({.op = "GetTextWidth", .text = text});
    return WidthOf(text);
}

void RecordingGraphics::DrawString(float x, float y, float scaleX, float scaleY, const char* text) {
    Record({.op = "DrawString", .numbers = {x, y, scaleX, scaleY}, .text = text});
}

void RecordingGraphics::SetColor(float r, float g, float b) {
    Record({.op = "SetColor", .numbers = {r, g, b}});
}

void RecordingGraphics::DrawMarker(float x, float y) {
    Record({.op = "DrawMarker", .numbers = {x, y}});
}

void RecordingGraphics::DrawFlag(float x, float y, float scale, const float* positions,
                                 const float* normals, bool red) {
    Record({.op = "DrawFlag",
            .numbers = {x, y, scale, red ? 1.0 : 0.0},
            .addresses = {positions, normals}});
}

void RecordingGraphics::DrawMedal(float x, float y, float size) {
    Record({.op = "DrawMedal", .numbers = {x, y, size}});
}

void RecordingGraphics::DrawGrid() {
    Record({.op = "DrawGrid"});
}

void RecordingGraphics::DrawBackground(std::int32_t index) {
    Record({.op = "DrawBackground", .numbers = {static_cast<double>(index)}});
}

void RecordingGraphics::DrawBoard(const PieceTable& pieces, const double camera[2]) {
    Record({.op = "DrawBoard", .numbers = {camera[0], camera[1]}, .pieceBytes = BytesOf(pieces)});
}

std::int32_t RecordingGraphics::PickPiece(const PieceTable& pieces, const double camera[2],
                                          std::int32_t x, std::int32_t y) {
    Record({.op = "PickPiece",
            .numbers = {camera[0], camera[1], static_cast<double>(x), static_cast<double>(y)},
            .pieceBytes = BytesOf(pieces)});
    std::lock_guard lock(mutex_);
    return pickResult_;
}
