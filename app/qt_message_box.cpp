#include "app/qt_message_box.h"

#include <QMessageBox>

void CQtMessageBox::Show(std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, "Brivel",
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                    QMessageBox::Ok, parent_.data());
    box.exec();
}
