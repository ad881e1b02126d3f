// Where the program's modal windows (message boxes, choosers, tool dialogs) stand: above every
// window of the program, the edit window that stays on top of everything included, whichever
// window the command came from.
#pragma once

#include <QObject>

class QWidget;

namespace wvr {

// Watches every window the program shows: a modal one comes up in the stay-on-top layer while
// a window of the program is there, so that nothing of ours covers it. One per application;
// the main window installs it.
class ModalStacking : public QObject {
public:
    using QObject::QObject;
    // Installs one watcher on the application (again: nothing more happens).
    static void Install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Whether a visible window of the program other than `except` stays above other windows.
bool AnyWindowStaysOnTop(const QWidget* except = nullptr);

// The window a box belongs to: the open modal window, else the program's active window, else
// `fallback`. The box is centred over it.
QWidget* BoxOwner(QWidget* fallback);

}  // namespace wvr
