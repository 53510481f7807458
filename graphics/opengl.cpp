// Construction, release and the frame of the renderer. Threads: see opengl.h.
#include "graphics/opengl.h"

#include "app/scene.h"
#include "graphics/lights.h"
#include "graphics/piece_model.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <algorithm>

namespace {

// Pictures in the order they are loaded, with the height of their textures.
struct PictureSlot {
    int id;
    std::int32_t height;
};
constexpr PictureSlot kBoardSide{129, 256};
constexpr PictureSlot kBoardTop{130, 1024};
constexpr PictureSlot kRedFlag{131, 512};
constexpr PictureSlot kWhiteFlag{132, 512};
constexpr PictureSlot kMedal{133, 256};  // a 256 x 256 picture in the left quarter
constexpr PictureSlot kMenu{134, 512};
constexpr PictureSlot kSettings{135, 512};

std::uint32_t NewTexture(const PictureSource& pictures, PictureSlot slot, TextureImage& image) {
    GLuint name = 0;
    glGenTextures(1, &name);
    PaintPicture(pictures ? pictures(slot.id) : PictureBytes{}, slot.height, image);
    UploadTexture(name, image);
    return name;
}

}  // namespace

COpenGL::COpenGL(std::int32_t surfaceWidth, std::int32_t surfaceHeight,
                 const PictureSource& pictures)
    : context_(surfaceWidth, surfaceHeight) {
    frame_.resize(static_cast<std::size_t>(context_.Width()) * context_.Height() * 4);
    if (!context_.MakeCurrent()) return;
    InitResources(pictures);
    context_.Release();
}

COpenGL::~COpenGL() {
    if (!context_.MakeCurrent()) return;
    ReleaseResources();
    context_.Release();
}

void COpenGL::InitResources(const PictureSource& pictures) {
    LoadTextures(pictures);
    PieceList = CompilePieceModel();
    FontListBase = glGenLists(kFontListCount);
    if (FontListBase != 0) CompileOutlineFont(FontListBase, GlyphMetrics);
    FillFlagIndices(FlagIndices);
    FillFlagTexCoords(FlagTexCoords);
    SetLightingAndMaterial();
}

void COpenGL::LoadTextures(const PictureSource& pictures) {
    TextureImage image;  // one buffer for every picture
    image.bgr.reserve(static_cast<std::size_t>(kTextureWidth) * 1024 * 3);
    BoardSideTexture = NewTexture(pictures, kBoardSide, image);
    BoardTopTexture = NewTexture(pictures, kBoardTop, image);
    RedFlagTexture = NewTexture(pictures, kRedFlag, image);
    WhiteFlagTexture = NewTexture(pictures, kWhiteFlag, image);
    MedalTexture = NewTexture(pictures, kMedal, image);
    glGenTextures(static_cast<GLsizei>(BackgroundTextures.size()), BackgroundTextures.data());
    PaintPicture(pictures ? pictures(kMenu.id) : PictureBytes{}, kMenu.height, image);
    UploadTexture(BackgroundTextures[0], image);
    PaintPicture(pictures ? pictures(kSettings.id) : PictureBytes{}, kSettings.height, image);
    UploadTexture(BackgroundTextures[1], image);
}

void COpenGL::ReleaseResources() {
    const GLuint singles[] = {BoardSideTexture, BoardTopTexture, RedFlagTexture, WhiteFlagTexture,
                              MedalTexture};
    glDeleteTextures(5, singles);
    glDeleteTextures(static_cast<GLsizei>(BackgroundTextures.size()), BackgroundTextures.data());
    if (PieceList != 0) glDeleteLists(PieceList, 1);
    if (FontListBase != 0) glDeleteLists(FontListBase, kFontListCount);
}

void COpenGL::BeginFrame(const CScene* scene) {
    context_.MakeCurrent();
    const std::int32_t width = scene != nullptr ? scene->width : projection_.width;
    const std::int32_t height = scene != nullptr ? scene->height : projection_.height;
    if (width != projection_.width || height != projection_.height || projection_.width < 1) {
        projection_ = ComputeProjection(width, height);
    }
    glViewport(0, 0, projection_.width, projection_.height);
    // Each frame starts from the same state, whatever the previous frame left culled.
    glDisable(GL_CULL_FACE);
    // The clear covers the whole surface, not only the frame's corner: on llvmpipe a full
    // clear is a fast fill, while a scissored one is drawn like a quadrilateral (twice as slow).
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ApplyProjection(projection_);
}

void COpenGL::ApplyProjection(const FrameProjection& projection) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(projection.canvasLeft, projection.canvasRight, projection.canvasBottom,
               projection.canvasTop);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void COpenGL::EndFrame() {
    // Only the part of the frame that lies on the surface is read: a scene larger than the
    // surface is cut off at its top and right.
    const std::int32_t width = std::min(projection_.width, context_.Width());
    const std::int32_t height = std::min(projection_.height, context_.Height());
    if (width < 1 || height < 1) {
        context_.Release();
        return;
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, frame_.data());
    context_.Release();
    CFrameSink* sink = sink_.load();
    if (sink == nullptr) return;
    const std::ptrdiff_t rowBytes = std::ptrdiff_t{width} * 4;
    FramePixels pixels;
    pixels.topRow = frame_.data() + (height - 1) * rowBytes;
    pixels.rowStride = -rowBytes;
    pixels.width = width;
    pixels.height = height;
    sink->PresentFrame(pixels);
}

float COpenGL::GetTextWidth(const char* text) {
    float width = 0;
    if (text == nullptr) return width;
    for (const char* c = text; *c != '\0'; ++c) {
        width += GlyphMetrics[static_cast<unsigned char>(*c)].cellIncX;
    }
    return width;
}
