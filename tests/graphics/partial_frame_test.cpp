// A frame drawn only where it differs from the frame before is the same, pixel for pixel, as
// the frame drawn whole: along the menus' and the play screen's own sequences of scenes.
#include "framework/settings_values.h"
#include "game/flag.h"
#include "screens/scene_congr.h"
#include "screens/scene_main.h"
#include "screens/scene_play.h"
#include "screens/scene_sett.h"
#include "tests/graphics/render_support.h"
#include "tests/setups/board_setups.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

using SceneMaker = std::function<std::unique_ptr<CScene>(int step)>;

void Tick() {
    for (int k = 0; k < 10; ++k)
        StepFlag(Flag);
}

PieceTable PlayTable() {
    PieceTable table = CrowdedTable();
    table[2].selected = 1;
    table[2].aim = -30;
    return table;
}

struct Sequence {
    const char* name;
    std::int32_t width;
    std::int32_t height;
    SceneMaker make;  // the scene of each step, ticking the flag as the screens do
    bool partsExpected;
};

class RenderDamage : public testing::Test {
protected:
    static COpenGL& Renderer() {
        static COpenGL renderer(2048, 1280, TestPictures());
        return renderer;
    }

    // Draws each step twice, first only where it changed, then whole, and compares.
    void Run(const Sequence& s, int steps) {
        InitFlag(Flag);
        ResetFlag(Flag, 0, 0, 0.05, 0.012, 0.004, 0.00002);
        ClientWidth = s.width;
        ClientHeight = s.height;
        MemorySink sink;
        Renderer().SetFrameSink(&sink);
        int parts = 0;
        for (int step = 0; step < steps; ++step) {
            const std::unique_ptr<CScene> scene = s.make(step);
            Draw(*scene);
            const std::vector<std::uint32_t> partly = sink.topFirst;
            const PixelBox drawn = Renderer().LastDrawnBox();
            parts += drawn.Area() < std::int64_t{sink.width} * sink.height ? 1 : 0;
            Renderer().DrawNextFrameWhole();
            Draw(*scene);
            ASSERT_TRUE(partly == sink.topFirst) << s.name << " step " << step;
        }
        Renderer().SetFrameSink(nullptr);
        if (s.partsExpected) {
            EXPECT_GT(parts, steps / 2) << s.name;
        } else {
            EXPECT_EQ(parts, 0) << s.name;
        }
    }

    static void Draw(const CScene& scene) {
        Renderer().BeginFrame(scene.width, scene.height);
        scene.Draw(&Renderer());
        Renderer().EndFrame();
    }
};

}  // namespace

TEST_F(RenderDamage, MenusRedrawnOnlyWhereTheyChangedMatchWholeFrames) {
    // The waving flag over the menu and settings pictures in a 3:2, a tall and a wide window;
    // knobs sliding and the switch's word changing; the result screen's line, medal and flag.
    const Sequence sequences[] = {
        {"menu 3:2", 1500, 1000,
         [](int) {
             Tick();
             return std::make_unique<CSceneMain>();
         },
         true},
        {"menu tall", 900, 1000,
         [](int) {
             Tick();
             return std::make_unique<CSceneMain>();
         },
         true},
        {"menu wide", 1900, 700,
         [](int) {
             Tick();
             return std::make_unique<CSceneMain>();
         },
         true},
        {"settings", 1500, 1000,
         [](int step) {
             Tick();
             SoundVolume = 0.05 * step;
             MusicVolume = 1 - 0.05 * step;
             MouseSetting = step % 3 * 0.4;
             RotateBoard = step / 4 % 2 == 1;
             return std::make_unique<CSceneSett>();
         },
         true},
        {"result", 1500, 1000,
         [](int step) {
             Tick();
             return std::make_unique<CSceneCongr>(step < 6 ? 3 : 4, step / 3);
         },
         true},
    };
    for (const Sequence& s : sequences)
        Run(s, 12);
}

TEST_F(RenderDamage, PlayRedrawnOnlyWhereItChangedMatchesWholeFrames) {
    // The corner flag waving and the scores changing over a still board; then the camera
    // turning and a piece moving, which redraw the whole frame.
    Run({"play at rest", 1500, 1000,
         [](int step) {
             Tick();
             return std::make_unique<CScenePlay2>(PlayTable(), CameraAngles{30, 65}, kRed, step / 4,
                                                  9 + step / 5);
         },
         true},
        10);
    Run({"play moving", 1500, 1000,
         [](int step) {
             Tick();
             PieceTable table = PlayTable();
             table[5].x += 0.01 * step;
             return std::make_unique<CScenePlay1>(table, CameraAngles{30.0 + step, 65}, kWhite,
                                                  step);
         },
         false},
        6);
}

TEST_F(RenderDamage, ColourLeftByAPickIsNotTakenForTheOneBefore) {
    // A knob drawn in the colour the frame starts with: after a pick leaves another colour,
    // the same commands make another picture, and the frame is drawn again.
    class KnobScene final : public CScene {
    public:
        explicit KnobScene(bool setColour) : setColour_(setColour) {
            width = 600;
            height = 400;
        }
        void Draw(CGraphics* graphics) const override {
            if (setColour_) graphics->SetColor(0.2f, 0.4f, 1);
            graphics->DrawMarker(0.75f, 0.5f);
        }

    private:
        bool setColour_;
    };
    MemorySink sink;
    Renderer().SetFrameSink(&sink);
    Draw(KnobScene(true));
    Draw(KnobScene(false));  // still in the colour set before
    const PixelPoint knob = CanvasToPixel(600, 400, 0.75, 0.5);
    const Rgb before = sink.At(knob.x, knob.y);
    const double camera[2] = {30, 65};
    Renderer().PickPiece(OpeningTable(), camera, 300, 200);  // sets the pieces' colours
    Draw(KnobScene(false));
    const Rgb after = sink.At(knob.x, knob.y);
    Renderer().DrawNextFrameWhole();
    Draw(KnobScene(false));
    Renderer().SetFrameSink(nullptr);
    EXPECT_FALSE(Near(before, after, 10));
    EXPECT_TRUE(Near(after, sink.At(knob.x, knob.y), 0));
}
