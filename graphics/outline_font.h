#pragma once

#include "graphics/glyph_outline.h"

#include <array>
#include <cstdint>
#include <string>

/// Measures of one glyph in ems; only the cell increment x is used for drawing.
struct GlyphMetric {
    float blackBoxX = 0;
    float blackBoxY = 0;
    float originX = 0;
    float originY = 0;
    float cellIncX = 0;  ///< how far the glyph moves the origin on
    float cellIncY = 0;
};
using GlyphMetricsTable = std::array<GlyphMetric, 256>;

inline constexpr int kFontListCount = 256;
inline constexpr float kGlyphDepth = 0.2f;  ///< extrusion along -z, ems

/// The game's fixed-pitch heavy TrueType face, found through fontconfig and read with
/// FreeType. Codes are taken as Latin-1 characters; a code without a glyph is empty and still
/// advances by the face's advance.
class OutlineFont {
public:
    /// Opens the face that fontconfig picks for `pattern`; IsOpen tells whether one was found.
    explicit OutlineFont(const std::string& pattern = "monospace:weight=black");
    OutlineFont(const OutlineFont&) = delete;
    OutlineFont& operator=(const OutlineFont&) = delete;
    ~OutlineFont();

    bool IsOpen() const { return face_ != nullptr; }
    /// File of the face in use, for diagnostics.
    const std::string& FileName() const { return file_; }
    /// The flattened, tessellated outline of character `code` (0 to 255) and its measures.
    GlyphShape Shape(int code, GlyphMetric& metric);

private:
    void* library_ = nullptr;  // FT_Library
    void* face_ = nullptr;     // FT_Face
    std::string file_;
};

/// Compiles lists listBase + 0 to 254 with the extruded glyphs of codes 0 to 254 and leaves
/// list 255 empty; each list draws its glyph (front at z = 0, back at z = -0.2) and moves the
/// origin on by the glyph's cell increment. Fills `metrics` (record 255 stays zero). A missing
/// font leaves every list empty and every metric zero, and gives false. The context must be
/// current.
bool CompileOutlineFont(std::uint32_t listBase, GlyphMetricsTable& metrics);
