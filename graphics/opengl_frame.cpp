// A frame of the renderer: its drawing operations are recorded between BeginFrame and EndFrame
// and drawn by EndFrame, only where they differ from the frame before, then read back into the
// sink's memory. Threads: see opengl.h.
#include "graphics/opengl.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>

void COpenGL::SetFrameSink(CFrameSink* sink) {
    std::lock_guard lock(sinkMutex_);
    sink_ = sink;
    ++sinkChanges_;
}

void COpenGL::BeginFrame(std::int32_t width, std::int32_t height) {
    if (width != projection_.width || height != projection_.height || projection_.width < 1) {
        projection_ = ComputeProjection(width, height);
    }
    commands_.Clear();
}

void COpenGL::DrawString(float x, float y, float scaleX, float scaleY, const char* text) {
    if (text != nullptr && FontListBase != 0) commands_.AddString(x, y, scaleX, scaleY, text);
}

void COpenGL::SetColor(float r, float g, float b) {
    commands_.AddColor(r, g, b);
}

void COpenGL::DrawMarker(float x, float y) {
    commands_.AddMarker(x, y);
}

void COpenGL::DrawFlag(float x, float y, float scale, const float* positions, const float* normals,
                       bool red) {
    if (positions != nullptr && normals != nullptr) {
        commands_.AddFlag(x, y, scale, positions, normals, red);
    }
}

void COpenGL::DrawMedal(float x, float y, float size) {
    commands_.AddMedal(x, y, size);
}

void COpenGL::DrawGrid() {
    commands_.AddGrid();
}

void COpenGL::DrawBackground(std::int32_t index) {
    // Only the menu (0) and settings (1) pictures exist; any other index draws nothing rather
    // than a texture without an image, or a name read from beyond the table.
    if (index == 0 || index == 1) commands_.AddBackground(index);
}

void COpenGL::DrawBoard(const PieceTable& pieces, const double camera[2]) {
    if (camera != nullptr) commands_.AddBoard(pieces, camera);
}

void COpenGL::EndFrame() {
    CFrameSink* sink;
    std::uint32_t sinkChange;
    {
        std::lock_guard lock(sinkMutex_);
        sink = sink_;
        sinkChange = sinkChanges_;
    }
    // Without a sink nothing is drawn, and the surface keeps showing the frame drawn before.
    if (sink == nullptr || projection_.width < 1 || !context_.MakeCurrent()) return;
    context_.Resize(projection_.width, projection_.height);
    // Only the part of the frame that lies on the surface is drawn and read: a scene larger
    // than the largest surface is cut off at its top and right.
    const PixelBox surface{0, 0, std::min(projection_.width, context_.Width()),
                           std::min(projection_.height, context_.Height())};
    // The current colour carries over from frame to frame (and from picks): a frame drawn in
    // part must start from the colour the frame before started from.
    std::array<float, 4> startColour{};
    glGetFloatv(GL_CURRENT_COLOR, startColour.data());
    const bool sameStart = startColour == drawnStartColour_;
    lastDrawn_ = sameStart ? PixelsToDraw(surface) : surface;
    DrawCommands(lastDrawn_, surface);
    drawnStartColour_ = startColour;
    drawn_.Swap(commands_);
    drawnProjection_ = projection_;
    drawnSurface_ = surface;
    hasDrawn_ = true;
    drawWhole_ = false;
    FramePixels pixels = ReadFrame(*sink, surface.x1, surface.y1);
    context_.Release();
    if (sinkChange == lastSinkChange_ && lastDrawn_.Area() < surface.Area()) {
        // The frame is read whole, but a view needs to show only the part drawn again.
        pixels.changed = FrameRect{lastDrawn_.x0, surface.y1 - lastDrawn_.y1,
                                   lastDrawn_.x1 - lastDrawn_.x0, lastDrawn_.y1 - lastDrawn_.y0};
    }
    lastSinkChange_ = sinkChange;
    sink->PresentFrame(pixels);
}

PixelBox COpenGL::PixelsToDraw(const PixelBox& surface) const {
    const bool sameSurface = hasDrawn_ && !drawWhole_ && drawnSurface_.x1 == surface.x1 &&
                             drawnSurface_.y1 == surface.y1 &&
                             drawnProjection_.width == projection_.width &&
                             drawnProjection_.height == projection_.height;
    if (!sameSurface) return surface;
    const PixelBox changed =
        ChangedPixels(drawn_, commands_, projection_, GlyphMetrics).Within(surface);
    // Most of the frame changed: one fast clear of it all costs less than a scissored one.
    return changed.Area() * 4 > surface.Area() * 3 ? surface : changed;
}

