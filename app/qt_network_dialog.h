#pragma once

// Threads: user-interface thread only.

#include "framework/network_dialog.h"

#include <QPointer>
#include <QWidget>

/// The "Network game" dialog as a fixed-size Qt dialog, modal over the main window: the
/// other machine's address ("127.0.0.1" at the start, at most 99 UTF-16 units) and the army,
/// "Red" or "White" ("Red" at every opening). No buttons: Enter confirms, Esc and the close box
/// cancel. The event loop runs inside, so the timer keeps ticking.
class CQtNetworkDialog final : public CNetworkDialog {
public:
    /// Dialogs are centred over `parent` (may be null; held weakly). Each Run builds a dialog
    /// of its own and destroys it before returning.
    explicit CQtNetworkDialog(QWidget* parent) : parent_(parent) {}

    std::optional<NetworkChoice> Run() override;

private:
    QPointer<QWidget> parent_;
};
