// The "Network game" dialog on the real window: its look at opening, the keys and clicks that
// confirm or cancel it, and the address exactly as typed.

#include "app/qt_network_dialog.h"
#include "net/network_session.h"
#include "screens/screen_main.h"
#include "screens/screen_playn.h"
#include "tests/app/window_fixture.h"
#include "tests/net/free_port.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>

namespace {

using Play = std::function<void(QDialog&)>;

QLineEdit* AddressOf(QDialog& dialog) {
    return dialog.findChild<QLineEdit*>();
}

QRadioButton* RadioOf(QDialog& dialog, const QString& text) {
    for (QRadioButton* radio : dialog.findChildren<QRadioButton*>())
        if (radio->text() == text) return radio;
    ADD_FAILURE() << "no radio button " << text.toStdString();
    return nullptr;
}

// Types `text` into the focused widget, one key press per UTF-16 unit (a surrogate pair as one
// press), as a keyboard or an input method would deliver it.
void Type(const std::u16string& text) {
    QString typed = QString::fromStdU16String(text);
    for (qsizetype at = 0; at < typed.size();) {
        qsizetype length = typed.at(at).isHighSurrogate() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                            typed.mid(at, length), Qt::NoModifier);
        at += length;
    }
}

void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// Replaces the address by `text`, as a player selecting it all and typing over it.
void TypeAddress(QDialog& dialog, const std::u16string& text) {
    QTest::mouseClick(AddressOf(dialog), Qt::LeftButton);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    Type(text);
}

class NetworkDialog : public WindowTest {
protected:
    // Runs the real dialog over the main window; once it is open, `play` does the player's
    // part on it. A dialog still open after five seconds is closed as a failure.
    std::optional<NetworkChoice> RunPlaying(const Play& play) {
        QObject scope;  // cancels the timers below if Run returns without opening anything
        QTimer::singleShot(0, &scope, [play] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return ADD_FAILURE() << "no modal dialog";
            // Keys go where the window system sends them: the focus of the active window.
            // (qWaitForWindowActive answers too early while the main window still has it.)
            if (!QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; }))
                ADD_FAILURE() << "the dialog is not active";
            play(*dialog);
        });
        QTimer::singleShot(5000, &scope, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "the dialog is still open";
                modal->close();
            }
        });
        return CQtNetworkDialog(&Frame()).Run();
    }
};

