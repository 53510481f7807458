// The drawing surface takes each frame's size, frames read into a sink's memory are the same
// frames, and every frame comes out opaque. Real renderer on Mesa llvmpipe.
#include "game/flag.h"
#include "screens/scene_congr.h"
#include "screens/scene_main.h"
#include "screens/scene_play.h"
#include "tests/graphics/render_support.h"
#include "tests/setups/board_setups.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// Lends rows wider than the frame, their spare bytes set to a mark that must survive.
class LendingSink final : public CFrameSink {
public:
    static constexpr std::uint8_t kMark = 0xa5;
    static constexpr std::ptrdiff_t kSpare = 16;

    FrameMemory LendFrameMemory(std::int32_t frameWidth, std::int32_t frameHeight) override {
        stride_ = std::ptrdiff_t{frameWidth} * 4 + kSpare;
        memory_.assign(static_cast<std::size_t>(stride_ * frameHeight), kMark);
        return {memory_.data(), stride_};
    }
    void PresentFrame(const FramePixels& frame) override {
        wasLent = frame.topRow == memory_.data() && frame.rowStride == stride_;
        width = frame.width;
        height = frame.height;
        words.clear();
        for (int y = 0; y < frame.height; ++y) {
            for (int x = 0; x < frame.width; ++x)
                words.push_back(frame.At(x, y));
        }
    }
    /// True when no byte beyond the frame's rows was written.
    bool SpareBytesUntouched() const {
        for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row) {
            const std::uint8_t* spare = memory_.data() + row * stride_ + stride_ - kSpare;
            for (std::ptrdiff_t k = 0; k < kSpare; ++k) {
                if (spare[k] != kMark) return false;
            }
        }
        return true;
    }

    bool wasLent = false;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> words;  ///< top row first

private:
    std::ptrdiff_t stride_ = 0;
    std::vector<std::uint8_t> memory_;
};

// A frame of `scene` through `sink`.
void DrawScene(COpenGL& renderer, CFrameSink& sink, const CScene& scene) {
    renderer.SetFrameSink(&sink);
    renderer.BeginFrame(scene.width, scene.height);
    scene.Draw(&renderer);
    renderer.EndFrame();
    renderer.SetFrameSink(nullptr);
}

std::unique_ptr<CScene> PlayScene(std::int32_t width, std::int32_t height) {
    ClientWidth = width;
    ClientHeight = height;
    PieceTable table = CrowdedTable();
    table[2].selected = 1;
    table[2].aim = -30;
    return std::make_unique<CScenePlay2>(table, CameraAngles{30, 65}, kRed, 12, 3);
}

// A scene drawing nothing: a frame of the clear colour.
class CEmpty final : public CScene {
public:
    CEmpty(std::int32_t frameWidth, std::int32_t frameHeight) {
        width = frameWidth;
        height = frameHeight;
    }
    void Draw(CGraphics*) const override {}
};

// Red knobs beyond the design rectangle, where a taller frame's bands are.
class CBands final : public CScene {
public:
    CBands(std::int32_t frameWidth, std::int32_t frameHeight) {
        width = frameWidth;
        height = frameHeight;
    }
    void Draw(CGraphics* graphics) const override {
        graphics->SetColor(1, 0, 0);
        graphics->DrawMarker(0.75f, 1.1f);
        graphics->DrawMarker(0.75f, -0.1f);
    }
};

std::unique_ptr<CScene> MenuScene(std::int32_t width, std::int32_t height) {
    ClientWidth = width;
    ClientHeight = height;
    return std::make_unique<CSceneMain>();
}

}  // namespace

