// The player keys "@", "[" and "\" are keys of the keyboard (virtual keys C0, DB and DC),
// not characters: Shift+Ctrl+@ is Shift and Ctrl held on the "@" key. Qt matches shortcuts
// by the character typed, so on a US layout, where "@" is Shift+2, Shift+Ctrl+@ could not be
// typed and gave Ctrl+@. The window's actions whose shortcut ends in one of these keys are
// matched here by the key pressed, whatever character Shift makes of it; the shortcut stays
// on the action for the menus to show.
#pragma once

#include <QHash>
#include <QObject>

class QAction;
class QKeyEvent;
class QWidget;

namespace wvr {

// The key a key event was typed on, named by the character it types unshifted on a Japanese
// layout (Qt::Key_At, Qt::Key_BracketLeft, Qt::Key_Backslash); 0 for any other key.
int KeyPositionOf(int qtKey, bool shift);

class KeyPositionShortcuts : public QObject {
public:
    // Takes over the matching of `window`'s actions that have such shortcuts.
    explicit KeyPositionShortcuts(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    QHash<int, QAction*> actions_;  // by key position and modifiers
};

}  // namespace wvr
