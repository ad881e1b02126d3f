// The busy section of a tool dialog: wait cursor and the dialog disabled while it works; the
// main window, when given, is busy too and shows the progress.
#pragma once

#include <QApplication>
#include <QWidget>

#include "app/commands/Session.h"

namespace wvr {

class DialogBusy : public BusyIndicator {
public:
    explicit DialogBusy(QWidget* dialog, BusyIndicator* window = nullptr) : dialog_(dialog), window_(window) {}
    void Begin() override {
        if (window_) window_->Begin();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        dialog_->setEnabled(false);
    }
    void End() override {
        dialog_->setEnabled(true);
        QApplication::restoreOverrideCursor();
        if (window_) window_->End();
    }
    void Progress(int done, int total) override {
        if (window_) window_->Progress(done, total);
    }
    bool Cancelled() override { return window_ && window_->Cancelled(); }

private:
    QWidget* dialog_;
    BusyIndicator* window_;
};

}  // namespace wvr