TEST(RenderSurface, FollowsEachFramesSize) {
    // The surface grows and shrinks with the frames, up to the limit; a frame drawn after a
    // larger and a smaller one is the same as when the surface was new.
    InitFlag(Flag);
    COpenGL renderer(1600, 1000, TestPictures());
    ASSERT_TRUE(renderer.IsReady());
    MemorySink sink;
    std::vector<std::uint32_t> first;
    struct Step {
        std::int32_t width, height;            // the scene's
        std::int32_t drawnWidth, drawnHeight;  // the frame's and the surface's
    };
    for (const Step step :
         {Step{600, 400, 600, 400}, Step{1500, 1000, 1500, 1000}, Step{2000, 900, 1600, 900},
          Step{300, 200, 300, 200}, Step{600, 400, 600, 400}}) {
        DrawScene(renderer, sink, *MenuScene(step.width, step.height));
        EXPECT_EQ(sink.width, step.drawnWidth);
        EXPECT_EQ(sink.height, step.drawnHeight);
        EXPECT_EQ(renderer.DrawingWidth(), step.drawnWidth);
        EXPECT_EQ(renderer.DrawingHeight(), step.drawnHeight);
        if (first.empty()) first = sink.topFirst;
    }
    EXPECT_TRUE(sink.topFirst == first);
}

TEST(RenderSurface, FrameReadIntoLentMemoryIsTheSameFrame) {
    // Read top row first into a sink's rows, a frame has the same pixels as read bottom row
    // first into the renderer's own memory, and nothing is written beyond its rows.
    COpenGL& renderer = SharedRenderer();
    for (auto [width, height] : {std::pair{900, 600}, std::pair{1001, 777}}) {
        const auto scene = PlayScene(width, height);
        MemorySink own;
        DrawScene(renderer, own, *scene);
        LendingSink lending;
        DrawScene(renderer, lending, *scene);
        EXPECT_TRUE(lending.wasLent);
        EXPECT_EQ(lending.width, own.width);
        EXPECT_EQ(lending.height, own.height);
        EXPECT_TRUE(lending.words == own.topFirst) << width << "x" << height;
        EXPECT_TRUE(lending.SpareBytesUntouched());
    }
}

TEST(RenderSurface, EveryFrameIsOpaque) {
    // Whatever is drawn (pictures, lit texts, the board with its blended shadows), every pixel
    // of the frame has alpha 255, as the view's RGB32 images require.
    InitFlag(Flag);
    ClientWidth = 1500;
    ClientHeight = 1000;
    std::vector<std::unique_ptr<CScene>> scenes;
    scenes.push_back(MenuScene(1500, 1000));
    scenes.push_back(std::make_unique<CSceneCongr>(3, 7));
    scenes.push_back(PlayScene(1500, 1000));
    scenes.push_back(std::make_unique<CScene>());
    for (const auto& scene : scenes) {
        MemorySink sink;
        DrawScene(SharedRenderer(), sink, *scene);
        std::size_t clear = 0;
        for (std::uint32_t word : sink.topFirst)
            clear += (word >> 24) != 0xffu ? 1 : 0;
        EXPECT_EQ(clear, 0u);
    }
}

TEST(RenderSurface, MenuPictureHidesWhateverTheFrameBeforeShowed) {
    // The menu picture covers a 3:2 frame whole, so its colour is not cleared first; a taller
    // frame is. Either way the menu drawn after a play frame, or one with knobs where a taller
    // frame's bands are, is the menu drawn after an empty one.
    InitFlag(Flag);
    COpenGL& renderer = SharedRenderer();
    MemorySink sink;
    for (auto [width, height] : {std::pair{1500, 1000}, std::pair{900, 1000}}) {
        std::vector<std::uint32_t> menus[3];
        for (int before = 0; before < 3; ++before) {
            renderer.DrawNextFrameWhole();
            if (before == 0) DrawScene(renderer, sink, CEmpty(width, height));
            if (before == 1) DrawScene(renderer, sink, *PlayScene(width, height));
            if (before == 2) DrawScene(renderer, sink, CBands(width, height));
            renderer.DrawNextFrameWhole();
            DrawScene(renderer, sink, *MenuScene(width, height));
            menus[before] = sink.topFirst;
        }
        EXPECT_TRUE(menus[0] == menus[1]) << width << "x" << height;
        EXPECT_TRUE(menus[0] == menus[2]) << width << "x" << height;
    }
}
