#pragma once

// Threads: user-interface thread only.

#include "framework/message_box.h"

#include <QPointer>
#include <QWidget>

/// The game's messages as Qt message boxes: title "Brivel", the text, one OK button, no icon,
/// modal over the main window. The event loop runs inside, so the timer keeps ticking.
class CQtMessageBox final : public CMessageBox {
public:
    /// Boxes are centred over `parent` (may be null).
    explicit CQtMessageBox(QWidget* parent) : parent_(parent) {}

    void Show(std::string_view text) override;

private:
    QPointer<QWidget> parent_;
};
