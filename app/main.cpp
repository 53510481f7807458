// Brivel: a table game of flicked checkers between the Red army and the White army.

#include "app/brivel_app.h"
#include "app/command_line.h"
#include "app/display_check.h"
#include "sound/quiet_libraries.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    // --help and --version answer without a display, before any window system is opened.
    if (std::optional<int> status = AnswerCommandLine(argc, argv)) return *status;
    // Without a display Qt would abort; the player is told instead.
    if (std::optional<std::string> line =
            MissingDisplayLine(ArgumentList(argc, argv), std::getenv)) {
        std::fprintf(stderr, "%s\n", line->c_str());
        return 1;
    }
    // Before any thread starts: the game says itself when it has no sound.
    QuietSoundLibraries();
    BrivelApp app(argc, argv);
    if (!app.InitInstance()) return 1;
    return app.exec();
}
