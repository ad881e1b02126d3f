// The busy section of a tool dialog: wait cursor and the dialog disabled while it works.
#pragma once

#include <QApplication>
#include <QWidget>

#include "app/commands/Session.h"

namespace wvr {

class DialogBusy : public BusyIndicator {
public:
    explicit DialogBusy(QWidget* dialog) : dialog_(dialog) {}
    void Begin() override {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        dialog_->setEnabled(false);
    }
    void End() override {
        dialog_->setEnabled(true);
        QApplication::restoreOverrideCursor();
    }

private:
    QWidget* dialog_;
};

}  // namespace wvr
