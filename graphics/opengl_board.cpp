// The three-dimensional board with its pieces, shadows and aim arrows, as EndFrame draws it.
// Rendering thread only, with the context current (see opengl.h).
#include "graphics/opengl.h"
#include "graphics/shadow.h"

#define GL_GLEXT_PROTOTYPES  // glBlendFuncSeparate, OpenGL 1.4
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

namespace {

// One side of the board: a quadrilateral 0.1 deep with its normal, corners and a band of the
// wood picture.
struct SideFace {
    float normal[3];
    float corner[4][3];
    float texCoord[4][2];
};

constexpr SideFace kSides[] = {
    {{0, -1, 0},
     {{0, 0, 0}, {0, 0, -0.1f}, {1, 0, -0.1f}, {1, 0, 0}},
     {{0, 0}, {0, 0.3f}, {1, 0.3f}, {1, 0}}},
    {{0, 1, 0},
     {{1, 1, 0}, {1, 1, -0.1f}, {0, 1, -0.1f}, {0, 1, 0}},
     {{0, 0.175f}, {0, 0.475f}, {1, 0.475f}, {1, 0.175f}}},
    {{-1, 0, 0},
     {{0, 1, 0}, {0, 1, -0.1f}, {0, 0, -0.1f}, {0, 0, 0}},
     {{0, 0.35f}, {0, 0.65f}, {1, 0.65f}, {1, 0.35f}}},
    {{1, 0, 0},
     {{1, 0, 0}, {1, 0, -0.1f}, {1, 1, -0.1f}, {1, 1, 0}},
     {{0, 0.525f}, {0, 0.825f}, {1, 0.825f}, {1, 0.525f}}},
};

void PieceColour(const Piece& piece) {
    if (piece.side == kRed) {
        glColor3f(1.0f, 0.5f, 0.5f);
    } else {
        glColor3f(0.9f, 0.9f, 0.5f);
    }
}

}  // namespace

void COpenGL::SetBoardView(const double camera[2]) const {
    // All of the view's turning lives in the projection, so the lights stay fixed to the board.
    gluPerspective(projection_.fieldOfView, projection_.aspect, 0.1, 10.0);
    glTranslated(0, 0, -1.5);
    glRotatef(static_cast<float>(-camera[1]), 1, 0, 0);
    glRotatef(static_cast<float>(camera[0]), 0, 0, 1);
}

void COpenGL::DrawPiece(const Piece& piece) const {
    PieceColour(piece);
    glPushMatrix();
    glTranslated(piece.x, piece.y, 0);
    glCallList(PieceList);
    glPopMatrix();
}

void COpenGL::DrawBoardSides() const {
    glColor4f(1, 1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, BoardSideTexture);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBegin(GL_QUADS);
    for (const SideFace& side : kSides) {
        glNormal3fv(side.normal);
        for (int k = 0; k < 4; ++k) {
            glTexCoord2fv(side.texCoord[k]);
            glVertex3fv(side.corner[k]);
        }
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void COpenGL::DrawBoardTop() const {
    // Painted without the depth test: over the sides whatever their depth, and writing no
    // depth, so nothing drawn later is ever hidden by it.
    glDisable(GL_DEPTH_TEST);
    glBindTexture(GL_TEXTURE_2D, BoardTopTexture);
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glTexCoord2f(0, 0);
    glVertex3f(0, 0, 0);
    glTexCoord2f(1, 0);
    glVertex3f(1, 0, 0);
    glTexCoord2f(1, 1);
    glVertex3f(1, 1, 0);
    glTexCoord2f(0, 1);
    glVertex3f(0, 1, 0);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
}

void COpenGL::DrawShadows(const PieceTable& pieces) const {
    glEnable(GL_BLEND);
    // The colour darkens by the shadow's alpha; the surface's own alpha stays 1 (opaque).
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    glDisable(GL_LIGHTING);
    glColor4f(0, 0, 0, 0.4f);
    for (const Piece& piece : pieces) {
        if (piece.alive == 0) continue;
        const ShadowPolygon polygon = MakeShadowPolygon(piece.x, piece.y);
        glBegin(GL_POLYGON);
        for (const auto& vertex : polygon)
            glVertex3d(vertex[0], vertex[1], 0);
        glEnd();
    }
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
}

void COpenGL::DrawAimArrows(const PieceTable& pieces) const {
    glColor3f(1.0f, 0.1f, 0.0f);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    for (const Piece& piece : pieces) {
        if (piece.alive == 0 || piece.selected == 0) continue;
        glPushMatrix();
        glTranslated(piece.x, piece.y, 0);
        // Turned by the aim, the arrow points behind the piece, against the flick.
        glRotatef(static_cast<float>(piece.aim), 0, 0, 1);
        glBegin(GL_TRIANGLE_FAN);
        glVertex3f(0, -0.049f, 0.0288f);
        glVertex3f(-0.0098f, -0.147f, 0.0224f);
        glVertex3f(0.0098f, -0.147f, 0.0224f);
        glVertex3f(0, -0.1372f, 0.0096f);
        glVertex3f(-0.0098f, -0.147f, 0.0224f);
        glEnd();
        glPopMatrix();
    }
}

void COpenGL::PaintBoard(const PieceTable& pieces, const double camera[2]) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    SetBoardView(camera);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(-0.5, -0.5, 0);  // the board's centre at the origin
    DrawBoardSides();
    DrawBoardTop();
    for (const Piece& piece : pieces) {
        if (piece.alive != 0) DrawPiece(piece);
    }
    DrawShadows(pieces);
    DrawAimArrows(pieces);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
