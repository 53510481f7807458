#include "app/brivel_app.h"

#include "app/child_view.h"
#include "app/main_frame.h"
#include "app/qt_message_box.h"
#include "app/qt_network_dialog.h"
#include "app/qt_settings_store.h"
#include "app/sound_adapter.h"
#include "app/start_report.h"
#include "app/start_up.h"
#include "app/view_frame_sink.h"
#include "app/view_pixels.h"
#include "framework/background_music.h"
#include "framework/effect_sounds.h"
#include "framework/message_box.h"
#include "framework/network_dialog.h"
#include "framework/program_queue.h"
#include "framework/render_queue.h"
#include "framework/screen.h"
#include "framework/thread_priority.h"
#include "game/board.h"
#include "game/flag.h"
#include "game/helper_thread.h"
#include "graphics/opengl.h"
#include "net/network_session.h"
#include "screens/screen_main.h"
#include "sound/sound_effects.h"

#include <QScreen>

#include <cstdio>
#include <vector>

namespace {

// Program-start state of the flag cloth, made before the graphics object.
struct FlagStart {
    FlagStart() { InitFlag(Flag); }
};

// The flag's derived constants and the piece table's fixed sides, made after the graphics
// object.
struct TableStart {
    TableStart() {
        (void)FlagShearConstants();
        InitBoardAndCamera(Board, Camera);
    }
};

// Made before the graphics object and so gone after it: then the display it drew on is let go,
// and with it the OpenGL implementation's own threads.
struct DisplayEnd {
    DisplayEnd() = default;
    DisplayEnd(const DisplayEnd&) = delete;
    DisplayEnd& operator=(const DisplayEnd&) = delete;
    ~DisplayEnd() { EglContext::TerminateDisplay(); }
};

QSize SurfaceSize() {
    // Frames are drawn at the view's device pixels, and the window may be moved to any screen:
    // the largest frame is the largest screen's size times its ratio.
    std::vector<ScreenPixels> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.push_back({screen->size(), screen->devicePixelRatio()});
    return LargestDeviceSize(screens,
                             QSize(COpenGL::kDefaultSurfaceWidth, COpenGL::kDefaultSurfaceHeight));
}

}  // namespace

// The program-wide objects in their order of construction; they go in reverse. The frame sink
// comes first so that it outlives the rendering thread that calls it.
struct BrivelApp::ProgramObjects {
    ProgramObjects();
    ~ProgramObjects();

    CViewFrameSink frameSink;
    FlagStart flag;
    DisplayEnd display;
    COpenGL graphics{SurfaceSize().width(), SurfaceSize().height()};
    CRenderQueue queue{graphics};  // starts the rendering thread
    TableStart table;
    SoundEffects sounds;  // the charge and fall players, then the sound thread
    CSoundAdapter charge{sounds.ChargeSound};
    CSoundAdapter fall{sounds.FallSound};
    CMusicAdapter music{sounds.Music};
};

BrivelApp::ProgramObjects::ProgramObjects() {
    graphics.SetFrameSink(&frameSink);
    SetProgramQueue(&queue);
    SetEffectSounds(&charge, &fall);
    SetBackgroundMusic(&music);
}

BrivelApp::ProgramObjects::~ProgramObjects() {
    SetBackgroundMusic(nullptr);
    SetEffectSounds(nullptr, nullptr);
    SetProgramQueue(nullptr);
}

BrivelApp::BrivelApp(int& argc, char** argv)
    : QApplication(argc, argv), objects_(std::make_unique<ProgramObjects>()) {
    CurrentScreen = &ScreenMain;
}

bool BrivelApp::ReportMissingParts() const {
    const COpenGL& graphics = objects_->graphics;
    // Without a context every frame would stay black: the player is told why and the game ends.
    if (!graphics.IsReady()) {
        ReportStartFailure(OpenGlFailureText(graphics.ContextFailure()));
        return false;
    }
    for (const std::string& line : ShortfallLines(objects_->sounds.HasDevice(), graphics.HasFont(),
                                                  graphics.UndecodedPictures())) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    return true;
}

BrivelApp::~BrivelApp() {
    if (mainFrame_ != nullptr) objects_->frameSink.Attach(nullptr);
    SetNetworkDialog(nullptr);
    mainFrame_.reset();
    // No tick runs any more. What the screens started ends here, before main returns: the
    // network session with its peer's thread, and the opponent's helper thread.
    CloseNetworkSession();
    HelperThread::Stop();
    SetMessageBox(nullptr);
    SetSettingsStore(nullptr);
}

bool BrivelApp::InitInstance() {
    setApplicationName("Brivel");
    if (!ReportMissingParts()) return false;
    setOrganizationName("Quenlo");
    store_ = std::make_unique<CQtSettingsStore>();
    SetSettingsStore(store_.get());
    std::optional<QSize> viewSize = StoredViewSize(ScreenLimit());
    ReadStoredVolumes();
    ReadStoredLevel();
    ReadStoredControls();

    mainFrame_ = std::make_unique<CMainFrame>();
    objects_->frameSink.Attach(mainFrame_->View());
    messageBox_ = std::make_unique<CQtMessageBox>(mainFrame_.get());
    SetMessageBox(messageBox_.get());
    networkDialog_ = std::make_unique<CQtNetworkDialog>(mainFrame_.get());
    SetNetworkDialog(networkDialog_.get());
    RaiseCurrentThreadPriority();
    if (viewSize) SizeViewTo(*mainFrame_, *viewSize);
    // Sized first, so that leaving full screen finds the stored windowed size.
    if (StoredSwitch("fullscreen", false)) {
        mainFrame_->SetFullScreen(true);
    } else {
        mainFrame_->show();
    }
    mainFrame_->activateWindow();
    mainFrame_->raise();
    mainFrame_->View()->repaint();
    return true;
}
