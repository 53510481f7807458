#pragma once

#include <array>
#include <vector>

/// A glyph's outline flattened to straight edges, in ems: closed contours (the closing point is
/// not repeated), and the triangles that fill it (three points per triangle, counter-clockwise
/// seen from +z).
struct GlyphShape {
    using Point = std::array<double, 2>;
    std::vector<std::vector<Point>> contours;
    std::vector<Point> triangles;
    bool contoursClockwise = true;  ///< TrueType's outer contours run clockwise (fill on the right)
};

/// Fills `shape.triangles` from `shape.contours` with the GLU tessellator (non-zero winding).
/// Needs no rendering context. Returns false if the tessellator refused the outline.
bool TessellateGlyph(GlyphShape& shape);
