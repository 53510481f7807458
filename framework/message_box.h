#pragma once

// Threads: user-interface thread only.

#include <string_view>

/// Shows the game's messages: a modal box titled "Brivel" with the text and an OK button,
/// no icon. The 50 ms timer keeps ticking while it is open.
class CMessageBox {
public:
    /// Shows `text` and returns when the player has closed the box.
    virtual void Show(std::string_view text) = 0;

protected:
    ~CMessageBox() = default;  // owned by whoever installs it
};

/// Installs the message box; null (the start) makes ShowMessage do nothing. Not owned.
void SetMessageBox(CMessageBox* box);
/// Shows `text` modally through the installed message box.
void ShowMessage(std::string_view text);
