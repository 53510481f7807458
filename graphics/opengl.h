#pragma once

// Threads: the rendering thread runs BeginFrame, the drawing operations and EndFrame; the
// user-interface thread runs PickPiece. Both hold the render lock of the scene queue while they
// do, so the one context is current on at most one thread at a time, and each operation
// releases it before returning. GetTextWidth reads only the glyph metrics, fixed after
// construction. Construction and destruction run on the main thread while no frame is drawn.
// The frame sink is owned by whoever installs it; it may be swapped from any thread.

#include "graphics/egl_context.h"
#include "graphics/embedded_pictures.h"
#include "graphics/flag_mesh.h"
#include "graphics/frame_sink.h"
#include "graphics/graphics.h"
#include "graphics/outline_font.h"
#include "graphics/projection.h"
#include "graphics/textures.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

/// The game's renderer: OpenGL 1.1 and GLU on an off-screen EGL surface as large as the
/// screen. Each frame is drawn into the surface's bottom-left corner and handed to the frame
/// sink by EndFrame.
class COpenGL final : public CGraphics {
public:
    static constexpr std::int32_t kDefaultSurfaceWidth = 1920;  ///< headless screen size
    static constexpr std::int32_t kDefaultSurfaceHeight = 1080;

    /// Creates the context on a surface of about surfaceWidth x surfaceHeight pixels and builds
    /// every texture, display list and table, taking the pictures from `pictures`.
    COpenGL(std::int32_t surfaceWidth = kDefaultSurfaceWidth,
            std::int32_t surfaceHeight = kDefaultSurfaceHeight,
            const PictureSource& pictures = EmbeddedPictures());
    /// Releases the textures and lists and destroys the context; no frame may be in progress.
    ~COpenGL();

    /// True when a rendering context exists; without one every operation draws nothing.
    bool IsReady() const { return context_.IsValid(); }
    /// Where EndFrame delivers frames from now on; null drops them. Not owned.
    void SetFrameSink(CFrameSink* sink) { sink_.store(sink); }
    /// Size of the drawing surface actually made, pixels.
    std::int32_t SurfaceWidth() const { return context_.Width(); }
    std::int32_t SurfaceHeight() const { return context_.Height(); }
    /// The projection of the last frame (size -1 x -1 before the first).
    const FrameProjection& Projection() const { return projection_; }
    /// Per-code measures of the outline font, ems.
    const GlyphMetricsTable& Metrics() const { return GlyphMetrics; }

    void BeginFrame(const CScene* scene) override;
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
    void ApplyProjection(const FrameProjection& projection);
    void SetBoardView(const double camera[2]) const;
    void DrawPiece(const Piece& piece) const;
    void DrawBoardSides() const;
    void DrawBoardTop() const;
    void DrawShadows(const PieceTable& pieces) const;
    void DrawAimArrows(const PieceTable& pieces) const;

    EglContext context_;
    FrameProjection projection_;
    std::vector<std::uint8_t> frame_;  // read-back of the last frame, bottom row first
    std::atomic<CFrameSink*> sink_{nullptr};

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
