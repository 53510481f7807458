#pragma once

#include <QDialog>

/// The About box: the game's icon, name and version, a word about the homepage, and "OK".
class CAboutBox final : public QDialog {
public:
    explicit CAboutBox(QWidget* parent = nullptr);
};
