// A scene's fingerprint changes with everything its picture shows, and only with that.

#include "framework/scene_fingerprint.h"

#include "framework/scene.h"
#include "game/flag.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// A scene drawing one of each kind of call from fields a test may change.
class SampleScene final : public CScene {
public:
    void Draw(CGraphics* graphics) const override {
        graphics->SetColor(1.0f, 0.8f, 0.3f);
        const float advance = graphics->GetTextWidth(measured.c_str());
        graphics->DrawString(1.48f - advance * 0.05f, 0.76f, 0.05f, 0.06f, text.c_str());
        graphics->DrawMarker(0.81f, 0.67f);
        graphics->DrawFlag(1.24f, 0.83f, 0.25f, FlagPositions.data(), FlagNormals.data(), red);
        graphics->DrawBackground(background);
        graphics->DrawBoard(pieces, camera);
    }

    std::string text = "+12";
    std::string measured = "+12";
    bool red = true;
    std::int32_t background = 0;
    PieceTable pieces{};
    double camera[2] = {30, 65};
};

bool SamePicture(const std::function<void(SampleScene&)>& change) {
    SampleScene plain;
    SampleScene changed;
    change(changed);
    SceneFingerprint a;
    SceneFingerprint b;
    a.Take(plain);
    b.Take(changed);
    return a == b;
}

}  // namespace

TEST(SceneFingerprint, ChangesWithWhatIsDrawnAndNothingElse) {
    // Each change of something drawn gives another fingerprint; a piece's speed, which is not
    // drawn, and a scene made afresh from the same state give the same one.
    struct Case {
        const char* what;
        std::function<void(SampleScene&)> change;
        bool same;
    };
    const Case cases[] = {
        {"nothing", [](SampleScene&) {}, true},
        {"a piece's speed", [](SampleScene& s) { s.pieces[3].vx = 0.5; }, true},
        {"width", [](SampleScene& s) { s.width += 1; }, false},
        {"height", [](SampleScene& s) { s.height -= 1; }, false},
        {"a flag point", [](SampleScene& s) { s.FlagPositions[400] += 1e-6f; }, false},
        {"a flag normal", [](SampleScene& s) { s.FlagNormals[5] = -s.FlagNormals[5] - 1; }, false},
        {"the flag's army", [](SampleScene& s) { s.red = false; }, false},
        {"the text", [](SampleScene& s) { s.text = "+13"; }, false},
        {"the text measured", [](SampleScene& s) { s.measured = "+1"; }, false},
        {"the background", [](SampleScene& s) { s.background = 1; }, false},
        {"a piece's place", [](SampleScene& s) { s.pieces[3].y = 0.25; }, false},
        {"a piece's aim", [](SampleScene& s) { s.pieces[3].aim = 10; }, false},
        {"a piece's selection", [](SampleScene& s) { s.pieces[3].selected = 1; }, false},
        {"a piece's life", [](SampleScene& s) { s.pieces[3].alive = 1; }, false},
        {"a piece's army", [](SampleScene& s) { s.pieces[3].side = 1; }, false},
        {"the camera", [](SampleScene& s) { s.camera[1] = 64; }, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SamePicture(c.change), c.same) << c.what;
}

TEST(SceneFingerprint, ATextEndsWhereItEnds) {
    // A text followed by the grid never looks like a longer text, whatever byte lengthens it;
    // a cleared fingerprint matches no scene.
    class TextScene final : public CScene {
    public:
        TextScene(std::string text, bool grid) : text_(std::move(text)), grid_(grid) {}
        void Draw(CGraphics* graphics) const override {
            graphics->DrawString(0, 0, 1, 1, text_.c_str());
            if (grid_) graphics->DrawGrid();
        }

    private:
        std::string text_;
        bool grid_;
    };
    SceneFingerprint withGrid;
    withGrid.Take(TextScene("ab", true));
    SceneFingerprint longer;
    for (int byte = 1; byte < 256; ++byte) {
        longer.Take(TextScene(std::string("ab") + static_cast<char>(byte), false));
        EXPECT_FALSE(withGrid == longer) << byte;
    }
    longer.Take(TextScene("ab", true));
    EXPECT_TRUE(withGrid == longer);
    longer.Clear();
    EXPECT_FALSE(withGrid == longer);
}
