#include "app/qt_settings_store.h"

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// QSettings writes the file while holding "<file>.lock", which every live writer also holds a
// flock on. A game killed at the wrong moment leaves the lock file behind, possibly empty; Qt
// takes an empty one for a live writer's until it is 30 s old, and every write of settings
// (the one at the end of the game too) would wait that long. One that nobody holds is removed.
void RemoveAbandonedLock(const QString& settingsFile) {
    const QByteArray lockName = QFile::encodeName(settingsFile + ".lock");
    const int fd = open(lockName.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;  // there is none
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) unlink(lockName.constData());
    close(fd);
}

QString KeyOf(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

CQtSettingsStore::CQtSettingsStore() : settings_("Quenlo", "Brivel") {
    RemoveAbandonedLock(settings_.fileName());
}

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
