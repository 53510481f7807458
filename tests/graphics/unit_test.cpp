// Tables and geometry of the renderer that need no rendering context.
#include "graphics/flag_mesh.h"
#include "graphics/glyph_outline.h"
#include "graphics/projection.h"
#include "graphics/shadow.h"
#include "graphics/textures.h"
#include "tests/graphics/render_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

TEST(FlagMesh, StripsJoinNeighbouringRows) {
    // Strip 0 begins 0, 13, 1, 14 and strip 18 ends 246, 259; every strip pairs row k with k + 1.
    FlagIndexTable indices{};
    FillFlagIndices(indices);
    EXPECT_EQ(indices[0][0], 0u);
    EXPECT_EQ(indices[0][1], 13u);
    EXPECT_EQ(indices[0][2], 1u);
    EXPECT_EQ(indices[0][3], 14u);
    EXPECT_EQ(indices[18][24], 246u);
    EXPECT_EQ(indices[18][25], 259u);
    for (int k = 0; k < kFlagStripCount; ++k) {
        for (int j = 0; j < kFlagColumns; ++j) {
            EXPECT_EQ(indices[k][2 * j + 1] - indices[k][2 * j], 13u);
            EXPECT_EQ(indices[k][2 * j], static_cast<std::uint32_t>(k * 13 + j));
        }
    }
}

TEST(FlagMesh, TextureRunsAlongRowsAndAcrossColumns) {
    // Point 0 is (0, 0), point 12 is (0, 1), point 247 is (1, 0), point 259 is (1, 1).
    FlagTexCoordTable coords{};
    FillFlagTexCoords(coords);
    EXPECT_EQ(coords[0], 0.0f);
    EXPECT_EQ(coords[1], 0.0f);
    EXPECT_EQ(coords[24], 0.0f);
    EXPECT_EQ(coords[25], 1.0f);
    EXPECT_EQ(coords[494], 1.0f);
    EXPECT_EQ(coords[495], 0.0f);
    EXPECT_EQ(coords[518], 1.0f);
    EXPECT_EQ(coords[519], 1.0f);
    EXPECT_EQ(coords[2 * 14], static_cast<float>(1.0 / 19));
    EXPECT_EQ(coords[2 * 14 + 1], static_cast<float>(1.0 / 12));
}

TEST(Projection, ThreeToTwoShowsTheDesignRectangle) {
    // 1500 x 1000: canvas 0 to 1.5 by 0 to 1, 47 degrees.
    const FrameProjection p = ComputeProjection(1500, 1000);
    EXPECT_EQ(p.canvasLeft, 0);
    EXPECT_EQ(p.canvasRight, 1.5);
    EXPECT_EQ(p.canvasBottom, 0);
    EXPECT_EQ(p.canvasTop, 1);
    EXPECT_EQ(p.fieldOfView, 47);
}

TEST(Projection, WideWindowWidensLeftAndRight) {
    // 2000 x 1000: canvas -0.25 to 1.75 by 0 to 1, 47 degrees.
    const FrameProjection p = ComputeProjection(2000, 1000);
    EXPECT_EQ(p.canvasLeft, -0.25);
    EXPECT_EQ(p.canvasRight, 1.75);
    EXPECT_EQ(p.canvasBottom, 0);
    EXPECT_EQ(p.canvasTop, 1);
    EXPECT_EQ(p.fieldOfView, 47);
    EXPECT_EQ(p.aspect, 2);
}

TEST(Projection, TallWindowWidensUpAndDownAndSeesMore) {
    // 1000 x 1000: canvas 0 to 1.5 by -0.25 to 1.25, field of view 2 atan(tan 23.5 x 1.5).
    const FrameProjection p = ComputeProjection(1000, 1000);
    EXPECT_EQ(p.canvasLeft, 0);
    EXPECT_EQ(p.canvasRight, 1.5);
    EXPECT_EQ(p.canvasBottom, -0.25);
    EXPECT_EQ(p.canvasTop, 1.25);
    EXPECT_NEAR(p.fieldOfView, 66.23, 0.01);
    EXPECT_DOUBLE_EQ(p.fieldOfView, 2 * std::atan(std::tan(23.5 * std::numbers::pi / 180) * 1.5) *
                                        180 / std::numbers::pi);
}

TEST(Projection, EmptyOrNegativeSizesCountAsOnePixel) {
    // A zero or negative size never divides by zero: it is drawn as 1 pixel.
    for (auto [w, h] : {std::pair{0, 0}, std::pair{-5, 10}, std::pair{10, -1}}) {
        const FrameProjection p = ComputeProjection(w, h);
        EXPECT_GE(p.width, 1);
        EXPECT_GE(p.height, 1);
        EXPECT_TRUE(std::isfinite(p.aspect));
        EXPECT_TRUE(std::isfinite(p.fieldOfView));
    }
}

TEST(ShadowPolygon, GoesOnceRoundAndClosesExactly) {
    // 22 points round the shadow centre at radius 0.0493..., the last exactly the first.
    const ShadowPolygon polygon = MakeShadowPolygon(0.5, 0.5);
    const double cx = (5 * 0.5 + 0.08) / 4.968;
    const double cy = (5 * 0.5 + 0.112) / 4.968;
    EXPECT_EQ(polygon.front(), polygon.back());
    EXPECT_EQ(polygon[0][0], cx + 0.04931561996779388);
    EXPECT_EQ(polygon[0][1], cy);
    for (const auto& p : polygon) {
        EXPECT_NEAR(std::hypot(p[0] - cx, p[1] - cy), 0.04931561996779388, 1e-12);
    }
    EXPECT_NEAR(polygon[20][1], cy - 0.04931561996779388 * std::sin(2 * std::numbers::pi / 21),
                1e-12);
}

