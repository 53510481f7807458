#include "graphics/egl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <algorithm>

#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <string_view>
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

// Keeps a loaded OpenGL driver (Mesa's "<name>_dri.so") in the process for good. Terminating
// the display would unload it, and the few blocks it keeps in its globals to the end would
// then look leaked to LeakSanitizer, with no module name left to suppress them by.
int KeepDriverLoaded(dl_phdr_info* module, std::size_t, void*) {
    if (std::string_view(module->dlpi_name).ends_with("_dri.so")) {
        dlopen(module->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
    }
    return 0;  // on to the next module
}

}  // namespace

void EglContext::TerminateDisplay() {
    dl_iterate_phdr(KeepDriverLoaded, nullptr);
    EGLDisplay display = GetSurfacelessDisplay();
    if (display != EGL_NO_DISPLAY) eglTerminate(display);  // one never opened is left as is
    // This thread's own EGL state, which made and destroyed the contexts.
    eglReleaseThread();
}

EglContext::EglContext(std::int32_t maxWidth, std::int32_t maxHeight) {
    if (OpenDisplay()) CreateContext(maxWidth, maxHeight);
}

EglContext::~EglContext() {
    if (display_ == nullptr) return;
    // The display itself stays: it is shared by every context of the process, until
    // TerminateDisplay.
    if (context_ != nullptr) eglDestroyContext(display_, context_);
    if (surface_ != nullptr) eglDestroySurface(display_, surface_);
}

bool EglContext::OpenDisplay() {
    failure_ = "no EGL display could be opened";
    EGLDisplay display = GetSurfacelessDisplay();
    if (display == EGL_NO_DISPLAY) return false;
    EGLint major = 0;
    EGLint minor = 0;
    failure_ = "EGL could not be initialised";
    if (eglInitialize(display, &major, &minor) != EGL_TRUE) return false;
    failure_ = "EGL offers no desktop OpenGL";
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) return false;
    display_ = display;
    return true;
}

namespace {

// Mesa offers 10-bit colour configurations too, and sorts them first; reading those back as
// 8-bit BGRA costs several times more. Take one with exactly 8 bits of each colour and 8 of
// alpha: its pixels are stored as blue, green, red, alpha bytes, so a frame is read back as
// BGRA with a plain copy (without alpha, Mesa converts every pixel on the way, 1.7 ms of a
// 1500 x 1000 frame). Depth exactly 16 bits, as the pictures have always been drawn with.
int ConfigScore(EGLDisplay display, EGLConfig config) {
    EGLint r = 0, g = 0, b = 0, a = 0, depth = 0;
    eglGetConfigAttrib(display, config, EGL_RED_SIZE, &r);
    eglGetConfigAttrib(display, config, EGL_GREEN_SIZE, &g);
    eglGetConfigAttrib(display, config, EGL_BLUE_SIZE, &b);
    eglGetConfigAttrib(display, config, EGL_ALPHA_SIZE, &a);
    eglGetConfigAttrib(display, config, EGL_DEPTH_SIZE, &depth);
    return (r == 8 && g == 8 && b == 8 ? 4 : 0) + (a == 8 ? 2 : 0) + (depth == 16 ? 1 : 0);
}

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
        const int score = ConfigScore(display, config);
        if (score > bestScore) {
            best = config;
            bestScore = score;
        }
    }
    return best;
}

std::int32_t Limit(std::int32_t wanted, EGLint allowed) {
    std::int32_t limit = wanted < 1 ? 1 : wanted;
    return allowed > 0 && allowed < limit ? allowed : limit;
}

}  // namespace

bool EglContext::CreateContext(std::int32_t maxWidth, std::int32_t maxHeight) {
    failure_ = "no OpenGL configuration with 8-bit colours and a depth buffer";
    EGLConfig config = ChooseConfig(display_);
    if (config == nullptr) return false;
    config_ = config;
    EGLint allowedWidth = 0;
    EGLint allowedHeight = 0;
    eglGetConfigAttrib(display_, config, EGL_MAX_PBUFFER_WIDTH, &allowedWidth);
    eglGetConfigAttrib(display_, config, EGL_MAX_PBUFFER_HEIGHT, &allowedHeight);
    maxWidth_ = Limit(maxWidth, allowedWidth);
    maxHeight_ = Limit(maxHeight, allowedHeight);
    // The first frame gives the surface its size; until then a pixel is enough to build on.
    surface_ = CreateSurface(1, 1, width_, height_);
    wantedWidth_ = 1;
    wantedHeight_ = 1;
    failure_ = "no off-screen drawing surface could be made";
    if (surface_ == nullptr) return false;
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, contextAttributes);
    if (context_ == EGL_NO_CONTEXT) context_ = nullptr;
    failure_ = context_ == nullptr ? "no OpenGL compatibility context could be made" : "";
    return context_ != nullptr;
}

void* EglContext::CreateSurface(std::int32_t width, std::int32_t height, std::int32_t& actualWidth,
                                std::int32_t& actualHeight) {
    // A surface larger than the implementation allows at the moment comes out as large as it
    // allows.
    const EGLint surfaceAttributes[] = {EGL_WIDTH,
                                        std::clamp(width, 1, maxWidth_),
                                        EGL_HEIGHT,
                                        std::clamp(height, 1, maxHeight_),
                                        EGL_LARGEST_PBUFFER,
                                        EGL_TRUE,
                                        EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display_, config_, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) return nullptr;
    EGLint madeWidth = 0;
    EGLint madeHeight = 0;
    eglQuerySurface(display_, surface, EGL_WIDTH, &madeWidth);
    eglQuerySurface(display_, surface, EGL_HEIGHT, &madeHeight);
    actualWidth = madeWidth;
    actualHeight = madeHeight;
    return surface;
}

void EglContext::Resize(std::int32_t width, std::int32_t height) {
    if (!IsValid()) return;
    width = std::clamp(width, 1, maxWidth_);
    height = std::clamp(height, 1, maxHeight_);
    // A surface smaller than asked for (no memory for more) is not asked for again every frame.
    if (width == wantedWidth_ && height == wantedHeight_) return;
    wantedWidth_ = width;
    wantedHeight_ = height;
    std::int32_t madeWidth = 0;
    std::int32_t madeHeight = 0;
    EGLSurface surface = CreateSurface(width, height, madeWidth, madeHeight);
    if (surface == nullptr) return;
    if (eglMakeCurrent(display_, surface, surface, context_) != EGL_TRUE) {
        eglDestroySurface(display_, surface);
        return;
    }
    // No longer current anywhere, so its pixels go at once.
    eglDestroySurface(display_, surface_);
    surface_ = surface;
    width_ = madeWidth;
    height_ = madeHeight;
}

bool EglContext::MakeCurrent() {
    if (!IsValid()) return false;
    return eglMakeCurrent(display_, surface_, surface_, context_) == EGL_TRUE;
}

void EglContext::Release() {
    if (display_ == nullptr) return;
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}
