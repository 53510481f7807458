#include "graphics/piece_model.h"

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr double kRadius = 0.049;
constexpr double kHeight = 0.032;
constexpr double kSegmentAngle = 0.2991993003418851;  // 2 pi / 21
constexpr int kSegmentCount = 21;
constexpr double kGrooveSlope = 0.4749736834815167;  // sqrt(0.2256): (q, 0.88) is a unit vector

struct Direction {
    double c;
    double s;
};

// One ring of the top: how far out (fraction of the radius), how high, and how its normal
// leans (0 flat, -1 towards the axis, +1 away from it).
struct TopRing {
    double radiusFactor;
    float height;
    int lean;
};

constexpr TopRing kTopRings[] = {
    {1.0, 0.032f, 0},   {0.9, 0.032f, 0},  {0.85, 0.0305f, -1}, {0.79, 0.029f, 0},
    {0.73, 0.0305f, 1}, {0.68, 0.032f, 0}, {0.6, 0.0305f, -1},  {0.5, 0.029f, 0},
    {0.4, 0.0305f, 1},  {0.0, 0.032f, 0},
};

// A corner of the model with the normal in force when it is given.
struct Corner {
    std::array<double, 3> normal;
    std::array<double, 3> position;
};

Corner At(std::array<double, 3> normal, double factor, Direction d, float z) {
    return {normal, {factor * kRadius * d.c, factor * kRadius * d.s, z}};
}

// Everything is given as triangles: Mesa 22.3 crashes when a display list that mixes
// quadrilaterals and quad strips is called in selection mode. Each quadrilateral (a, b, c, d)
// becomes (a, b, c) and (a, c, d); every face of the model is planar, so the shape is the same.
void AddQuad(std::vector<Corner>& model, const Corner& a, const Corner& b, const Corner& c,
             const Corner& d) {
    model.insert(model.end(), {a, b, c, a, c, d});
}

void AddRim(std::vector<Corner>& model, Direction d0, Direction d1) {
    const std::array<double, 3> n0{d0.c, d0.s, 0};
    const std::array<double, 3> n1{d1.c, d1.s, 0};
    const auto top = static_cast<float>(kHeight);
    AddQuad(model, At(n0, 1, d0, top), At(n0, 1, d0, 0), At(n1, 1, d1, 0), At(n1, 1, d1, top));
}

std::array<double, 3> RingNormal(const TopRing& ring, Direction d) {
    if (ring.lean == 0) return {0, 0, 1};
    const double lean = ring.lean * kGrooveSlope;
    return {lean * d.c, lean * d.s, 0.88};
}

// The top runs inwards ring by ring; each step between two rings is one quadrilateral of the
// strip (outer a0, outer a1, inner a1, inner a0).
void AddTop(std::vector<Corner>& model, Direction d0, Direction d1) {
    for (std::size_t k = 0; k + 1 < std::size(kTopRings); ++k) {
        const TopRing& outer = kTopRings[k];
        const TopRing& inner = kTopRings[k + 1];
        AddQuad(model, At(RingNormal(outer, d0), outer.radiusFactor, d0, outer.height),
                At(RingNormal(outer, d1), outer.radiusFactor, d1, outer.height),
                At(RingNormal(inner, d1), inner.radiusFactor, d1, inner.height),
                At(RingNormal(inner, d0), inner.radiusFactor, d0, inner.height));
    }
}

std::vector<Corner> BuildModel() {
    std::vector<Corner> model;
    Direction d0{1, 0};
    double angle = 0;
    for (int segment = 0; segment < kSegmentCount; ++segment) {
        angle += kSegmentAngle;
        // The last segment closes at exactly angle 0, so the rim has no seam.
        const bool last = segment == kSegmentCount - 1;
        const Direction d1 = last ? Direction{1, 0} : Direction{std::cos(angle), std::sin(angle)};
        AddRim(model, d0, d1);
        AddTop(model, d0, d1);
        d0 = d1;
    }
    return model;
}

}  // namespace

std::uint32_t CompilePieceModel() {
    const GLuint list = glGenLists(1);
    if (list == 0) return 0;
    const std::vector<Corner> model = BuildModel();
    glNewList(list, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    for (const Corner& corner : model) {
        glNormal3dv(corner.normal.data());
        glVertex3dv(corner.position.data());
    }
    glEnd();
    glEndList();
    return list;
}
