// Draws one picture of every kind of scene with the real renderer and writes each to a PNG
// file, for looking at by eye: the menu, the settings, each result, the placeholder, and play
// snapshots from several cameras with a selected piece, dead pieces and pieces over the edge.
//
//   render_scenes [output folder]     (default: build/scenes)

#include "framework/scene.h"
#include "framework/settings_values.h"
#include "game/flag.h"
#include "graphics/opengl.h"
#include "screens/scene_congr.h"
#include "screens/scene_main.h"
#include "screens/scene_play.h"
#include "screens/scene_sett.h"
#include "tests/setups/board_setups.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <png.h>
#include <string>
#include <vector>

namespace {

// Keeps the last frame, top row first, as the PNG writer wants it.
class PngSink final : public CFrameSink {
public:
    void PresentFrame(const FramePixels& frame) override {
        width_ = frame.width;
        height_ = frame.height;
        pixels_.resize(static_cast<std::size_t>(width_) * height_);
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                pixels_[static_cast<std::size_t>(y) * width_ + x] = frame.At(x, y);
            }
        }
    }

    bool Write(const std::filesystem::path& path) const {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(width_);
        image.height = static_cast<png_uint_32>(height_);
        image.format = PNG_FORMAT_BGRA;  // the words 0xffRRGGBB lie in memory as B, G, R, A
        const int ok = png_image_write_to_file(&image, path.c_str(), 0, pixels_.data(), 0, nullptr);
        png_image_free(&image);
        return ok != 0;
    }

private:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// The flag as the menus show it after a few seconds of waving.
void WaveFlag(double originY, double angle, double windX, double windY, double windZ) {
    ResetFlag(Flag, 0, originY, angle, windX, windY, windZ);
    for (int tick = 0; tick < 40; ++tick) {
        for (int step = 0; step < 10; ++step)
            StepFlag(Flag);
    }
}

struct Job {
    std::string name;
    std::int32_t width;
    std::int32_t height;
    std::function<std::unique_ptr<CScene>()> make;
};

// A battle under way: dead pieces, one piece over the right edge and a selected piece aimed
// away from the camera, as a play screen keeps it.
PieceTable BattleTable(double azimuth) {
    PieceTable table = CrowdedTable();
    Put(table, 5, 0.985, 0.42);
    for (Piece& piece : table)
        piece.selected = 0;
    table[2].selected = 1;
    table[2].aim = -azimuth;
    return table;
}

std::vector<Job> Jobs() {
    std::vector<Job> jobs;
    for (auto [w, h] : {std::pair{1500, 1000}, std::pair{2000, 1000}, std::pair{1000, 1000}}) {
        jobs.push_back({"menu_" + std::to_string(w) + "x" + std::to_string(h), w, h,
                        [] { return std::make_unique<CSceneMain>(); }});
    }
    jobs.push_back({"settings", 1500, 1000, [] {
                        SoundVolume = 0.5;
                        MusicVolume = 0.25;
                        MouseSetting = 1;
                        RotateBoard = true;
                        return std::make_unique<CSceneSett>();
                    }});
    for (std::int32_t result = 0; result <= 6; ++result) {
        jobs.push_back({"result_" + std::to_string(result), 1500, 1000,
                        [result] { return std::make_unique<CSceneCongr>(result, result + 1); }});
    }
    jobs.push_back({"placeholder", 1500, 1000, [] { return std::make_unique<CScene>(); }});
    for (auto [azimuth, elevation] : {std::pair{30.0, 65.0}, std::pair{0.0, 0.0},
                                      std::pair{150.0, 50.0}, std::pair{270.0, 75.0}}) {
        const std::string angles = std::to_string(static_cast<int>(azimuth)) + "_" +
                                   std::to_string(static_cast<int>(elevation));
        jobs.push_back({"play1_" + angles, 1500, 1000, [azimuth, elevation] {
                            return std::make_unique<CScenePlay1>(
                                BattleTable(azimuth), CameraAngles{azimuth, elevation}, kRed, 7);
                        }});
    }
    jobs.push_back({"play2_30_65", 1500, 1000, [] {
                        return std::make_unique<CScenePlay2>(BattleTable(30), CameraAngles{30, 65},
                                                             kWhite, 12, 3);
                    }});
    return jobs;
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : "build/scenes";
    std::filesystem::create_directories(folder);
    InitFlag(Flag);
    WaveFlag(0, 0.05, 0.012, 0.004, 0.00002);
    COpenGL renderer;
    if (!renderer.IsReady()) {
        std::fprintf(stderr, "render_scenes: no OpenGL context could be made\n");
        return 1;
    }
    PngSink sink;
    renderer.SetFrameSink(&sink);
    int failures = 0;
    for (const Job& job : Jobs()) {
        ClientWidth = job.width;
        ClientHeight = job.height;
        const std::unique_ptr<CScene> scene = job.make();
        renderer.BeginFrame(scene->width, scene->height);
        scene->Draw(&renderer);
        renderer.EndFrame();
        const std::filesystem::path file = folder / (job.name + ".png");
        if (sink.Write(file)) {
            std::printf("%s\n", file.c_str());
        } else {
            std::fprintf(stderr, "render_scenes: cannot write %s\n", file.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