TEST(ShadowPolygon, IsClampedToTheBoardAtEveryEdge) {
    // A piece over any edge throws a shadow that never leaves [0, 1] x [0, 1].
    for (auto [x, y] : {std::pair{1.02, 0.5}, std::pair{-0.03, 0.5}, std::pair{0.5, 1.04},
                        std::pair{0.5, -0.04}, std::pair{1.2, 1.2}}) {
        const ShadowPolygon polygon = MakeShadowPolygon(x, y);
        for (const auto& p : polygon) {
            EXPECT_GE(p[0], 0.0);
            EXPECT_LE(p[0], 1.0);
            EXPECT_GE(p[1], 0.0);
            EXPECT_LE(p[1], 1.0);
        }
    }
    const ShadowPolygon right = MakeShadowPolygon(0.99, 0.5);
    EXPECT_EQ(right[0][0], 1.0);
}

namespace {

double TriangleArea(const GlyphShape& shape) {
    double area = 0;
    for (std::size_t i = 0; i + 2 < shape.triangles.size(); i += 3) {
        const auto& a = shape.triangles[i];
        const auto& b = shape.triangles[i + 1];
        const auto& c = shape.triangles[i + 2];
        area += ((b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1])) / 2;
    }
    return area;
}

}  // namespace

TEST(GlyphOutline, SquareWithHoleFillsOnlyTheRing) {
    // A clockwise outer square with a counter-clockwise hole (TrueType's way) gives triangles
    // covering the ring only, all facing +z.
    GlyphShape shape;
    shape.contours = {{{0, 0}, {0, 1}, {1, 1}, {1, 0}},
                      {{0.25, 0.25}, {0.75, 0.25}, {0.75, 0.75}, {0.25, 0.75}}};
    ASSERT_TRUE(TessellateGlyph(shape));
    ASSERT_EQ(shape.triangles.size() % 3, 0u);
    EXPECT_NEAR(TriangleArea(shape), 1 - 0.25, 1e-12);
}

TEST(TexturePicture, MissingOrUndecodablePictureGivesPlainTexture) {
    // No bytes, or bytes that are no JPEG, leave a plain grey texture of the right size.
    const unsigned char garbage[] = {0xff, 0xd8, 0xff, 0x00, 1, 2, 3, 4, 5, 6, 7, 8};
    for (PictureBytes bytes : {PictureBytes{}, PictureBytes(garbage)}) {
        TextureImage image;
        EXPECT_FALSE(PaintPicture(bytes, 256, image));
        EXPECT_EQ(image.height, 256);
        ASSERT_EQ(image.bgr.size(), 1024u * 256u * 3u);
        for (std::uint8_t texel : image.bgr)
            ASSERT_EQ(texel, kPlainTexel);
    }
}

TEST(TexturePicture, MedalFillsTheLeftQuarterUpright) {
    // The 256 x 256 medal lands in the left quarter of a 1024 x 256 texture, its top row at the
    // texture's top (rows are stored bottom first); the rest stays plain.
    const DecodedPicture medal = DecodeTestPicture(133);
    ASSERT_EQ(medal.width, 256);
    TextureImage image;
    ASSERT_TRUE(PaintPicture(TestPictures()(133), 256, image));
    auto texel = [&](int x, int rowFromBottom) {
        const std::uint8_t* p =
            &image.bgr[(static_cast<std::size_t>(rowFromBottom) * 1024 + x) * 3];
        return Rgb{p[2], p[1], p[0]};
    };
    for (int y : {0, 10, 128, 255}) {
        for (int x : {0, 100, 255}) {
            const Rgb want = medal.At(x, 255 - y);
            const Rgb got = texel(x, y);
            EXPECT_TRUE(Near(got, want, 0)) << x << "," << y;
        }
        EXPECT_TRUE(Near(texel(256, y), {kPlainTexel, kPlainTexel, kPlainTexel}, 0));
        EXPECT_TRUE(Near(texel(1023, y), {kPlainTexel, kPlainTexel, kPlainTexel}, 0));
    }
}

TEST(TexturePicture, TruncatedOrTallerPictureStaysInsideTheTexture) {
    // A cut-off JPEG or one taller than the texture never writes outside it.
    const PictureBytes board = TestPictures()(130);  // 1024 x 1024
    TextureImage image;
    PaintPicture(board.first(board.size() / 2), 512, image);
    EXPECT_EQ(image.bgr.size(), 1024u * 512u * 3u);
    ASSERT_TRUE(PaintPicture(board, 256, image));
    EXPECT_EQ(image.bgr.size(), 1024u * 256u * 3u);
    // The top rows of the picture are kept: texture row 255 is picture row 0.
    const DecodedPicture decoded = DecodeTestPicture(130);
    const std::uint8_t* top = &image.bgr[(255u * 1024u + 5u) * 3u];
    EXPECT_TRUE(Near(Rgb{top[2], top[1], top[0]}, decoded.At(5, 0), 0));
}
