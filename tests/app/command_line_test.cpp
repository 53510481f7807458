// The command line: what ReadCommandLine makes of each kind of argument, and the real program
// answering --help, --version and a wrong option without any display to open.

#include "app/command_line.h"

#include "app/display_check.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <string>

namespace {

struct CommandLineCase {
    QStringList arguments;      // after the program's name
    std::optional<int> status;  // nothing: the game starts
    const char* out;            // standard output contains this ("" when it is to be empty)
    const char* err;            // standard error is exactly this
};

const std::string kVersionLine = std::string("brivel ") + BRIVEL_PROJECT_VERSION + "\n";
const char* const kTry = "Try 'brivel --help'.\n";

TEST(CommandLine, EachKindOfArgumentIsAnsweredOrLeftForTheGame) {
    const CommandLineCase cases[] = {
        {{}, std::nullopt, "", ""},
        {{"--help"}, 0, "--version", ""},
        {{"-h"}, 0, "Usage: brivel [options]", ""},
        {{"--help-all"}, 0, "-platform <value>", ""},
        {{"--version"}, 0, kVersionLine.c_str(), ""},
        {{"-v"}, 0, kVersionLine.c_str(), ""},
        // Qt's own options, in each spelling Qt reads, are the application object's business.
        {{"-platform", "offscreen", "-style", "fusion", "-reverse"}, std::nullopt, "", ""},
        {{"--platform", "xcb", "-style=fusion", "-qwindowgeometry", "640x480"},
         std::nullopt,
         "",
         ""},
        {{"--foo"}, 2, "", "brivel: unknown option '--foo'\nTry 'brivel --help'.\n"},
        {{"-foo=3"}, 2, "", "brivel: unknown option '-foo'\nTry 'brivel --help'.\n"},
        {{"-platform", "offscreen", "-x"},
         2,
         "",
         "brivel: unknown option '-x'\nTry 'brivel --help'.\n"},
        {{"-platform"}, 2, "", "brivel: missing value after '-platform'\nTry 'brivel --help'.\n"},
        {{"saved.game"}, 2, "", "brivel: unexpected argument 'saved.game'\nTry 'brivel --help'.\n"},
    };
    for (const CommandLineCase& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLineAnswer answer = ReadCommandLine(QStringList{"brivel"} + c.arguments);
        EXPECT_EQ(answer.exitStatus, c.status);
        if (*c.out == '\0') {
            EXPECT_EQ(answer.out, "");
        }
        EXPECT_NE(answer.out.find(c.out), std::string::npos) << answer.out;
        EXPECT_EQ(answer.err, c.err);
    }
}

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

const char* const kNoDisplay =
    "brivel: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set); "
    "start Brivel from a desktop session.\n";

struct DisplayCase {
    QStringList arguments;  // after the program's name
    std::map<std::string, std::string> environment;
    bool wayland0;  // a socket named wayland-0 in XDG_RUNTIME_DIR
    bool refused;
};

TEST(CommandLine, TheGameRefusesToStartOnlyWhenNoDisplayCanBeThere) {
    const DisplayCase cases[] = {
        {{}, {}, false, true},
        {{}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}}, false, true},
        {{}, {{"DISPLAY", ":0"}}, false, false},
        {{}, {{"WAYLAND_DISPLAY", "wayland-1"}}, false, false},
        {{}, {{"QT_QPA_PLATFORM", "offscreen"}}, false, false},
        {{"-platform", "offscreen"}, {}, false, false},
        {{"--platform=vnc"}, {}, false, false},
        {{"-platformtheme", "gtk3"}, {}, false, true},
        {{}, {}, true, false},
    };
    for (const DisplayCase& c : cases) {
        QTemporaryDir runtime;
        ASSERT_TRUE(runtime.isValid());
        if (c.wayland0) std::ofstream(runtime.filePath("wayland-0").toStdString()) << "";
        std::map<std::string, std::string> environment = c.environment;
        environment["XDG_RUNTIME_DIR"] = runtime.path().toStdString();
        auto read = [&environment](const char* name) -> const char* {
            auto found = environment.find(name);
            return found == environment.end() ? nullptr : found->second.c_str();
        };
        const std::optional<std::string> line =
            MissingDisplayLine(QStringList{"brivel"} + c.arguments, read);
        EXPECT_EQ(line.has_value(), c.refused) << c.arguments.join(' ').toStdString();
        if (line) {
            EXPECT_EQ(*line + "\n", kNoDisplay);
        }
    }
}

// The real program with neither a display nor a Qt platform to open.
ProgramRun RunWithoutDisplay(const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    QTemporaryDir runtime;  // no Wayland socket in it
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(BRIVEL_PROGRAM), arguments);
    ProgramRun run;
    if (!program.waitForFinished(30000) || program.exitStatus() != QProcess::NormalExit) {
        program.kill();
        program.waitForFinished();
        return run;
    }
    run.status = program.exitCode();
    run.out = program.readAllStandardOutput().toStdString();
    run.err = program.readAllStandardError().toStdString();
    return run;
}

TEST(CommandLine, TheProgramAnswersWithoutADisplay) {
    const ProgramRun help = RunWithoutDisplay({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
    EXPECT_EQ(help.err, "");

    const ProgramRun version = RunWithoutDisplay({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, kVersionLine);
    EXPECT_EQ(version.err, "");

    const ProgramRun wrong = RunWithoutDisplay({"--foo"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.out, "");
    EXPECT_EQ(wrong.err, std::string("brivel: unknown option '--foo'\n") + kTry);

    // The game itself needs a display: it says so and ends, where Qt alone would abort.
    const ProgramRun game = RunWithoutDisplay({});
    EXPECT_EQ(game.status, 1);
    EXPECT_EQ(game.out, "");
    EXPECT_EQ(game.err, kNoDisplay);
}

}  // namespace