void COpenGL::DrawCommands(const PixelBox& box, const PixelBox& surface) {
    // Nothing changed: the surface still holds this very picture.
    if (box.IsEmpty()) return;
    const bool isPart = box.Area() < surface.Area();
    glViewport(0, 0, projection_.width, projection_.height);
    // Each frame starts from the same state, whatever the previous frame left culled.
    glDisable(GL_CULL_FACE);
    // Outside the box every pixel meets the same commands as in the frame before, so it keeps
    // its colour and its depth; inside, the frame is cleared and drawn as a whole frame is.
    if (isPart) {
        glScissor(box.x0, box.y0, box.x1 - box.x0, box.y1 - box.y0);
        glEnable(GL_SCISSOR_TEST);
    }
    glClear(BackgroundCoversAll() ? GL_DEPTH_BUFFER_BIT
                                  : GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ApplyProjection(projection_);
    for (const FrameCommands::Command& command : commands_.Commands())
        Paint(command);
    if (isPart) glDisable(GL_SCISSOR_TEST);
}

bool COpenGL::BackgroundCoversAll() const {
    // A picture drawn first over the design rectangle, in a frame that is exactly that
    // rectangle, sets every pixel's colour whatever it was: no need to clear it before.
    const auto& commands = commands_.Commands();
    const FrameProjection& p = projection_;
    return !commands.empty() && commands.front().op == FrameCommands::Op::kBackground &&
           p.canvasLeft == 0 && p.canvasRight == 1.5 && p.canvasBottom == 0 && p.canvasTop == 1;
}

void COpenGL::Paint(const FrameCommands::Command& c) {
    const auto [a, b, d, e] = c.numbers;
    switch (c.op) {
        case FrameCommands::Op::kString:
            return PaintString(a, b, d, e, commands_.Text(c));
        case FrameCommands::Op::kColor:
            return PaintColor(a, b, d);
        case FrameCommands::Op::kMarker:
            return PaintMarker(a, b);
        case FrameCommands::Op::kFlag:
            return PaintFlag(a, b, d, commands_.FlagPositions(c), commands_.FlagNormals(c),
                             c.index == 1);
        case FrameCommands::Op::kMedal:
            return PaintMedal(a, b, d);
        case FrameCommands::Op::kGrid:
            return PaintGrid();
        case FrameCommands::Op::kBackground:
            return PaintBackground(c.index);
        case FrameCommands::Op::kBoard: {
            const PieceTable pieces = commands_.Pieces(c);
            const std::array<double, 2> camera = commands_.Camera(c);
            return PaintBoard(pieces, camera.data());
        }
    }
}

void COpenGL::ApplyProjection(const FrameProjection& projection) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(projection.canvasLeft, projection.canvasRight, projection.canvasBottom,
               projection.canvasTop);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

FramePixels COpenGL::ReadFrame(CFrameSink& sink, std::int32_t width, std::int32_t height) {
    FramePixels pixels;
    pixels.width = width;
    pixels.height = height;
    const std::ptrdiff_t rowBytes = std::ptrdiff_t{width} * 4;
    const FrameMemory lent = readsTopFirst_ ? sink.LendFrameMemory(width, height) : FrameMemory{};
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    if (lent.topRow != nullptr && lent.rowStride >= rowBytes && lent.rowStride % 4 == 0) {
        // Top row first, straight into the sink's memory: no copy and no turning over after.
        glPixelStorei(GL_PACK_ROW_LENGTH, static_cast<GLint>(lent.rowStride / 4));
        glPixelStorei(GL_PACK_INVERT_MESA, GL_TRUE);
        glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, lent.topRow);
        glPixelStorei(GL_PACK_INVERT_MESA, GL_FALSE);
        pixels.topRow = lent.topRow;
        pixels.rowStride = lent.rowStride;
        return pixels;
    }
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    readBack_.resize(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height));
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, readBack_.data());
    pixels.topRow = readBack_.data() + (height - 1) * rowBytes;
    pixels.rowStride = -rowBytes;
    return pixels;
}
