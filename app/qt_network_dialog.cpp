#include "app/qt_network_dialog.h"

#include <QButtonGroup>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>

namespace {

// The game copies the address into 100 bytes with a terminating zero, so the edit stops at 99.
constexpr int kMaxAddressLength = 99;

// The dialog has no OK button for QDialog to press on Enter, so it takes Enter itself. The
// address edit and the radio buttons leave Enter unhandled and it reaches us from either.
class NetworkGameDialog final : public QDialog {
public:
    explicit NetworkGameDialog(QWidget* parent);

    NetworkChoice Choice() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QHBoxLayout* MakeArmyChoice();

    QLineEdit* address_ = nullptr;
    QRadioButton* red_ = nullptr;
};

NetworkGameDialog::NetworkGameDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Network game");
    setModal(true);
    // Made first, so the address edit leads the tab order and takes the focus.
    address_ = new QLineEdit("127.0.0.1", this);
    address_->setMaxLength(kMaxAddressLength);
    auto* form = new QFormLayout(this);
    form->setSizeConstraint(QLayout::SetFixedSize);
    form->addRow("Remote IP:", address_);
    form->addRow("I play:", MakeArmyChoice());
    address_->setFocus();
}

QHBoxLayout* NetworkGameDialog::MakeArmyChoice() {
    red_ = new QRadioButton("Red", this);
    auto* white = new QRadioButton("White", this);
    auto* army = new QButtonGroup(this);
    army->addButton(red_);
    army->addButton(white);
    red_->setChecked(true);  // at every opening, whatever was chosen the time before
    auto* row = new QHBoxLayout;
    row->addWidget(red_);
    row->addWidget(white);
    row->addStretch();
    return row;
}

NetworkChoice NetworkGameDialog::Choice() const {
    return {red_->isChecked(), address_->text().toStdU16String()};
}

void NetworkGameDialog::keyPressEvent(QKeyEvent* event) {
    bool isEnter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isEnter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);  // Esc rejects
}

}  // namespace

std::optional<NetworkChoice> CQtNetworkDialog::Run() {
    NetworkGameDialog dialog(parent_.data());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}
