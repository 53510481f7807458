#include "graphics/outline_font.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>

#include <cmath>

namespace {

std::string FindFontFile(const std::string& pattern, int& index) {
    std::string file;
    FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
    if (wanted == nullptr) return file;
    FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
    FcDefaultSubstitute(wanted);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, wanted, &result);
    FcChar8* path = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        file = reinterpret_cast<const char*>(path);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    }
    if (match != nullptr) FcPatternDestroy(match);
    FcPatternDestroy(wanted);
    return file;
}

// The face's glyphs are drawn at this share of their width. A fixed-pitch face advances 0.6 em
// a character, which makes the longest result line ("White army won the battle", 25 characters
// at 0.1 per em from u = 0.1) run 0.1 past the right edge of a 3:2 window; condensed by 0.8 it
// ends at u = 1.3, and every text keeps its fixed pitch and its alignment.
constexpr double kWidthScale = 0.8;

// Collects the outline's contours in ems, flattening curves to within about one font unit.
struct OutlineWalk {
    double unitsPerEm = 2048;
    std::vector<std::vector<GlyphShape::Point>> contours;
    GlyphShape::Point last{};

    GlyphShape::Point Em(const FT_Vector* v) const {
        return {static_cast<double>(v->x) / unitsPerEm * kWidthScale,
                static_cast<double>(v->y) / unitsPerEm};
    }
    void Add(GlyphShape::Point p) {
        contours.back().push_back(p);
        last = p;
    }
    // Segments for a curve whose control points bend by `bend` ems: the error of n chords of a
    // quadratic is bend / (8 n^2), kept under one unit.
    int Segments(double bend) const {
        const double n = std::ceil(std::sqrt(bend * unitsPerEm / 8));
        return std::clamp(static_cast<int>(n), 1, 16);
    }
};

int MoveTo(const FT_Vector* to, void* user) {
    auto* walk = static_cast<OutlineWalk*>(user);
    walk->contours.emplace_back();
    walk->Add(walk->Em(to));
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    auto* walk = static_cast<OutlineWalk*>(user);
    walk->Add(walk->Em(to));
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* walk = static_cast<OutlineWalk*>(user);
    const auto p0 = walk->last;
    const auto p1 = walk->Em(control);
    const auto p2 = walk->Em(to);
    const double bend = std::hypot(p0[0] - 2 * p1[0] + p2[0], p0[1] - 2 * p1[1] + p2[1]);
    const int n = walk->Segments(bend);
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n;
        const double a = (1 - t) * (1 - t), b = 2 * (1 - t) * t, c = t * t;
        walk->Add({a * p0[0] + b * p1[0] + c * p2[0], a * p0[1] + b * p1[1] + c * p2[1]});
    }
    return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* walk = static_cast<OutlineWalk*>(user);
    const auto p0 = walk->last;
    const auto p1 = walk->Em(c1);
    const auto p2 = walk->Em(c2);
    const auto p3 = walk->Em(to);
    const double bend = std::hypot(p0[0] - p1[0] - p2[0] + p3[0], p0[1] - p1[1] - p2[1] + p3[1]);
    const int n = walk->Segments(2 * bend);
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n, u = 1 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        walk->Add({a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0],
                   a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]});
    }
    return 0;
}

// FreeType repeats a contour's start at its end; degenerate contours are dropped.
void TidyContours(std::vector<std::vector<GlyphShape::Point>>& contours) {
    for (auto& contour : contours) {
        if (contour.size() > 1 && contour.front() == contour.back()) contour.pop_back();
    }
    std::erase_if(contours, [](const auto& contour) { return contour.size() < 3; });
}

}  // namespace

OutlineFont::OutlineFont(const std::string& pattern) {
    int index = 0;
    file_ = FindFontFile(pattern, index);
    if (file_.empty()) return;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return;
    library_ = library;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file_.c_str(), index, &face) != 0) return;
    if (!FT_IS_SCALABLE(face)) {
        FT_Done_Face(face);
        return;
    }
    face_ = face;
}

OutlineFont::~OutlineFont() {
    if (face_ != nullptr) FT_Done_Face(static_cast<FT_Face>(face_));
    if (library_ != nullptr) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

GlyphShape OutlineFont::Shape(int code, GlyphMetric& metric) {
    GlyphShape shape;
    metric = {};
    if (face_ == nullptr) return shape;
    auto face = static_cast<FT_Face>(face_);
    const double em = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    // A code without a glyph loads glyph 0 for its advance but draws nothing.
    const FT_UInt glyph = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) !=
        0) {
        return shape;
    }
    const FT_Glyph_Metrics& m = face->glyph->metrics;
    metric.cellIncX = static_cast<float>(static_cast<double>(m.horiAdvance) / em * kWidthScale);
    if (glyph == 0) return shape;
    metric.blackBoxX = static_cast<float>(static_cast<double>(m.width) / em * kWidthScale);
    metric.blackBoxY = static_cast<float>(static_cast<double>(m.height) / em);
    metric.originX = static_cast<float>(static_cast<double>(m.horiBearingX) / em * kWidthScale);
    metric.originY = static_cast<float>(static_cast<double>(m.horiBearingY) / em);
    if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return shape;
    const FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    OutlineWalk walk;
    walk.unitsPerEm = em;
    FT_Outline_Decompose(&face->glyph->outline, &funcs, &walk);
    TidyContours(walk.contours);
    shape.contours = std::move(walk.contours);
    shape.contoursClockwise =
        FT_Outline_Get_Orientation(&face->glyph->outline) == FT_ORIENTATION_TRUETYPE;
    TessellateGlyph(shape);
    return shape;
}