TEST_F(NetworkDialog, OpensWithTheDefaultsWhateverWasChosenBefore) {
    // Every opening shows the caption, the two labels, "127.0.0.1", "Red" checked and no
    // button, with the focus in the address, at a fixed size; the timer ticks behind it.
    RecordingScreen screen;
    CurrentScreen = &screen;
    std::optional<NetworkChoice> before = RunPlaying([](QDialog& dialog) {
        RadioOf(dialog, "White")->click();
        PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(before.has_value() && !before->playsRed);
    QString title, address;
    QStringList labels;
    bool redChecked = false, whiteChecked = true, focusInAddress = false, fixedSize = false;
    int buttons = -1, ticksWhileOpen = 0;
    RunPlaying([&](QDialog& dialog) {
        title = dialog.windowTitle();
        for (QLabel* label : dialog.findChildren<QLabel*>())
            labels << label->text();
        address = AddressOf(dialog)->text();
        redChecked = RadioOf(dialog, "Red")->isChecked();
        whiteChecked = RadioOf(dialog, "White")->isChecked();
        focusInAddress = QApplication::focusWidget() == AddressOf(dialog);
        fixedSize = dialog.minimumSize() == dialog.maximumSize();
        buttons = static_cast<int>(dialog.findChildren<QPushButton*>().size());
        int start = screen.ticks;
        QTest::qWait(200);
        ticksWhileOpen = screen.ticks - start;
        PressKey(Qt::Key_Escape);
    });
    EXPECT_EQ(title, "Network game");
    EXPECT_EQ(labels, (QStringList{"Remote IP:", "I play:"}));
    EXPECT_EQ(address, "127.0.0.1");
    EXPECT_TRUE(redChecked);
    EXPECT_FALSE(whiteChecked);
    EXPECT_TRUE(focusInAddress);
    EXPECT_TRUE(fixedSize);
    EXPECT_EQ(buttons, 0);
    EXPECT_GE(ticksWhileOpen, 2);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

struct Outcome {
    const char* name;
    Play play;
    std::optional<NetworkChoice> expected;  // nothing: cancelled
};

void PrintTo(const Outcome& outcome, std::ostream* out) {
    *out << outcome.name;
}

std::string NameOf(const testing::TestParamInfo<Outcome>& info) {
    return info.param.name;
}

const std::u16string kLongAddress(150, u'7');
const std::u16string kWideAddress = u"\u03A9.\u4F8B\U0001D11E";  // Ω.例 and a surrogate pair

const Outcome kOutcomes[] = {
    {"EnterAtOnceHostsAsRed", [](QDialog&) { PressKey(Qt::Key_Return); },
     NetworkChoice{true, u"127.0.0.1"}},
    {"KeypadEnterConfirms", [](QDialog&) { PressKey(Qt::Key_Enter, Qt::KeypadModifier); },
     NetworkChoice{true, u"127.0.0.1"}},
    {"WhiteClickedAndAddressTyped",
     [](QDialog& dialog) {
         QTest::mouseClick(RadioOf(dialog, "White"), Qt::LeftButton);
         TypeAddress(dialog, u"192.0.2.5");
         PressKey(Qt::Key_Return);
     },
     NetworkChoice{false, u"192.0.2.5"}},
    {"EnterOnTheWhiteRadio",
     [](QDialog& dialog) {
         RadioOf(dialog, "White")->setFocus();
         PressKey(Qt::Key_Space);
         PressKey(Qt::Key_Return);
     },
     NetworkChoice{false, u"127.0.0.1"}},
    {"EscapeCancelsWhatWasTyped",
     [](QDialog& dialog) {
         TypeAddress(dialog, u"192.0.2.5");
         PressKey(Qt::Key_Escape);
     },
     std::nullopt},
    {"CloseBoxCancels", [](QDialog& dialog) { dialog.close(); }, std::nullopt},
    {"AddressStopsAt99Units",
     [](QDialog& dialog) {
         TypeAddress(dialog, kLongAddress);
         PressKey(Qt::Key_Return);
     },
     NetworkChoice{true, kLongAddress.substr(0, 99)}},
    {"WideCharactersComeBackAsTheirUnits",
     [](QDialog& dialog) {
         TypeAddress(dialog, kWideAddress);
         PressKey(Qt::Key_Return);
     },
     NetworkChoice{true, kWideAddress}},
};

class NetworkDialogOutcome : public NetworkDialog, public testing::WithParamInterface<Outcome> {};

TEST_P(NetworkDialogOutcome, ReturnsWhatThePlayerChose) {
    // Enter (main or keypad, from the address or a radio button) returns the army and the
    // address as typed; Esc and the close box return nothing.
    std::optional<NetworkChoice> choice = RunPlaying(GetParam().play);
    const std::optional<NetworkChoice>& expected = GetParam().expected;
    ASSERT_EQ(choice.has_value(), expected.has_value());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    if (!expected) return;
    EXPECT_EQ(choice->playsRed, expected->playsRed);
    EXPECT_EQ(choice->remoteAddress, expected->remoteAddress);
}

INSTANTIATE_TEST_SUITE_P(Keys, NetworkDialogOutcome, testing::ValuesIn(kOutcomes), NameOf);

// The main menu's "NETWORK" through the real window and the real dialog: Esc cancels with no
// peer made; Enter with the defaults makes this machine the Red host and shows the network
// play screen.
class NetworkMenuItem : public NetworkDialog {
protected:
    NetworkMenuItem() {
        SetGamePort(FreeUdpPort());
        SetNetworkDialog(&dialog_);
    }
    ~NetworkMenuItem() override {
        CloseNetworkSession();
        SetNetworkDialog(nullptr);
        SetGamePort(kGamePort);
        CurrentScreen = &ScreenMain;
    }

    // Clicks "NETWORK"; once the dialog is up, presses `key` in it.
    void ChooseNetworkAndPress(Qt::Key key) {
        QObject scope;
        QTimer::singleShot(0, &scope, [key] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return ADD_FAILURE() << "NETWORK opened no dialog";
            if (!QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; }))
                ADD_FAILURE() << "the dialog is not active";
            PressKey(key);
        });
        ClickAt(0.3, 0.44);
    }

    CQtNetworkDialog dialog_{&Frame()};
};

TEST_F(NetworkMenuItem, EscCancelsWithNoPeer) {
    ChooseNetworkAndPress(Qt::Key_Escape);
    EXPECT_EQ(CurrentScreen, &ScreenMain);
    EXPECT_EQ(NetPeer, nullptr);
}

TEST_F(NetworkMenuItem, EnterHostsTheRedArmy) {
    ChooseNetworkAndPress(Qt::Key_Return);
    EXPECT_EQ(CurrentScreen, &ScreenPlayN);
    ASSERT_NE(NetPeer, nullptr);
    EXPECT_EQ(NetPeer->BoundPort(), GamePort());
    EXPECT_EQ(ScreenPlayN.sideInControl, kRed);
}

}  // namespace
