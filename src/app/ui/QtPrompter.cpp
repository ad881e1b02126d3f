#include "app/ui/QtPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "app/ui/Text.h"
#include "app/ui/WindowStacking.h"

namespace wvr {
namespace {

QMessageBox::Icon IconOf(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Stop: return QMessageBox::Critical;
    case PromptIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

PromptAnswer QtPrompter::Ask(const Prompt& prompt) {
    // Over the window the user works in (the edit window, a tool dialog), and above all of
    // the program's windows (ModalStacking), wherever the command came from.
    QWidget* owner = BoxOwner(parent_);
    QMessageBox box(IconOf(prompt.icon), FromUtf8(prompt.title), FromUtf8(prompt.text), QMessageBox::NoButton,
                    owner);
    // A question may come while the program is busy or in the background: bring it forward.
    if (owner) {
        owner->window()->raise();
        owner->window()->activateWindow();
    }
    switch (prompt.buttons) {
    case PromptButtons::Ok: box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole); break;
    case PromptButtons::YesNo:
        box.setDefaultButton(box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole));
        box.setEscapeButton(box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole));
        break;
    case PromptButtons::OkCancel:
        box.setDefaultButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
        box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        break;
    }
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QApplication::restoreOverrideCursor();
    const auto role = box.buttonRole(box.clickedButton());
    switch (prompt.buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::YesNo: return role == QMessageBox::YesRole ? PromptAnswer::Yes : PromptAnswer::No;
    case PromptButtons::OkCancel: return role == QMessageBox::AcceptRole ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }
    return PromptAnswer::No;
}

}  // namespace wvr
