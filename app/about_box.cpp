#include "app/about_box.h"

#include "app/game_icon.h"

#include <QLabel>
#include <QPushButton>

namespace {

// The box is laid out in dialog units (a quarter of an average character across, an eighth of
// a line down); at the usual 8-point face these come to about 1.5 and 1.625 pixels.
QRect DialogRect(int x, int y, int width, int height) {
    auto across = [](int units) { return units * 3 / 2; };
    auto down = [](int units) { return units * 13 / 8; };
    return {across(x), down(y), across(width), down(height)};
}

}  // namespace

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About");
    setModal(true);
    setFixedSize(DialogRect(0, 0, 138, 78).size());

    auto* icon = new QLabel(this);
    icon->setGeometry(DialogRect(7, 7, 21, 20));
    icon->setPixmap(GameIcon().pixmap(icon->size()));

    auto* name = new QLabel("Brivel v.1.0-beta", this);
    name->setGeometry(DialogRect(33, 8, 73, 8));

    auto* visit =
        new QLabel("Please visit the game homepage\nfor more information and updates", this);
    visit->setGeometry(DialogRect(15, 31, 109, 19));

    auto* ok = new QPushButton("OK", this);
    ok->setGeometry(DialogRect(43, 55, 50, 16));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
