#pragma once

// Threads: main thread, before any application object exists.

#include <QStringList>

#include <functional>
#include <optional>
#include <string>

/// Reads one environment variable: its value, or null when it is not set.
using EnvironmentReader = std::function<const char*(const char*)>;

/// The line to tell the player when the window would have nowhere to open, so that the game
/// says so instead of Qt aborting: no platform chosen (a -platform option or QT_QPA_PLATFORM),
/// no X display (DISPLAY) and no Wayland display (WAYLAND_DISPLAY, or Wayland's default socket
/// "wayland-0" in XDG_RUNTIME_DIR). Nothing whenever a display may be there: Qt then tries it.
/// `arguments` holds the program's name first.
std::optional<std::string> MissingDisplayLine(const QStringList& arguments,
                                              const EnvironmentReader& environment);
