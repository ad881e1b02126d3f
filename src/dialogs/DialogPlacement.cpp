#include "dialogs/DialogPlacement.h"

#include <QWidget>

namespace wvr {

void CenterOver(QWidget* dialog, const QWidget* owner) {
    if (!owner) return;
    dialog->adjustSize();
    const QRect o = owner->frameGeometry();
    dialog->move(o.left() + static_cast<int>((o.width() - dialog->width()) * 0.5),
                 o.top() + static_cast<int>((o.height() - dialog->height()) * 0.5));
}

}  // namespace wvr
