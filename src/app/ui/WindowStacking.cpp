#include "app/ui/WindowStacking.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace wvr {
namespace {

bool IsModalWindow(const QWidget* widget) {
    return widget->isWindow() && widget->isModal() && widget->windowType() != Qt::Popup;
}

// Puts a window about to appear into the stay-on-top layer. Its native window exists but is
// not mapped yet, so the window manager sees the hint as it maps it; the widget's own flags
// are set without recreating the window.
void KeepOnTop(QWidget* window) {
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) return;
    window->overrideWindowFlags(window->windowFlags() | Qt::WindowStaysOnTopHint);
    if (QWindow* handle = window->windowHandle()) handle->setFlags(handle->flags() | Qt::WindowStaysOnTopHint);
}

// How long after a modal window closed the window manager's own choice of the next active
// window is overruled.
constexpr qint64 kReturnFocusMs = 500;

}  // namespace

void ModalStacking::Install() {
    static const char* const kName = "ModalStacking";
    if (qApp->findChild<ModalStacking*>(kName, Qt::FindDirectChildrenOnly)) return;
    auto* watcher = new ModalStacking(qApp);
    watcher->setObjectName(kName);
    qApp->installEventFilter(watcher);
}

bool ModalStacking::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) return QObject::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::Show:
        if (IsModalWindow(widget) && AnyWindowStaysOnTop(widget)) KeepOnTop(widget);
        break;
    case QEvent::Hide:
        if (IsModalWindow(widget)) ReturnFocusToOwner(widget);
        break;
    case QEvent::WindowActivate:
        if (widget->isWindow()) OnWindowActivated(widget);
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

// A closed modal window hands the keyboard back to the window it belongs to, unless another
// modal window still blocks that one.
void ModalStacking::ReturnFocusToOwner(const QWidget* modal) {
    QWidget* owner = modal->parentWidget() ? modal->parentWidget()->window() : nullptr;
    const QWidget* blocking = QApplication::activeModalWidget();
    if (!owner || !owner->isVisible() || owner->isMinimized() || (blocking && blocking != owner)) return;
    returnTo_ = owner;
    closedAt_.start();
    // Asked of the native window: the widget still counts as active through the closed dialog.
    if (QWindow* handle = owner->windowHandle()) handle->requestActivate();
}

// The window manager may activate another window of ours after the owner had the focus back:
// the owner is asked for once more.
void ModalStacking::OnWindowActivated(QWidget* window) {
    if (!returnTo_ || window == returnTo_) return;
    QWidget* owner = returnTo_;
    returnTo_.clear();
    if (!QApplication::activeModalWidget() && closedAt_.elapsed() < kReturnFocusMs) owner->activateWindow();
}

bool AnyWindowStaysOnTop(const QWidget* except) {
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window != except && window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            return true;
    }
    return false;
}

QWidget* BoxOwner(QWidget* fallback) {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    return fallback;
}

}  // namespace wvr
