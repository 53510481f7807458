#pragma once

// Threads: the rendering thread under test calls the drawing operations, the test thread reads
// the record and holds or releases frames; every member is guarded by mutex_.

#include "graphics/graphics.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

/// One call made on the graphics object: the operation's name, its numeric arguments in order
/// (floats widened exactly, booleans as 0 or 1), its text, the addresses it was given (the
/// flag's positions and normals) and, for the board, the bytes of the piece table.
struct GraphicsCall {
    std::string op{};
    std::vector<double> numbers{};
    std::string text{};
    std::vector<const void*> addresses{};
    std::vector<unsigned char> pieceBytes{};

    bool operator==(const GraphicsCall&) const = default;
};

std::ostream& operator<<(std::ostream& out, const GraphicsCall& call);

/// A CGraphics that draws nothing and records every call with its arguments. It can hold the
/// next frame inside BeginFrame until the test lets it go, to stand for a slow frame.
class RecordingGraphics final : public CGraphics {
public:
    static constexpr std::chrono::seconds kPatience{5};

    /// The width GetTextWidth reports: digits and signs of slightly different widths.
    static float WidthOf(const char* text);

    /// A copy of every call so far.
    std::vector<GraphicsCall> Calls() const;
    /// Number of EndFrame calls so far.
    int FramesEnded() const;
    /// Waits up to kPatience until `count` frames have ended; false if they did not.
    bool WaitForFramesEnded(int count) const;

    /// The next BeginFrame blocks until ReleaseFrame.
    void HoldNextFrame();
    /// Waits up to kPatience until a held frame has begun; false if none did.
    bool WaitUntilHeld() const;
    /// Lets a held frame go on.
    void ReleaseFrame();

    /// Value PickPiece returns.
    void SetPickResult(std::int32_t index);

    void BeginFrame(std::int32_t width, std::int32_t height) override;
    void EndFrame() override;
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
    std::int32_t PickPiece(const PieceTable& pieces, const double camera[2], std::int32_t x,
                           std::int32_t y) override;

private:
    void Record(GraphicsCall call);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<GraphicsCall> calls_;
    int framesEnded_ = 0;
    bool holdNext_ = false;
    bool isHolding_ = false;
    std::int32_t pickResult_ = -1;
};

/// The bytes of a piece table, as RecordingGraphics records them for DrawBoard.
std::vector<unsigned char> BytesOf(const PieceTable& pieces);
