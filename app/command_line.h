#pragma once

// Threads: main thread, before any application object exists.

#include <QStringList>

#include <optional>
#include <string>

/// What the command line asks of the program before any window is made.
struct CommandLineAnswer {
    /// Set when the program is to end at once with this status: 0 after --help or --version,
    /// 2 after a command line it cannot use.
    std::optional<int> exitStatus;
    std::string out;  ///< for standard output
    std::string err;  ///< for standard error
};

/// Reads `arguments` (the program's name first). Qt's own options (-platform, -style, ...) are
/// accepted and left for the application object; --help and --version answer with their text;
/// anything else is refused with a message and a hint. Needs no application object and no
/// display.
CommandLineAnswer ReadCommandLine(const QStringList& arguments);

/// The process's command line as Qt strings, the program's name first.
QStringList ArgumentList(int argc, char** argv);

/// Reads the process's own command line; prints what the answer holds. The status to end with,
/// or nothing when the game is to start.
std::optional<int> AnswerCommandLine(int argc, char** argv);
