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

// Paints the slot's picture into `image`, plain where it cannot be decoded (then noted in
// `undecoded`).
void PaintSlot(const PictureSource& pictures, PictureSlot slot, TextureImage& image,
               std::vector<int>& undecoded) {
    if (!PaintPicture(pictures ? pictures(slot.id) : PictureBytes{}, slot.height, image)) {
        undecoded.push_back(slot.id);
    }
}

std::uint32_t NewTexture(const PictureSource& pictures, PictureSlot slot, TextureImage& image,
                         std::vector<int>& undecoded) {
    GLuint name = 0;
    glGenTextures(1, &name);
    PaintSlot(pictures, slot, image, undecoded);
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
    hasFont_ = FontListBase != 0 && CompileOutlineFont(FontListBase, GlyphMetrics);
    FillFlagIndices(FlagIndices);
    FillFlagTexCoords(FlagTexCoords);
    SetLightingAndMaterial();
    readsTopFirst_ = HasExtension("GL_MESA_pack_invert");
}

void COpenGL::LoadTextures(const PictureSource& pictures) {
    TextureImage image;  // one buffer for every picture
    image.bgr.reserve(static_cast<std::size_t>(kTextureWidth) * 1024 * 3);
    std::vector<int>& undecoded = undecodedPictures_;
    BoardSideTexture = NewTexture(pictures, kBoardSide, image, undecoded);
    BoardTopTexture = NewTexture(pictures, kBoardTop, image, undecoded);
    RedFlagTexture = NewTexture(pictures, kRedFlag, image, undecoded);
    WhiteFlagTexture = NewTexture(pictures, kWhiteFlag, image, undecoded);
    MedalTexture = NewTexture(pictures, kMedal, image, undecoded);
    glGenTextures(static_cast<GLsizei>(BackgroundTextures.size()), BackgroundTextures.data());
    PaintSlot(pictures, kMenu, image, undecoded);
    UploadTexture(BackgroundTextures[0], image);
    PaintSlot(pictures, kSettings, image, undecoded);
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
