#pragma once

#include <cstdint>

/// The one OpenGL rendering context of the game and its off-screen drawing surface: an EGL
/// pbuffer on Mesa's surfaceless platform, so that drawing needs no window system at all.
/// The context is current on at most one thread at a time; the caller serialises MakeCurrent
/// and Release (the render lock does so in the game).
class EglContext {
public:
    /// Opens the display and creates a compatibility-profile context on a pbuffer of about
    /// width x height pixels with at least 16 bits of depth; IsValid tells whether it worked.
    EglContext(std::int32_t width, std::int32_t height);
    EglContext(const EglContext&) = delete;
    EglContext& operator=(const EglContext&) = delete;
    /// Destroys the context and the surface; the context must not be current anywhere else.
    ~EglContext();

    /// True when the display, surface and context all exist.
    bool IsValid() const { return context_ != nullptr && surface_ != nullptr; }
    /// Makes the context current on the calling thread with the pbuffer as its surface.
    bool MakeCurrent();
    /// Releases the context from the calling thread.
    void Release();
    /// Size of the surface actually made, in pixels (0 x 0 when none).
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }

private:
    bool OpenDisplay();
    bool CreateSurfaceAndContext(std::int32_t width, std::int32_t height);

    void* display_ = nullptr;  // EGLDisplay
    void* config_ = nullptr;   // EGLConfig
    void* surface_ = nullptr;  // EGLSurface
    void* context_ = nullptr;  // EGLContext
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};
