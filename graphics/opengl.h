#pragma once

// Threads: the rendering thread runs BeginFrame, the drawing operations and EndFrame (the
// recorded frames belong to it); the user-interface thread runs PickPiece. Both hold the render
// lock of the scene queue while they do, so the one context is current on at most one thread at a
// time, and each operation releases it before returning. GetTextWidth reads only the glyph metrics,
// fixed after construction. Construction and destruction run on the main thread while no frame is
// drawn. The frame sink is owned by whoever installs it; it may be swapped from any thread.

#include "graphics/egl_context.h"
#include "graphics/embedded_pictures.h"
#include "graphics/flag_mesh.h"
#include "graphics/frame_commands.h"
#include "graphics/frame_sink.h"
#include "graphics/graphics.h"
#include "graphics/outline_font.h"
#include "graphics/projection.h"
#include "graphics/textures.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

/// The game's renderer: OpenGL 1.1 and GLU on an off-screen EGL surface that takes the size of
/// each frame, up to the screen's. The drawing operations of a frame are recorded and drawn by
/// EndFrame, which draws again only the pixels that differ from the frame before (the same
/// picture as drawing it all), reads the frame back into memory the frame sink lends (or into
/// its own) and hands it to the sink.
class COpenGL final : public CGraphics {
public:
    static constexpr std::int32_t kDefaultSurfaceWidth = 1920;  ///< headless screen size
    static constexpr std::int32_t kDefaultSurfaceHeight = 1080;

    /// Creates the context for frames of up to about surfaceWidth x surfaceHeight pixels (the
    /// screen's size) and builds every texture, display list and table, taking the pictures
    /// from `pictures`.
    COpenGL(std::int32_t surfaceWidth = kDefaultSurfaceWidth,
            std::int32_t surfaceHeight = kDefaultSurfaceHeight,
            const PictureSource& pictures = EmbeddedPictures());
    /// Releases the textures and lists and destroys the context; no frame may be in progress.
    ~COpenGL();

    /// True when a rendering context exists; without one every operation draws nothing.
    bool IsReady() const { return context_.IsValid(); }
    /// Why there is no rendering context, in a few words; empty when there is one.
    const char* ContextFailure() const { return context_.Failure(); }
    /// Whether the outline font was found: without it texts draw nothing and have no width.
    bool HasFont() const { return hasFont_; }
    /// The pictures that could not be decoded, in loading order; plain texture stands in.
    const std::vector<int>& UndecodedPictures() const { return undecodedPictures_; }
    /// Where EndFrame delivers frames from now on; null drops them. Not owned.
    void SetFrameSink(CFrameSink* sink);
    /// The largest frame, pixels: a scene larger than this is cut off at its top and right.
    std::int32_t SurfaceWidth() const { return context_.MaxWidth(); }
    std::int32_t SurfaceHeight() const { return context_.MaxHeight(); }
    /// Size of the drawing surface now, pixels: that of the last frame (1 x 1 before the
    /// first). Not while a frame is drawn on another thread.
    std::int32_t DrawingWidth() const { return context_.Width(); }
    std::int32_t DrawingHeight() const { return context_.Height(); }
    /// The projection of the last frame (size -1 x -1 before the first).
    const FrameProjection& Projection() const { return projection_; }
    /// The next frame is cleared and drawn whole, not only where it differs from the one
    /// before (for measuring a whole frame's cost). The drawing thread, between frames.
    void DrawNextFrameWhole() { drawWhole_ = true; }
    /// The pixels the last frame cleared and drew: the whole frame, a part of it, or nothing
    /// when it was the same as the frame before.
    const PixelBox& LastDrawnBox() const { return lastDrawn_; }
    /// Per-code measures of the outline font, ems.
    const GlyphMetricsTable& Metrics() const { return GlyphMetrics; }

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
    void InitResources(const PictureSource& pictures);
    void LoadTextures(const PictureSource& pictures);
    void ReleaseResources();
    PixelBox PixelsToDraw(const PixelBox& surface) const;
    void DrawCommands(const PixelBox& box, const PixelBox& surface);
    bool BackgroundCoversAll() const;
    void Paint(const FrameCommands::Command& command);
    void PaintString(float x, float y, float scaleX, float scaleY, const char* text);
    void PaintColor(float r, float g, float b);
    void PaintMarker(float x, float y);
    void PaintFlag(float x, float y, float scale, const float* positions, const float* normals,
                   bool red);
    void PaintMedal(float x, float y, float size);
    void PaintGrid();
    void PaintBackground(std::int32_t index);
    void PaintBoard(const PieceTable& pieces, const double camera[2]);
    void ApplyProjection(const FrameProjection& projection);
    FramePixels ReadFrame(CFrameSink& sink, std::int32_t width, std::int32_t height);
    void SetBoardView(const double camera[2]) const;
    void DrawPiece(const Piece& piece) const;
    void DrawBoardSides() const;
    void DrawBoardTop() const;
    void DrawShadows(const PieceTable& pieces) const;
    void DrawAimArrows(const PieceTable& pieces) const;

    EglContext context_;
    FrameProjection projection_;
    FrameCommands commands_;           // the frame being recorded
    FrameCommands drawn_;              // the frame the surface shows
    FrameProjection drawnProjection_;  // its projection and the part of it on the surface
    PixelBox drawnSurface_;
    std::array<float, 4> drawnStartColour_{};  // the current colour when its drawing began
    PixelBox lastDrawn_;
    std::uint32_t lastSinkChange_ = 0;  // sinkChanges_ when the surface's frame was handed over
    bool hasFont_ = false;
    std::vector<int> undecodedPictures_;
    bool hasDrawn_ = false;
    bool drawWhole_ = false;
    bool readsTopFirst_ = false;          // Mesa's pack-invert: rows read back top row first
    std::vector<std::uint8_t> readBack_;  // for sinks that lend no memory, bottom row first
    std::mutex sinkMutex_;                // guards sink_ and sinkChanges_, which any thread may set
    CFrameSink* sink_ = nullptr;
    std::uint32_t sinkChanges_ = 0;

    // The game's named resources keep their own names.
    std::uint32_t BoardSideTexture = 0;
    std::uint32_t BoardTopTexture = 0;
    std::uint32_t RedFlagTexture = 0;
    std::uint32_t WhiteFlagTexture = 0;
    std::uint32_t MedalTexture = 0;
    std::array<std::uint32_t, 5> BackgroundTextures{};  // 0 menu, 1 settings, 2-4 unused
    std::uint32_t PieceList = 0;
    std::uint32_t FontListBase = 0;
    FlagTexCoordTable FlagTexCoords{};
    FlagIndexTable FlagIndices{};
    GlyphMetricsTable GlyphMetrics{};
    std::array<std::uint32_t, 256> selectBuffer_{};
};
