#include "app/ui/KeyPositionShortcuts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace wvr {
namespace {

constexpr Qt::KeyboardModifiers kShortcutModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

bool IsPosition(int key) { return key == Qt::Key_At || key == Qt::Key_BracketLeft || key == Qt::Key_Backslash; }

// Characters one of the three keys types, on a Japanese or a US layout, with or without Shift.
bool TypedByThoseKeys(int key) {
    switch (key) {
    case Qt::Key_At: case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: case Qt::Key_Backslash: case Qt::Key_Bar: case Qt::Key_yen: return true;
    default: return false;
    }
}

int Slot(int position, Qt::KeyboardModifiers modifiers) {
    return position | static_cast<int>((modifiers & kShortcutModifiers).toInt());
}

}  // namespace

int KeyPositionOf(int qtKey, bool shift) {
    // Japanese: "@" / "`", "[" / "{", "\" (or "¥") / "|". US: "`" / "~", "[" / "{", "\" / "|".
    switch (qtKey) {
    case Qt::Key_At: return shift ? 0 : Qt::Key_At;  // "@" with Shift is another key (US: 2)
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return Qt::Key_At;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return Qt::Key_BracketLeft;
    case Qt::Key_Backslash:
    case Qt::Key_yen:
    case Qt::Key_Bar: return Qt::Key_Backslash;
    default: return 0;
    }
}

KeyPositionShortcuts::KeyPositionShortcuts(QWidget* window) : QObject(window), window_(window) {
    for (QAction* action : window->findChildren<QAction*>()) {
        const QKeySequence keys = action->shortcut();
        if (keys.count() != 1 || !IsPosition(keys[0].key())) continue;
        actions_.insert(Slot(keys[0].key(), keys[0].keyboardModifiers()), action);
    }
    qApp->installEventFilter(this);
}

bool KeyPositionShortcuts::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!(key->modifiers() & Qt::ControlModifier) || !TypedByThoseKeys(key->key()) ||
        QApplication::activeWindow() != window_)
        return false;
    const int position = KeyPositionOf(key->key(), key->modifiers() & Qt::ShiftModifier);
    QAction* action = position ? actions_.value(Slot(position, key->modifiers())) : nullptr;
    if (event->type() == QEvent::ShortcutOverride) {
        // Qt's own matching by character is kept out; the key press then comes here.
        event->accept();
        return true;
    }
    if (!action) return false;
    if (action->isEnabled()) action->trigger();
    return true;
}

}  // namespace wvr
