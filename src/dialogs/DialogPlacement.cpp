#include "dialogs/DialogPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace wvr {
namespace {

// What the frame adds to the window's size: measured once the window has been shown,
// estimated from the style before.
QSize FrameExtra(const QWidget* window) {
    const QSize measured = window->frameGeometry().size() - window->size();
    if (window->isVisible() && !measured.isEmpty()) return measured;
    const int border = 2 * window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, window) + 4;
    return {border, border + window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window)};
}

}  // namespace

void CenterOver(QWidget* dialog, const QWidget* owner) {
    if (!owner) return;
    dialog->adjustSize();
    PlaceCentered(dialog, owner);
}

void PlaceCentered(QWidget* window, const QWidget* owner) {
    if (!owner) return;
    const QRect o = owner->frameGeometry();
    window->move(o.left() + static_cast<int>((o.width() - window->width()) * 0.5),
                 o.top() + static_cast<int>((o.height() - window->height()) * 0.5));
    FitToScreen(window);
}

void FitToScreen(QWidget* window) {
    const QSize extra = FrameExtra(window);
    const QRect outer(window->pos(), window->size() + extra);
    const QScreen* screen = QGuiApplication::screenAt(outer.center());
    if (!screen) screen = window->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize room = area.size() - extra;
    if (window->width() > room.width() || window->height() > room.height())
        window->resize(window->size().boundedTo(room));
    // A window with a larger minimum than the room keeps its top left corner on the screen.
    const int x = std::clamp(window->x(), area.left(), std::max(area.left(), area.right() + 1 - window->width() - extra.width()));
    const int y = std::clamp(window->y(), area.top(), std::max(area.top(), area.bottom() + 1 - window->height() - extra.height()));
    window->move(x, y);
}

}  // namespace wvr
