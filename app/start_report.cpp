#include "app/start_report.h"

#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

std::string OpenGlFailureText(std::string_view failure) {
    return "Brivel could not start OpenGL: " + std::string(failure) +
           ".\n\nInstall your graphics driver's EGL and OpenGL libraries (on Debian: "
           "libegl-mesa0 libgl1-mesa-dri), then start Brivel again.";
}

void ReportStartFailure(const std::string& text) {
    QString message = QString::fromStdString(text);
    // The same words on one line, for whoever started the game from a terminal; the line
    // names the game already.
    QString line = message.simplified();
    if (line.startsWith(QStringLiteral("Brivel "))) line.remove(0, 7);
    std::fprintf(stderr, "brivel: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Brivel"), message, QMessageBox::Ok);
    if (const char* closeAfter = std::getenv("BRIVEL_TEST_CLOSE_BOX_MS")) {
        QTimer::singleShot(std::atoi(closeAfter), &box, &QMessageBox::accept);
    }
    box.exec();
}

std::vector<std::string> ShortfallLines(bool hasSoundDevice, bool hasFont,
                                        const std::vector<int>& undecodedPictures) {
    std::vector<std::string> lines;
    if (!hasSoundDevice) lines.emplace_back("brivel: no sound device; the game plays silently");
    if (!hasFont) {
        lines.emplace_back(
            "brivel: no font found (install fonts-dejavu-core); the texts are "
            "not drawn");
    }
    if (!undecodedPictures.empty()) {
        std::string ids;
        for (int id : undecodedPictures)
            ids += (ids.empty() ? "" : ", ") + std::to_string(id);
        const bool one = undecodedPictures.size() == 1;
        lines.push_back("brivel: " + std::string(one ? "picture " : "pictures ") + ids +
                        " could not be decoded; " +
                        (one ? "a plain texture stands in" : "plain textures stand in"));
    }
    return lines;
}
