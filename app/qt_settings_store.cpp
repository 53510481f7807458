#include "app/qt_settings_store.h"

#include <QString>

namespace {

QString KeyOf(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

CQtSettingsStore::CQtSettingsStore() : settings_("Quenlo", "Brivel") {}

CQtSettingsStore::~CQtSettingsStore() {
    settings_.sync();
}

std::optional<std::int32_t> CQtSettingsStore::Read(std::string_view name) {
    // INI values come back as text; a list or a damaged entry gives no text, and text that is
    // not a decimal 32-bit integer gives no number.
    QString text = settings_.value(KeyOf(name)).toString().trimmed();
    bool isNumber = false;
    int number = text.toInt(&isNumber);
    if (!isNumber) return std::nullopt;
    return number;
}

void CQtSettingsStore::Write(std::string_view name, std::int32_t value) {
    settings_.setValue(KeyOf(name), QString::number(value));
}
