#pragma once

// Threads: the application object lives on the user-interface thread. Building it starts the
// rendering thread (inside the scene queue) and the sound thread (inside the sound effects);
// destroying it stops and joins both, in the reverse order of construction, and every other
// thread the game started: the network session's peer thread, the opponent's helper thread and
// the OpenGL implementation's own (the display is let go). Only the caller's thread is left.

#include <QApplication>

#include <memory>

class CMainFrame;
class CQtMessageBox;
class CQtNetworkDialog;
class CQtSettingsStore;

/// The application object: builds the program-wide objects in order, starts up (settings,
/// main window, timer), and takes them down in reverse order at the end.
class BrivelApp final : public QApplication {
public:
    /// Builds the flag, the graphics object with its rendering thread, the table's fixed
    /// sides, the two sound players and the sound thread, in this order.
    BrivelApp(int& argc, char** argv);
    ~BrivelApp() override;

    /// Names the application, reads the settings, creates and shows the main window. False
    /// when there is no OpenGL context (the player was told in a message box) or the window
    /// could not be made.
    bool InitInstance();

    /// The main window once start-up has made it.
    CMainFrame* MainFrame() const { return mainFrame_.get(); }

private:
    /// Tells the player what is missing: a box when there is no OpenGL context (false: the game
    /// cannot go on), one line on standard error for each thing the game plays on without.
    bool ReportMissingParts() const;

    struct ProgramObjects;
    std::unique_ptr<ProgramObjects> objects_;
    std::unique_ptr<CQtSettingsStore> store_;
    std::unique_ptr<CQtMessageBox> messageBox_;
    std::unique_ptr<CQtNetworkDialog> networkDialog_;
    std::unique_ptr<CMainFrame> mainFrame_;
};
