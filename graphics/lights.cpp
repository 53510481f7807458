#include "graphics/lights.h"

#include <GL/gl.h>

void SetLightingAndMaterial() {
    const GLfloat ambient[] = {0.2f, 0.2f, 0.2f, 0.2f};
    const GLfloat diffuse[] = {0.8f, 0.8f, 0.8f, 0.8f};
    const GLfloat specular[] = {0.9f, 0.9f, 0.9f, 0.9f};
    const GLfloat direction[] = {-3, -4, 5, 0};  // w = 0: a light at infinity
    const GLfloat emission[] = {0, 0, 0, 0};
    // Opaque: the drawing surface keeps an alpha channel (it reads back fastest so), and every
    // frame must come out with alpha 1 for the view (see the shadows in opengl_board.cpp).
    glClearColor(0, 0, 0.3f, 1);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_DEPTH_TEST);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 120);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
    glEnable(GL_NORMALIZE);
    glCullFace(GL_FRONT);
}
