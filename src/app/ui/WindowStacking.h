// Where the program's modal windows (message boxes, choosers, tool dialogs) stand: above every
// window of the program, the edit window that stays on top of everything included, whichever
// window the command came from.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QWidget;

namespace wvr {

// Watches every window the program shows: a modal one comes up in the stay-on-top layer while
// a window of the program is there, so that nothing of ours covers it, and when it closes the
// window it belongs to is active again. One per application; the main window installs it.
class ModalStacking : public QObject {
public:
    using QObject::QObject;
    // Installs one watcher on the application (again: nothing more happens).
    static void Install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ReturnFocusToOwner(const QWidget* modal);
    void OnWindowActivated(QWidget* window);

    // The window a modal window that just closed belonged to: a window manager that passes
    // the focus on by an order of its own skips a tool window such as the edit window and
    // activates another window of ours, which would then take the keys typed next.
    QPointer<QWidget> returnTo_;
    QElapsedTimer closedAt_;
};

// Whether a visible window of the program other than `except` stays above other windows.
bool AnyWindowStaysOnTop(const QWidget* except = nullptr);

// The window a box belongs to: the open modal window, else the program's active window, else
// `fallback`. The box is centred over it.
QWidget* BoxOwner(QWidget* fallback);

}  // namespace wvr
