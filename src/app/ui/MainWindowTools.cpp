// The main window's tool dialogs: conversion, fill and copy all, find and find next, and the
// selection by play time or size.
#include <QLabel>

#include "app/commands/Fill.h"
#include "app/ui/EditWindowLink.h"
#include "app/ui/MainWindow.h"
#include "app/ui/Text.h"
#include "app/ui/TrackListView.h"
#include "app/ui/WindowStacking.h"
#include "dialogs/Convert.h"
#include "dialogs/Find.h"
#include "dialogs/Mp3sel.h"
#include "dialogs/Unit3.h"

namespace wvr {

void MainWindow::C1Click() {
    if (!session_.rows.AnyChecked() && !session_.settings.Get(Option::CnvChkOff)) return;
    {
        TForm4 dialog(session_, *prompter_, this, this);
        dialog.exec();
    }
    ReloadEditWindow();
}

void MainWindow::OpenFillDialog(int field) {
    const int current = FocusedRow();
    if (current >= 0) {
        // Opened from the edit window it belongs to that window, so that it comes up above it.
        TForm3 dialog(session_, current, field, BoxOwner(this), this);
        dialog.exec();
    }
    fillField_ = 0;
    ReloadEditWindow();
}

void MainWindow::F2Click() {
    if (FocusedRow() < 0) return;
    OpenFillDialog(fillField_);
}

void MainWindow::C4Click() {
    if (CopyAllFields(session_, FocusedRow(), *prompter_)) ReloadEditWindow();
}

void MainWindow::Find2Click() {
    if (session_.rows.empty()) return;
    {
        TFindForm dialog(*this);
        dialog.exec();
    }
    panels_[0]->setText(" " + FromSjis(searchState_.SearchText));
    ReloadEditWindow();
}

void MainWindow::Find3Click() {
    const int focused = FocusedRow();
    if (focused < 0) return;
    if (searchState_.SearchText.empty()) {
        Find2Click();
        return;
    }
    const int found = FindNext(session_.rows, searchState_, focused, *prompter_);
    if (found >= 0) GoToRow(found);
}

void MainWindow::SelectClick() {
    if (session_.rows.empty()) return;
    // Nothing may be dropped onto the list while its rows are being chosen from.
    listView_->setAcceptDrops(false);
    {
        TMP3Select dialog(session_, *prompter_, this, this);
        dialog.exec();
    }
    listView_->setAcceptDrops(true);
    ReloadEditWindow();
    UpdateStatusBar();
}

}  // namespace wvr
