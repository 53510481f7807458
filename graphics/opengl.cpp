// Construction and release of the renderer, and the text widths. Threads: see opengl.h.
#include "graphics/opengl.h"

#include "graphics/lights.h"
#include "graphics/piece_model.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <algorithm>

#include <cstring>

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

bool HasExtension(const char* name) {
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions == nullptr) return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at != nullptr;
         at = std::strstr(at + 1, name)) {
        const bool starts = at == extensions || at[-1] == ' ';
        if (starts && (at[length] == ' ' || at[length] == '\0')) return true;
    }
    return false;
}

}  // namespace

COpenGL::COpenGL(std::int32_t surfaceWidth, std::int32_t surfaceHeight,
                 const PictureSource& pictures)
    : context_(surfaceWidth, surfaceHeight) {
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
    readsTopFirst_ = HasExtension("GL_MESA_pack_invert");
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

float COpenGL::GetTextWidth(const char* text) {
    float width = 0;
    if (text == nullptr) return width;
    for (const char* c = text; *c != '\0'; ++c) {
        width += GlyphMetrics[static_cast<unsigned char>(*c)].cellIncX;
    }
    return width;
}
