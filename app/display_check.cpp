#include "app/display_check.h"

#include <filesystem>
#include <system_error>

namespace {

bool IsSet(const EnvironmentReader& environment, const char* name) {
    const char* value = environment(name);
    return value != nullptr && *value != '\0';
}

// Qt takes "-platform NAME", "--platform NAME" and the forms with "=".
bool ChoosesPlatform(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        for (const char* option : {"-platform", "--platform"}) {
            if (argument == QLatin1String(option) ||
                argument.startsWith(QLatin1String(option) + QLatin1Char('='))) {
                return true;
            }
        }
    }
    return false;
}

bool HasWaylandSocket(const EnvironmentReader& environment) {
    if (!IsSet(environment, "XDG_RUNTIME_DIR")) return false;
    std::error_code error;
    return std::filesystem::exists(
        std::filesystem::path(environment("XDG_RUNTIME_DIR")) / "wayland-0", error);
}

}  // namespace

std::optional<std::string> MissingDisplayLine(const QStringList& arguments,
                                              const EnvironmentReader& environment) {
    if (ChoosesPlatform(arguments) || IsSet(environment, "QT_QPA_PLATFORM") ||
        IsSet(environment, "DISPLAY") || IsSet(environment, "WAYLAND_DISPLAY") ||
        HasWaylandSocket(environment)) {
        return std::nullopt;
    }
    return "brivel: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is "
           "set); start Brivel from a desktop session.";
}
