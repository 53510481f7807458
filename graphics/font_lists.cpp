#include "graphics/outline_font.h"

#include <GL/gl.h>

namespace {

void FrontAndBack(const GlyphShape& shape) {
    glBegin(GL_TRIANGLES);
    glNormal3f(0, 0, 1);
    for (const auto& p : shape.triangles)
        glVertex3d(p[0], p[1], 0);
    // The back face is the front turned over: same triangles, opposite order.
    glNormal3f(0, 0, -1);
    for (auto p = shape.triangles.rbegin(); p != shape.triangles.rend(); ++p) {
        glVertex3d((*p)[0], (*p)[1], -kGlyphDepth);
    }
    glEnd();
}

// The walls between front and back, each edge one quadrilateral facing away from the filled
// side of its contour.
void Walls(const GlyphShape& shape) {
    glBegin(GL_QUADS);
    for (const auto& contour : shape.contours) {
        for (std::size_t i = 0; i < contour.size(); ++i) {
            auto a = contour[i];
            auto b = contour[(i + 1) % contour.size()];
            // Walk every edge with the fill on its left, so that the outside is on its right.
            if (shape.contoursClockwise) std::swap(a, b);
            glNormal3d(b[1] - a[1], a[0] - b[0], 0);
            glVertex3d(a[0], a[1], 0);
            glVertex3d(a[0], a[1], -kGlyphDepth);
            glVertex3d(b[0], b[1], -kGlyphDepth);
            glVertex3d(b[0], b[1], 0);
        }
    }
    glEnd();
}

}  // namespace

bool CompileOutlineFont(std::uint32_t listBase, GlyphMetricsTable& metrics) {
    metrics = {};
    OutlineFont font;
    for (int code = 0; code < kFontListCount; ++code) {
        glNewList(listBase + static_cast<GLuint>(code), GL_COMPILE);
        // List 255 stays empty: that code neither draws nor advances.
        if (code < kFontListCount - 1 && font.IsOpen()) {
            const GlyphShape shape = font.Shape(code, metrics[code]);
            if (!shape.triangles.empty()) FrontAndBack(shape);
            if (!shape.contours.empty()) Walls(shape);
            glTranslatef(metrics[code].cellIncX, 0, 0);
        }
        glEndList();
    }
    return font.IsOpen();
}
