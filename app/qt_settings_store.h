#pragma once

// Threads: user-interface thread only.

#include "framework/settings_store.h"

#include <QSettings>

/// The per-user settings store: QSettings of organisation "Quenlo", application "Brivel", an
/// INI file under the user's configuration folder ($XDG_CONFIG_HOME/Quenlo/Brivel.conf).
/// A value that is not a 32-bit integer counts as absent; a file that cannot be read or
/// written is ignored. The file is always replaced whole (QSettings writes a temporary file
/// and renames it), so a game killed while writing leaves the old settings or the new.
class CQtSettingsStore final : public CSettingsStore {
public:
    /// Removes the lock file a killed game may have left, unless a live writer holds it.
    CQtSettingsStore();
    /// Writes out whatever is still pending.
    ~CQtSettingsStore();

    std::optional<std::int32_t> Read(std::string_view name) override;
    void Write(std::string_view name, std::int32_t value) override;

private:
    QSettings settings_;
};
