#include "game/board.h"
#include "resources/resources.h"
#include "tests/resources/jpeg_reader.h"

#include <gtest/gtest.h>

namespace {

// Board picture geometry in pixels: the side is 1024, the margin 9/128 and a square 55/512 of it.
constexpr int kSide = 1024;
constexpr int kMarginPixels = 72;
constexpr int kSquarePixels = 110;

enum class Wood { Dark, Frame, Light, Unclear };

// Dark squares, the frame and light squares are told apart by brightness alone.
Wood Classify(double luminance) {
    if (luminance < 95) return Wood::Dark;
    if (luminance > 100 && luminance < 165) return Wood::Frame;
    if (luminance > 175) return Wood::Light;
    return Wood::Unclear;
}

const DecodedPicture& BoardPicture() {
    static const DecodedPicture picture = [] {
        const ResourceBytes bytes = FindResource("IMAGE", 130).value();
        return DecodeJpeg(bytes.data, bytes.size).value();
    }();
    return picture;
}

Wood WoodAt(int x, int y) {
    return Classify(BoardPicture().MeanLuminance(x, y, 4));
}

// Square (column, row), row 0 on the picture's bottom edge (Red's home edge), a1 dark.
Wood SquareWood(int column, int row) {
    return (column + row) % 2 == 0 ? Wood::Dark : Wood::Light;
}

}  // namespace

// Every square, sampled at its centre and near its four corners, has its own colour: the
// squares lie exactly on the 110-pixel grid inside the 72-pixel frame.
TEST(BoardPicture, SquaresAlternateOnTheBoardGrid) {
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            SCOPED_TRACE(testing::Message() << "column " << column << " row " << row);
            const int left = kMarginPixels + column * kSquarePixels;
            const int bottom = kMarginPixels + row * kSquarePixels;
            const int centre = kSquarePixels / 2;
            EXPECT_EQ(WoodAt(left + centre, bottom + centre), SquareWood(column, row));
            for (int dx : {6, kSquarePixels - 7}) {
                for (int dy : {6, kSquarePixels - 7}) {
                    EXPECT_EQ(WoodAt(left + dx, bottom + dy), SquareWood(column, row));
                }
            }
        }
    }
}

// Across every edge between two squares, and between the squares and the frame, the wood
// changes within a few pixels of the exact 72 + 110 k line, in both directions.
TEST(BoardPicture, SquareEdgesFallOnTheGrid) {
    const DecodedPicture& board = BoardPicture();
    const auto stripAcross = [&](int line, int at, bool vertical, int offset) {
        // A strip 9 pixels long along the edge, one pixel wide, `offset` pixels off the line.
        const int p = line + offset;
        return vertical ? Classify(board.MeanLuminance(p, at - 4, p, at + 4))
                        : Classify(board.MeanLuminance(at - 4, p, at + 4, p));
    };
    for (int k = 0; k <= 8; ++k) {
        const int line = kMarginPixels + k * kSquarePixels;
        for (int other = 0; other < 8; ++other) {
            const int at = kMarginPixels + other * kSquarePixels + kSquarePixels / 2;
            for (bool vertical : {true, false}) {
                SCOPED_TRACE(testing::Message() << "line " << line << " at " << at
                                                << (vertical ? " vertical" : " horizontal"));
                const Wood before =
                    k == 0 ? Wood::Frame
                           : (vertical ? SquareWood(k - 1, other) : SquareWood(other, k - 1));
                const Wood after =
                    k == 8 ? Wood::Frame : (vertical ? SquareWood(k, other) : SquareWood(other, k));
                EXPECT_EQ(stripAcross(line, at, vertical, k == 0 ? -6 : -2), before);
                EXPECT_EQ(stripAcross(line, at, vertical, k == 8 ? 5 : 1), after);
            }
        }
    }
}

// The frame fills the margin on all four sides, and a gold inlay runs round just outside the
// squares.
TEST(BoardPicture, FrameFillsTheMargin) {
    const DecodedPicture& board = BoardPicture();
    for (int k = 0; k <= 8; ++k) {
        const int along = kMarginPixels + k * kSquarePixels;
        SCOPED_TRACE(along);
        for (int across : {22, 51, kSide - 52, kSide - 23}) {
            EXPECT_EQ(WoodAt(along, across), Wood::Frame);
            EXPECT_EQ(WoodAt(across, along), Wood::Frame);
        }
        for (int across : {kMarginPixels - 13, kSide - kMarginPixels + 12}) {
            const int at = std::min(along, kSide - kMarginPixels - 20);
            for (const unsigned char* p : {board.Pixel(at, across), board.Pixel(across, at)}) {
                EXPECT_GT(p[2], 170);  // red
                EXPECT_GT(p[1], 130);  // green
                EXPECT_LT(p[0], 140);  // blue
            }
        }
    }
}

// Whatever rows a battle starts on, every piece stands wholly inside one square, in its middle:
// its whole footprint shows one wood, and a step of 60 pixels (just over half a square) to
// either side reaches the neighbouring square.
TEST(BoardPicture, EveryPlacedPieceStandsInTheMiddleOfASquare) {
    PieceTable table{};
    const int footprint = static_cast<int>(kPieceRadius * kSide) - 8;
    for (int redRow = 0; redRow < 8; ++redRow) {
        PlacePieces(table, redRow, 7 - redRow);
        for (const Piece& piece : table) {
            const int x = static_cast<int>(piece.x * kSide);
            const int y = static_cast<int>(piece.y * kSide);
            SCOPED_TRACE(testing::Message() << "piece at " << x << ", " << y);
            const Wood under = WoodAt(x, y);
            ASSERT_NE(under, Wood::Frame);
            for (int d : {-footprint, footprint}) {
                EXPECT_EQ(WoodAt(x + d, y), under);
                EXPECT_EQ(WoodAt(x, y + d), under);
            }
            // (Towards the frame the first pixels are a dark channel, tested with the frame.)
            const auto onSquares = [](int p) {
                return p >= kMarginPixels && p < kSide - kMarginPixels;
            };
            for (int d : {-60, 60}) {
                if (onSquares(x + d)) {
                    EXPECT_NE(WoodAt(x + d, y), under);
                }
                if (onSquares(y + d)) {
                    EXPECT_NE(WoodAt(x, y + d), under);
                }
            }
        }
    }
}
