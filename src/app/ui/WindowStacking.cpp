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

}  // namespace

void ModalStacking::Install() {
    static const char* const kName = "ModalStacking";
    if (qApp->findChild<ModalStacking*>(kName, Qt::FindDirectChildrenOnly)) return;
    auto* watcher = new ModalStacking(qApp);
    watcher->setObjectName(kName);
    qApp->installEventFilter(watcher);
}

bool ModalStacking::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (IsModalWindow(widget) && AnyWindowStaysOnTop(widget)) KeepOnTop(widget);
    }
    return QObject::eventFilter(watched, event);
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
