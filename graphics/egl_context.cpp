#include "graphics/egl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstring>
#include <vector>

namespace {

// The surfaceless platform works with or without an X server; the default display does not
// exist without one, so it is only the fall-back.
EGLDisplay GetSurfacelessDisplay() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (getPlatformDisplay != nullptr && extensions != nullptr &&
        std::strstr(extensions, "EGL_MESA_platform_surfaceless") != nullptr) {
        return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    }
    return eglGetDisplay(EGL_DEFAULT_DISPLAY);
}

}  // namespace

EglContext::EglContext(std::int32_t width, std::int32_t height) {
    if (OpenDisplay()) CreateSurfaceAndContext(width, height);
}

EglContext::~EglContext() {
    if (display_ == nullptr) return;
    // The display itself is never terminated: it is shared by every context of the process.
    if (context_ != nullptr) eglDestroyContext(display_, context_);
    if (surface_ != nullptr) eglDestroySurface(display_, surface_);
}

bool EglContext::OpenDisplay() {
    EGLDisplay display = GetSurfacelessDisplay();
    if (display == EGL_NO_DISPLAY) return false;
    EGLint major = 0;
    EGLint minor = 0;
    if (eglInitialize(display, &major, &minor) != EGL_TRUE) return false;
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) return false;
    display_ = display;
    return true;
}

namespace {

// Mesa offers 10-bit colour configurations too, and sorts them first; reading those back as
// 8-bit BGRA costs several times more. Take the first with exactly 8 bits of each colour,
// preferring none of alpha (the frames are opaque).
EGLConfig ChooseConfig(EGLDisplay display) {
    const EGLint wanted[] = {EGL_SURFACE_TYPE,
                             EGL_PBUFFER_BIT,
                             EGL_RENDERABLE_TYPE,
                             EGL_OPENGL_BIT,
                             EGL_RED_SIZE,
                             8,
                             EGL_GREEN_SIZE,
                             8,
                             EGL_BLUE_SIZE,
                             8,
                             EGL_DEPTH_SIZE,
                             16,
                             EGL_NONE};
    EGLint count = 0;
    if (eglChooseConfig(display, wanted, nullptr, 0, &count) != EGL_TRUE || count < 1) {
        return nullptr;
    }
    std::vector<EGLConfig> configs(static_cast<std::size_t>(count));
    eglChooseConfig(display, wanted, configs.data(), count, &count);
    EGLConfig best = nullptr;
    int bestScore = -1;
    for (EGLConfig config : configs) {
        EGLint r = 0, g = 0, b = 0, a = 0;
        eglGetConfigAttrib(display, config, EGL_RED_SIZE, &r);
        eglGetConfigAttrib(display, config, EGL_GREEN_SIZE, &g);
        eglGetConfigAttrib(display, config, EGL_BLUE_SIZE, &b);
        eglGetConfigAttrib(display, config, EGL_ALPHA_SIZE, &a);
        const int score = (r == 8 && g == 8 && b == 8 ? 2 : 0) + (a == 0 ? 1 : 0);
        if (score > bestScore) {
            best = config;
            bestScore = score;
        }
    }
    return best;
}

}  // namespace

bool EglContext::CreateSurfaceAndContext(std::int32_t width, std::int32_t height) {
    EGLConfig config = ChooseConfig(display_);
    if (config == nullptr) return false;
    config_ = config;
    // A surface larger than the implementation allows comes out as large as it allows.
    const EGLint surfaceAttributes[] = {EGL_WIDTH,
                                        width < 1 ? 1 : width,
                                        EGL_HEIGHT,
                                        height < 1 ? 1 : height,
                                        EGL_LARGEST_PBUFFER,
                                        EGL_TRUE,
                                        EGL_NONE};
    surface_ = eglCreatePbufferSurface(display_, config, surfaceAttributes);
    if (surface_ == EGL_NO_SURFACE) return (surface_ = nullptr), false;
    EGLint actualWidth = 0;
    EGLint actualHeight = 0;
    eglQuerySurface(display_, surface_, EGL_WIDTH, &actualWidth);
    eglQuerySurface(display_, surface_, EGL_HEIGHT, &actualHeight);
    width_ = actualWidth;
    height_ = actualHeight;
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, contextAttributes);
    if (context_ == EGL_NO_CONTEXT) context_ = nullptr;
    return context_ != nullptr;
}

bool EglContext::MakeCurrent() {
    if (!IsValid()) return false;
    return eglMakeCurrent(display_, surface_, surface_, context_) == EGL_TRUE;
}

void EglContext::Release() {
    if (display_ == nullptr) return;
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}
