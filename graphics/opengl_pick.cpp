// Picking the piece under a pixel. User-interface thread only, under the render lock (see
// opengl.h).
#include "graphics/opengl.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

// Each hit record is four words: name count (always 1), minimum depth, maximum depth, name.
// The piece whose far side is nearest wins; equal depths keep the earlier record.
std::int32_t NearestHit(const std::uint32_t* buffer, GLint hits) {
    if (hits <= 0) return -1;
    const std::uint32_t* best = buffer;
    for (GLint k = 1; k < hits; ++k) {
        const std::uint32_t* record = buffer + 4 * k;
        if (record[2] < best[2]) best = record;
    }
    return static_cast<std::int32_t>(best[3]);
}

}  // namespace

std::int32_t COpenGL::PickPiece(const PieceTable& pieces, const double camera[2], std::int32_t x,
                                std::int32_t y) {
    // Before the first frame there is no view to pick in.
    if (camera == nullptr || projection_.width < 1 || !context_.MakeCurrent()) return -1;
    glViewport(0, 0, projection_.width, projection_.height);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glSelectBuffer(static_cast<GLsizei>(selectBuffer_.size()), selectBuffer_.data());
    glRenderMode(GL_SELECT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPickMatrix(x, y, 1, 1, viewport);
    SetBoardView(camera);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(-0.5, -0.5, 0);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glInitNames();
    glPushName(~GLuint{0});
    for (int i = 0; i < kPieceCount; ++i) {
        glLoadName(static_cast<GLuint>(i));
        if (pieces[i].alive != 0) DrawPiece(pieces[i]);
    }
    glFlush();
    const GLint hits = glRenderMode(GL_RENDER);  // negative if the buffer overflowed
    context_.Release();
    return NearestHit(selectBuffer_.data(), hits);
}
