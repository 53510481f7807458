// What the player is told when something the game needs is missing. The real program started
// on the offscreen platform with one part taken away each time: a missing sound device or font
// gives one line of its own on standard error and nothing of the libraries' own, and the game
// goes on; without OpenGL a message box says so and the program ends with a failure status.
// And the real box, found and closed by the test as a player would close it.

#include "app/start_report.h"

#include "app/brivel_app.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr int kStartLimitMs = 60000;  // a sanitizer build starts the game slowly

const char* const kNoSound = "brivel: no sound device; the game plays silently";
const char* const kNoFont =
    "brivel: no font found (install fonts-dejavu-core); the texts are not drawn";
const char* const kNoOpenGl =
    "brivel: could not start OpenGL: no EGL display could be opened. Install your graphics "
    "driver's EGL and OpenGL libraries (on Debian: libegl-mesa0 libgl1-mesa-dri), then start "
    "Brivel again.";

struct MissingPartCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> environment;  // "@" stands for the folder
    std::vector<std::string> lines;  // every line of standard error but the platform's own
    std::optional<int> status;       // nothing: the game goes on until it is stopped
};

// Names the case by the part taken away in the test's name.
void PrintTo(const MissingPartCase& c, std::ostream* out) {
    *out << c.name;
}

struct StartResult {
    std::vector<std::string> lines;
    std::optional<int> status;
};

class MissingPartTest : public testing::TestWithParam<MissingPartCase> {
protected:
    // Headless, with settings and runtime files in the test's folder, and with a sound device
    // (OpenAL Soft's null output) unless the case takes it away. ALSA's configuration of no
    // cards at all and fontconfig's of no fonts are written there for the cases to name.
    QProcessEnvironment Environment(const MissingPartCase& c) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "ALSOFT_LOGLEVEL",
                                 "__EGL_VENDOR_LIBRARY_FILENAMES", "FONTCONFIG_FILE"}) {
            environment.remove(QString::fromLatin1(name));
        }
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", folder_.path());
        environment.insert("XDG_RUNTIME_DIR", folder_.path());
        environment.insert("ALSOFT_DRIVERS", "null");
        for (const auto& [name, value] : c.environment) {
            environment.insert(name, QString::fromLatin1(value).replace('@', folder_.path()));
        }
        return environment;
    }

    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        Write("no_cards.conf", "");
        Write("no_fonts.conf", "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>" +
                                   folder_.path().toStdString() +
                                   "/fonts</cachedir></fontconfig>\n");
    }

    // Runs the game until it ends or, once its window is up (its size is then in the settings
    // file), a moment longer; then stops it.
    StartResult Start(const MissingPartCase& c) {
        QProcess game;
        game.setProcessEnvironment(Environment(c));
        game.start(QStringLiteral(BRIVEL_PROGRAM), {});
        StartResult result;
        const QString settings = folder_.path() + "/Quenlo/Brivel.conf";
        QElapsedTimer clock;
        clock.start();
        while (!game.waitForFinished(100) && !QFile::exists(settings) &&
               clock.elapsed() < kStartLimitMs) {
        }
        if (game.state() != QProcess::NotRunning && !game.waitForFinished(500)) {
            game.kill();
            game.waitForFinished();
        } else if (game.exitStatus() == QProcess::NormalExit) {
            result.status = game.exitCode();
        }
        for (const QByteArray& line : game.readAllStandardError().split('\n')) {
            // The offscreen platform's notes about what it cannot do to a window.
            if (line.isEmpty() || line.startsWith("This plugin does not support")) continue;
            result.lines.push_back(line.toStdString());
        }
        return result;
    }

private:
    void Write(const char* name, const std::string& text) {
        QFile file(folder_.path() + '/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
    }

    QTemporaryDir folder_;
};

TEST_P(MissingPartTest, ThePlayerIsToldInOneLineOrABox) {
    const MissingPartCase& c = GetParam();
    QElapsedTimer clock;
    clock.start();
    const StartResult result = Start(c);
    EXPECT_EQ(result.lines, c.lines);
    EXPECT_EQ(result.status, c.status);
    if (c.status) {
        EXPECT_LT(clock.elapsed(), kStartLimitMs);
    }
}

INSTANTIATE_TEST_SUITE_P(
    StartReport, MissingPartTest,
    testing::Values(
        MissingPartCase{"Nothing", {}, {}, std::nullopt},
        // ALSA without a single card: its probe fails noisily inside OpenAL Soft.
        MissingPartCase{"SoundDevice",
                        {{"ALSOFT_DRIVERS", "alsa"}, {"ALSA_CONFIG_PATH", "@/no_cards.conf"}},
                        {kNoSound},
                        std::nullopt},
        MissingPartCase{"Font", {{"FONTCONFIG_FILE", "@/no_fonts.conf"}}, {kNoFont}, std::nullopt},
        // No EGL vendor library: no display, and so no OpenGL at all.
        MissingPartCase{"OpenGl",
                        {{"__EGL_VENDOR_LIBRARY_FILENAMES", "/nonexistent"},
                         {"BRIVEL_TEST_CLOSE_BOX_MS", "100"}},
                        {kNoOpenGl},
                        1}),
    [](const testing::TestParamInfo<MissingPartCase>& param) { return param.param.name; });

TEST(StartReport, EachMissingPartHasItsOwnLine) {
    EXPECT_EQ(ShortfallLines(true, true, {}), std::vector<std::string>{});
    EXPECT_EQ(ShortfallLines(false, false, {131}),
              (std::vector<std::string>{
                  kNoSound, kNoFont,
                  "brivel: picture 131 could not be decoded; a plain texture stands in"}));
    EXPECT_EQ(ShortfallLines(true, true, {129, 134}),
              std::vector<std::string>{
                  "brivel: pictures 129, 134 could not be decoded; plain textures stand in"});
}

// In this process: the application object without OpenGL shows the real box and start-up
// fails once the player has closed it.
TEST(StartReport, WithoutOpenGlTheBoxSaysWhatToInstall) {
    // Read when EGL is first used, which is when the application object builds the renderer.
    setenv("__EGL_VENDOR_LIBRARY_FILENAMES", "/nonexistent", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    unsetenv("BRIVEL_TEST_CLOSE_BOX_MS");
    QTemporaryDir configHome;
    setenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit().constData(), 1);
    int argc = 1;
    char name[] = "brivel";
    char* argv[] = {name, nullptr};
    BrivelApp app(argc, argv);
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        text = box->text();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    closer.start(10);
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_TRUE(text.startsWith("Brivel could not start OpenGL: no EGL display could be opened."))
        << text.toStdString();
    EXPECT_TRUE(text.contains("(on Debian: libegl-mesa0 libgl1-mesa-dri)")) << text.toStdString();
    EXPECT_EQ(app.MainFrame(), nullptr);
}

}  // namespace
