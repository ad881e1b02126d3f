#include "app/ui/BusyInputGate.h"

#include <QApplication>
#include <QEvent>

namespace wvr {

void BusyInputGate::Close() {
    if (closed_) return;
    closed_ = true;
    qApp->installEventFilter(this);
}

void BusyInputGate::Open() {
    if (!closed_) return;
    closed_ = false;
    qApp->removeEventFilter(this);
}

bool BusyInputGate::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Taken as wanted by the focus widget, so that no shortcut fires; the key itself is
        // dropped below.
        event->accept();
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
        // Windows pass input on to their widgets, where it is sorted.
        return watched->isWidgetType() && watched != open_;
    default:
        return false;
    }
}

}  // namespace wvr
