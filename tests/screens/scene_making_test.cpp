#include "framework/scene.h"
#include "game/flag.h"
#include "screens/scene_congr.h"
#include "screens/scene_main.h"
#include "screens/scene_play.h"
#include "screens/scene_sett.h"
#include "screens/scene_text.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// Keeps the program-wide flag and client size of a test from leaking into the next.
class SceneMakingTest : public testing::Test {
protected:
    void SetUp() override {
        savedFlag_ = Flag;
        savedWidth_ = ClientWidth;
        savedHeight_ = ClientHeight;
        InitFlag(Flag);
        for (int i = 0; i < 5; ++i)
            StepFlag(Flag);
        ClientWidth = 640;
        ClientHeight = 427;
    }
    void TearDown() override {
        Flag = savedFlag_;
        ClientWidth = savedWidth_;
        ClientHeight = savedHeight_;
    }

    static std::vector<std::unique_ptr<CScene>> OneOfEach() {
        std::vector<std::unique_ptr<CScene>> scenes;
        scenes.push_back(std::make_unique<CScene>());
        scenes.push_back(std::make_unique<CSceneMain>());
        scenes.push_back(std::make_unique<CSceneSett>());
        scenes.push_back(std::make_unique<CSceneCongr>(1, 4));
        scenes.push_back(std::make_unique<CScenePlay1>(Board, Camera, kRed, 3));
        scenes.push_back(std::make_unique<CScenePlay2>(Board, Camera, kWhite, 3, 4));
        return scenes;
    }

private:
    FlagCloth savedFlag_;
    std::int32_t savedWidth_ = 0;
    std::int32_t savedHeight_ = 0;
};

TEST_F(SceneMakingTest, EverySceneCopiesClientSizeAndFlag) {
    // Each kind of scene holds the client size, an empty link and the flag as it was made,
    // and keeps them when the live flag and size move on.
    std::array<float, kFlagPointCount * 3> positions;
    std::array<float, kFlagPointCount * 3> normals;
    CopyFlagPositions(Flag, positions.data());
    CopyFlagNormals(Flag, normals.data());
    auto scenes = OneOfEach();
    StepFlag(Flag);
    ClientWidth = 10;
    ClientHeight = 20;
    for (const auto& scene : scenes) {
        EXPECT_EQ(scene->width, 640);
        EXPECT_EQ(scene->height, 427);
        EXPECT_EQ(scene->next, nullptr);
        EXPECT_EQ(scene->FlagPositions, positions);
        EXPECT_EQ(scene->FlagNormals, normals);
    }
    EXPECT_NE(positions[3 * 100], static_cast<float>(Flag.points[100].position[0]));
}

TEST_F(SceneMakingTest, PlaySceneKeepsSideAndScores) {
    // The snapshot stores the side to move, the view angles and its scores as given.
    CameraAngles camera{123.5, 8.25};
    CScenePlay2 scene(Board, camera, kWhite, -7, 99);
    EXPECT_EQ(scene.sideToMove, kWhite);
    EXPECT_EQ(scene.viewAngles, (std::array<double, 2>{123.5, 8.25}));
    EXPECT_EQ(scene.redScore, -7);
    EXPECT_EQ(scene.whiteScore, 99);
    EXPECT_EQ(CScenePlay1(Board, camera, kRed, 5).score, 5);
}

TEST(SceneText, NumbersOnAnotherThreadLeaveOursAlone) {
    // Each thread has its own number buffer, so a number formatted elsewhere cannot change a
    // text that is being drawn.
    const char* ours = FormatScore(12);
    std::thread other([] { EXPECT_STREQ(FormatPoints(99), "+99"); });
    other.join();
    EXPECT_STREQ(ours, "12");
}

}  // namespace
