// The flat drawing operations on the canvas, as EndFrame draws a frame's commands. Rendering
// thread only, with the context current (see opengl.h).
#include "graphics/opengl.h"

#include <GL/gl.h>

#include <cstring>

namespace {

// Lighting and depth test off for a flat item painted over whatever lies below it.
void BeginFlatItem() {
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
}

void EndFlatItem() {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
}

// Glyphs are flattened onto the canvas with a tiny depth rather than none: a z scale of 0
// makes the matrix singular, and the lit faces then come out with ambient light only (a dark
// brown instead of gold on Mesa). 0.001 keeps them flat (0.0002 deep) and lit as intended.
constexpr float kGlyphDepthScale = 0.001f;
// Texts are the picture's top layer: a scene draws its scores after the waving corner flag,
// whose cloth stands up to about a tenth of its size nearer than the canvas. The glyphs stand
// halfway to the near end of the canvas's depth (1), in front of any cloth.
constexpr float kTextDepth = 0.5f;

}  // namespace

void COpenGL::PaintString(float x, float y, float scaleX, float scaleY, const char* text) {
    glPushMatrix();
    glTranslatef(x, y, kTextDepth);
    glScalef(scaleX, scaleY, kGlyphDepthScale);
    glListBase(FontListBase);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopMatrix();
}

void COpenGL::PaintColor(float r, float g, float b) {
    glColor4f(r, g, b, 1);
}

void COpenGL::PaintMarker(float x, float y) {
    BeginFlatItem();
    glBegin(GL_QUADS);
    glVertex2f(x - 0.01f, y);
    glVertex2f(x, y + 0.02f);
    glVertex2f(x + 0.01f, y);
    glVertex2f(x, y - 0.02f);
    glEnd();
    EndFlatItem();
}

void COpenGL::PaintFlag(float x, float y, float scale, const float* positions, const float* normals,
                        bool red) {
    glPushMatrix();
    glTranslatef(x, y, 0);
    glScalef(scale, scale, scale);
    glColor3f(1, 1, 1);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions);
    glNormalPointer(GL_FLOAT, 0, normals);
    glTexCoordPointer(2, GL_FLOAT, 0, FlagTexCoords.data());
    glDisable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, red ? RedFlagTexture : WhiteFlagTexture);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    for (const auto& strip : FlagIndices) {
        glDrawElements(GL_QUAD_STRIP, kFlagStripLength, GL_UNSIGNED_INT, strip.data());
    }
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glPopMatrix();
}

void COpenGL::PaintMedal(float x, float y, float size) {
    glDisable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, MedalTexture);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(x, y);
    glTexCoord2f(0.25f, 0);
    glVertex2f(x + size, y);
    glTexCoord2f(0.25f, 1);
    glVertex2f(x + size, y + size);
    glTexCoord2f(0, 1);
    glVertex2f(x, y + size);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void COpenGL::PaintGrid() {
    BeginFlatItem();
    glBegin(GL_LINES);
    for (int i = 0; i <= 10; ++i) {
        glVertex3f(0, 0.1f * static_cast<float>(i), 0);
        glVertex3f(1.5f, 0.1f * static_cast<float>(i), 0);
    }
    for (int i = 0; i <= 15; ++i) {
        glVertex3f(0.1f * static_cast<float>(i), 0, 0);
        glVertex3f(0.1f * static_cast<float>(i), 1, 0);
    }
    glEnd();
    EndFlatItem();
}

void COpenGL::PaintBackground(std::int32_t index) {
    BeginFlatItem();
    glBindTexture(GL_TEXTURE_2D, BackgroundTextures[static_cast<std::size_t>(index)]);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glTexCoord2f(1, 0);
    glVertex2f(1.5f, 0);
    glTexCoord2f(1, 1);
    glVertex2f(1.5f, 1);
    glTexCoord2f(0, 1);
    glVertex2f(0, 1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    EndFlatItem();
}
