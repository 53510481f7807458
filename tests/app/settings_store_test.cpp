// The per-user settings store in a temporary folder: values written and read back under the
// four names, damaged values counting as absent without spoiling the others, a store that
// cannot be used ignored, and the window-size and volume rules of start-up.

#include "app/child_view.h"
#include "app/main_frame.h"
#include "app/qt_settings_store.h"
#include "app/start_up.h"
#include "framework/scene.h"
#include "framework/settings_values.h"
#include "screens/screen_main.h"
#include "tests/app/window_fixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr QSize kRoomy(4000, 3000);

class SettingsStore : public testing::Test {
protected:
    SettingsStore() { SetSettingsStore(store_.get()); }
    ~SettingsStore() override {
        SetSettingsStore(nullptr);
        SetEffectSounds(nullptr, nullptr);
        SoundVolume = VolumeFromStored(kDefaultStoredVolume);
        MusicVolume = VolumeFromStored(kDefaultStoredVolume);
        ComputerLevel = OpponentLevel::Normal;
    }
    // Writes `text` as the whole settings file of a fresh folder and opens a store on it. (A
    // fresh folder each time: Qt keeps a parsed file and would not notice a rewrite of the same
    // size within the same moment.)
    void StartWithFile(const QByteArray& text) {
        SetSettingsStore(nullptr);
        store_.reset();
        folder_ = std::make_unique<TemporarySettingsFolder>();
        folder_->WriteFile(text);
        store_ = std::make_unique<CQtSettingsStore>();
        SetSettingsStore(store_.get());
    }
    QByteArray FileText() const {
        QFile file(folder_->FilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<TemporarySettingsFolder> folder_ = std::make_unique<TemporarySettingsFolder>();
    std::unique_ptr<CQtSettingsStore> store_ = std::make_unique<CQtSettingsStore>();
};

TEST_F(SettingsStore, ValuesLiveInTheUsersConfigurationFile) {
    // The four names are written under the Quenlo/Brivel file of the configuration folder and
    // read back by a later store.
    WriteSetting("cx", 600);
    WriteSetting("cy", 400);
    WriteSetting("sound", 0);
    WriteSetting("music", 65535);
    store_.reset();
    EXPECT_TRUE(FileText().contains("cx=600"));
    EXPECT_TRUE(FileText().contains("music=65535"));
    store_ = std::make_unique<CQtSettingsStore>();
    SetSettingsStore(store_.get());
    EXPECT_EQ(ReadSetting("cx", -1), 600);
    EXPECT_EQ(ReadSetting("cy", -1), 400);
    EXPECT_EQ(ReadSetting("sound", -1), 0);
    EXPECT_EQ(ReadSetting("music", -1), 65535);
}

TEST_F(SettingsStore, ValueWrittenThisRunReadsBackAtOnce) {
    // A value read back before the file is written out is still a number.
    WriteSetting("sound", 1234);
    EXPECT_EQ(ReadSetting("sound", -1), 1234);
    WriteSetting("sound", -5);
    EXPECT_EQ(ReadSetting("sound", -1), -5);
}

TEST_F(SettingsStore, AbsentValuesTakeTheirDefaults) {
    // With no file at all every read gives its default.
    EXPECT_EQ(ReadSetting("cx", 0), 0);
    EXPECT_EQ(StoredVolume("sound"), 32768u);
    EXPECT_EQ(StoredVolume("music"), 32768u);
    EXPECT_EQ(StoredViewSize(kRoomy), std::nullopt);
}

TEST_F(SettingsStore, GarbageCountsAsAbsentAndSparesTheOthers) {
    // Text, fractions, numbers beyond 32 bits, lists and empty values read as absent; the good
    // values beside them are intact.
    StartWithFile(
        "[General]\ncx=abc\ncy=12.5\nsound=99999999999\nmusic=\n"
        "[General]\nother=1, 2\n");
    EXPECT_EQ(ReadSetting("cx", -1), -1);
    EXPECT_EQ(ReadSetting("cy", -1), -1);
    EXPECT_EQ(ReadSetting("sound", -1), -1);
    EXPECT_EQ(ReadSetting("music", -1), -1);
    EXPECT_EQ(ReadSetting("other", -1), -1);

    StartWithFile("[General]\ncx=0x20\ncy=1,2\nsound= 77 \nmusic=@Variant(\\0\\0\\0\\x7f)\n");
    EXPECT_EQ(ReadSetting("cx", -1), -1);
    EXPECT_EQ(ReadSetting("cy", -1), -1);
    EXPECT_EQ(ReadSetting("sound", -1), 77);
    EXPECT_EQ(ReadSetting("music", -1), -1);
}

TEST_F(SettingsStore, BinaryJunkFileDoesNotCrash) {
    // A file of random bytes reads as absent values, and writing replaces it with a good one.
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(static_cast<char>((i * 7919 + 13) % 256));
    StartWithFile(junk);
    EXPECT_EQ(StoredVolume("sound"), 32768u);
    WriteSetting("music", 5);
    EXPECT_EQ(ReadSetting("music", -1), 5);
}

TEST_F(SettingsStore, UnusableStoreIsIgnored) {
    // When the settings file cannot be read or written (a folder stands in its place), reads
    // give the defaults and writes vanish without a word.
    SetSettingsStore(nullptr);
    store_.reset();
    QDir().mkpath(folder_->FilePath());
    store_ = std::make_unique<CQtSettingsStore>();
    SetSettingsStore(store_.get());
    EXPECT_EQ(StoredVolume("sound"), 32768u);
    WriteSetting("sound", 1);
    store_.reset();
    EXPECT_TRUE(QFileInfo(folder_->FilePath()).isDir());
}

TEST_F(SettingsStore, VolumesOutsideTheirRangeAreBroughtToTheNearestEnd) {
    // A stored -1 is silence (not 4294967295 read as unsigned), 70000 is full.
    StartWithFile("[General]\nsound=-1\nmusic=70000\n");
    EXPECT_EQ(StoredVolume("sound"), 0u);
    EXPECT_EQ(StoredVolume("music"), 65535u);
    ReadStoredVolumes();
    EXPECT_EQ(SoundVolume, 0.0);
    EXPECT_EQ(MusicVolume, 1.0);
}

TEST_F(SettingsStore, StoredSoundLevelReachesBothPlayersAtStart) {
    // The players start at the stored level, not at full.
    RecordingSound charge, fall;
    SetEffectSounds(&charge, &fall);
    StartWithFile("[General]\nsound=1000\nmusic=2000\n");
    ReadStoredVolumes();
    EXPECT_EQ(SoundVolume, 1000 / 65535.0);
    EXPECT_EQ(MusicVolume, 2000 / 65535.0);
    EXPECT_EQ(charge.calls, std::vector<std::string>{"volume 1000"});
    EXPECT_EQ(fall.calls, std::vector<std::string>{"volume 1000"});
}

TEST_F(SettingsStore, MouseAndRotateReadLikeAVolumeAndASwitch) {
    // Absent or damaged values give the mouse's exact middle and a rotating board; a mouse
    // level is cut to its range and the middle comes back exact; "rotate" knows only 0 and 1.
    struct Case {
        const char* file;
        double mouse;
        bool rotate;
    };
    for (Case c : {Case{"", 0.5, true}, Case{"mouse=junk\nrotate=2", 0.5, true},
                   Case{"mouse=0\nrotate=0", 0, false}, Case{"mouse=70000\nrotate=1", 1, true},
                   Case{"mouse=-3\nrotate=-1", 0, true}, Case{"mouse=32767\nrotate=x", 0.5, true},
                   Case{"mouse=16000\nrotate=0", 16000 / 65535.0, false}}) {
        StartWithFile(QByteArray("[General]\n") + c.file + "\n");
        MouseSetting = -1;
        RotateBoard = !c.rotate;
        ReadStoredControls();
        EXPECT_EQ(MouseSetting, c.mouse) << c.file;
        EXPECT_EQ(RotateBoard, c.rotate) << c.file;
    }
    MouseSetting = 0.5;
    RotateBoard = true;
}

TEST_F(SettingsStore, DefaultVolumesAreAHairAboveHalf) {
    // A first start reads 32768 / 65535 for both.
    ReadStoredVolumes();
    EXPECT_EQ(SoundVolume, 32768 / 65535.0);
    EXPECT_EQ(MusicVolume, 32768 / 65535.0);
}

TEST_F(SettingsStore, StoredLevelIsReadAndAnythingElseMeansNormal) {
    const std::pair<QByteArray, OpponentLevel> cases[] = {
        {"", OpponentLevel::Normal},          {"level=0\n", OpponentLevel::Easy},
        {"level=2\n", OpponentLevel::Hard},   {"level=3\n", OpponentLevel::Normal},
        {"level=-1\n", OpponentLevel::Normal}, {"level=hard\n", OpponentLevel::Normal},
    };
    for (const auto& [line, level] : cases) {
        SCOPED_TRACE(line.toStdString());
        StartWithFile("[General]\nsound=100\n" + line);
        ComputerLevel = OpponentLevel::Easy == level ? OpponentLevel::Hard : OpponentLevel::Easy;
        ReadStoredLevel();
        EXPECT_EQ(ComputerLevel, level);
    }
}

TEST_F(SettingsStore, WidthAloneGivesAThreeToTwoView) {
    // "cx" = 600 and no "cy" asks for 600 x 400.
    StartWithFile("[General]\ncx=600\n");
    EXPECT_EQ(StoredViewSize(kRoomy), QSize(600, 400));
    StartWithFile("[General]\ncx=601\n");
    EXPECT_EQ(StoredViewSize(kRoomy), QSize(601, 400));
    StartWithFile("[General]\ncx=600\ncy=300\n");
    EXPECT_EQ(StoredViewSize(kRoomy), QSize(600, 300));
}

TEST_F(SettingsStore, NoPositiveWidthLeavesTheSizeToTheWindowSystem) {
    // "cx" of 0 (a minimised window) or less asks for nothing, whatever "cy" says.
    for (const char* text : {"[General]\ncx=0\ncy=500\n", "[General]\ncx=-600\ncy=500\n",
                             "[General]\ncx=junk\ncy=500\n"}) {
        StartWithFile(text);
        EXPECT_EQ(StoredViewSize(kRoomy), std::nullopt) << text;
    }
}

TEST_F(SettingsStore, HeightOfZeroOrLessCountsAsTwoThirds) {
    // A view never starts without height.
    StartWithFile("[General]\ncx=900\ncy=0\n");
    EXPECT_EQ(StoredViewSize(kRoomy), QSize(900, 600));
    StartWithFile("[General]\ncx=900\ncy=-3\n");
    EXPECT_EQ(StoredViewSize(kRoomy), QSize(900, 600));
    StartWithFile("[General]\ncx=1\n");
    EXPECT_EQ(StoredViewSize(kRoomy), QSize(1, 1));
}

TEST_F(SettingsStore, HugeSizesAreKeptWithinTheScreen) {
    // The largest width does not overflow its two thirds, and the view fits the screen.
    StartWithFile("[General]\ncx=2147483647\n");
    EXPECT_EQ(StoredViewSize(kRoomy), kRoomy);
    StartWithFile("[General]\ncx=800\ncy=2147483647\n");
    EXPECT_EQ(StoredViewSize(kRoomy), QSize(800, 3000));
}

TEST_F(SettingsStore, WindowOpensAtTheStoredSizeAndWritesItBack) {
    // Started with "cx" = 600 and no "cy", the real view is 600 x 400, and its sizing writes
    // both values.
    StartWithFile("[General]\ncx=600\n");
    CurrentScreen = &ScreenMain;
    std::optional<QSize> size = StoredViewSize(ScreenLimit());
    ASSERT_TRUE(size.has_value());
    CMainFrame frame;
    SizeViewTo(frame, *size);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_EQ(frame.View()->size(), QSize(600, 400));
    EXPECT_EQ(ReadSetting("cx", -1), 600);
    EXPECT_EQ(ReadSetting("cy", -1), 400);
    EXPECT_EQ(ClientWidth, 600);
    EXPECT_EQ(ClientHeight, 400);
}

}  // namespace
