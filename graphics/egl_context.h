#pragma once

#include <cstdint>

/// The one OpenGL rendering context of the game and its off-screen drawing surface: an EGL
/// pbuffer on Mesa's surfaceless platform, so that drawing needs no window system at all. The
/// surface is made as large as the frames drawn on it (Resize), never larger than the limit
/// given at construction, so that no frame clears or keeps pixels the window does not show.
/// The context is current on at most one thread at a time; the caller serialises MakeCurrent,
/// Resize and Release (the render lock does so in the game).
class EglContext {
public:
    /// Opens the display and creates a compatibility-profile context on a small pbuffer with at
    /// least 16 bits of depth; surfaces are limited to about maxWidth x maxHeight pixels (less
    /// if the implementation allows less). IsValid tells whether it worked.
    EglContext(std::int32_t maxWidth, std::int32_t maxHeight);
    EglContext(const EglContext&) = delete;
    EglContext& operator=(const EglContext&) = delete;
    /// Lets go of the display every context of the process draws on: the OpenGL implementation
    /// frees what it kept for it and joins the threads it started for it (Mesa's rasterisers
    /// and its shader-cache writer), which would otherwise run until the process ends. Only
    /// once every context is destroyed; nothing happens when the display was never opened.
    static void TerminateDisplay();

    /// Destroys the context and the surface; the context must not be current anywhere else.
    ~EglContext();

    /// True when the display, surface and context all exist.
    bool IsValid() const { return context_ != nullptr && surface_ != nullptr; }
    /// The step that failed, in a few plain words ("no EGL display could be opened"); empty
    /// when the context exists.
    const char* Failure() const { return failure_; }
    /// Makes the context current on the calling thread with the pbuffer as its surface.
    bool MakeCurrent();
    /// Replaces the surface by one of width x height pixels (each cut to the limit, at least 1)
    /// and makes the context current on it; keeps the old surface if no new one can be made.
    /// Nothing happens when the size is already that. Calling thread must have it current.
    void Resize(std::int32_t width, std::int32_t height);
    /// Releases the context from the calling thread.
    void Release();
    /// Size of the surface now, in pixels (0 x 0 when none).
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    /// The largest surface Resize makes, in pixels.
    std::int32_t MaxWidth() const { return maxWidth_; }
    std::int32_t MaxHeight() const { return maxHeight_; }

private:
    bool OpenDisplay();
    bool CreateContext(std::int32_t maxWidth, std::int32_t maxHeight);
    void* CreateSurface(std::int32_t width, std::int32_t height, std::int32_t& actualWidth,
                        std::int32_t& actualHeight);

    const char* failure_ = "";
    void* display_ = nullptr;  // EGLDisplay
    void* config_ = nullptr;   // EGLConfig
    void* surface_ = nullptr;  // EGLSurface
    void* context_ = nullptr;  // EGLContext
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int32_t wantedWidth_ = 0;  // the size last asked of Resize, cut to the limit
    std::int32_t wantedHeight_ = 0;
    std::int32_t maxWidth_ = 0;
    std::int32_t maxHeight_ = 0;
};
