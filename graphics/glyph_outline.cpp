#include "graphics/glyph_outline.h"

#include <GL/glu.h>

#include <deque>
#include <memory>

namespace {

// What the tessellator callbacks work on. The points handed to gluTessVertex and those made by
// the combine callback must stay put until gluTessEndPolygon: hence the deque.
struct Tessellation {
    std::deque<std::array<double, 3>> points;
    std::vector<GlyphShape::Point>* triangles = nullptr;
    bool failed = false;
};

void GLAPIENTRY OnVertex(void* vertex, void* data) {
    auto* t = static_cast<Tessellation*>(data);
    const auto* p = static_cast<const double*>(vertex);
    t->triangles->push_back({p[0], p[1]});
}

void GLAPIENTRY OnCombine(GLdouble coords[3], void* /*neighbours*/[4], GLfloat /*weights*/[4],
                          void** out, void* data) {
    auto* t = static_cast<Tessellation*>(data);
    t->points.push_back({coords[0], coords[1], coords[2]});
    *out = t->points.back().data();
}

// Registering an edge-flag callback makes the tessellator give plain triangles only.
void GLAPIENTRY OnEdgeFlag(GLboolean /*flag*/, void* /*data*/) {}
void GLAPIENTRY OnBegin(GLenum /*type*/, void* /*data*/) {}
void GLAPIENTRY OnEnd(void* /*data*/) {}
void GLAPIENTRY OnError(GLenum /*error*/, void* data) {
    static_cast<Tessellation*>(data)->failed = true;
}

struct TessDeleter {
    void operator()(GLUtesselator* tess) const { gluDeleteTess(tess); }
};

void RegisterCallbacks(GLUtesselator* tess) {
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(OnBegin));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(OnVertex));
    gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(OnEnd));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(OnCombine));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(OnEdgeFlag));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(OnError));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    // Without a fixed normal, TrueType's clockwise outer contours would come out back-facing.
    gluTessNormal(tess, 0, 0, 1);
}

}  // namespace

bool TessellateGlyph(GlyphShape& shape) {
    shape.triangles.clear();
    if (shape.contours.empty()) return true;
    std::unique_ptr<GLUtesselator, TessDeleter> tess(gluNewTess());
    if (!tess) return false;
    RegisterCallbacks(tess.get());
    Tessellation t;
    t.triangles = &shape.triangles;
    gluTessBeginPolygon(tess.get(), &t);
    for (const auto& contour : shape.contours) {
        gluTessBeginContour(tess.get());
        for (const auto& point : contour) {
            t.points.push_back({point[0], point[1], 0});
            gluTessVertex(tess.get(), t.points.back().data(), t.points.back().data());
        }
        gluTessEndContour(tess.get());
    }
    gluTessEndPolygon(tess.get());
    if (t.failed || shape.triangles.size() % 3 != 0) shape.triangles.clear();
    return !t.failed;
}
