// The main window's list commands: check marks, delete, move, sort, header clicks, column
// widths, the keys and mouse of the list, and the view toggles.
#include <QHeaderView>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

#include "app/commands/ListEditing.h"
#include "app/ui/ColumnFit.h"
#include "app/ui/EditWindowLink.h"
#include "app/ui/MainWindow.h"
#include "app/ui/Text.h"
#include "app/ui/TrackListView.h"
#include "app/ui/TrackTableModel.h"

namespace wvr {
namespace {

constexpr int kRestoredWidth = 50;  // a hidden column shown again

}  // namespace

// --- check marks

void MainWindow::SelectAll1Click() {
    BusySection busy(this);
    CheckAll(session_.rows);
}

void MainWindow::R3Click() {
    BusySection busy(this);
    UncheckAll(session_.rows);
}

void MainWindow::SelReturn1Click() {
    BusySection busy(this);
    InvertChecks(session_.rows);
}

void MainWindow::C2Click() {
    ToggleCheck(session_.rows, FocusedRow());
    ReloadEditWindow();
}

void MainWindow::OnToggleKey() {
    const int row = FocusedRow();
    if (row < 0) return;
    ToggleCheck(session_.rows, row);
    if (row + 1 < session_.rows.size()) GoToRow(row + 1);
    ReloadEditWindow();
}

// --- delete and move

void MainWindow::Delete1Click() {
    const int row = FocusedRow();
    if (row < 0) return;
    session_.rows.Remove(row);
    UpdateStatusBar();
}

void MainWindow::C3Click() {
    const bool removed = DeleteCheckedRows(session_.rows, *prompter_);
    UpdateStatusBar();
    if (removed) ReloadEditWindow();
}

void MainWindow::MoveUpClick() {
    const int moved = MoveRow(session_.rows, SelectedRow(), true);
    if (moved >= 0) GoToRow(moved);
}

void MainWindow::MoveDownClick() {
    const int moved = MoveRow(session_.rows, SelectedRow(), false);
    if (moved >= 0) GoToRow(moved);
}

// --- header clicks and sorting

void MainWindow::ListView1ColumnClick(int column) {
    // A click on the header of an empty list changes nothing, whatever it is set to do.
    if (session_.rows.empty()) return;
    switch (session_.settings.EdtClmIdx) {
    case 0:
        SortRows(session_, column);
        ReloadEditWindow();
        break;
    case 2:
        session_.settings.columnWidths[column] = FittedWidth(column);
        ApplyAllColumnWidths();
        break;
    case 1:
        // Column 0 has no tag field to fill.
        if (column > 0 && (session_.rows.AnyChecked() || session_.settings.Get(Option::FilChkOff)) &&
            FocusedRow() >= 0) {
            fillField_ = column - 1;
            F2Click();
        }
        break;
    default: break;
    }
}

// --- column widths

// The widest item text of the column over every row, with the margins (and, in column 0, the
// check box) that the list draws around a text.
int MainWindow::FittedWidth(int column) const {
    if (session_.rows.empty()) return listView_->horizontalHeader()->minimumSectionSize() + 8;
    CharacterWidths widths(listView_->font());
    const WidestText widest = WidestInColumn(session_.rows, column, widths);
    // The widest row exactly as the list measures it; the others within a pixel or so.
    const QModelIndex sample = model_->index(std::max(widest.row, 0), column);
    const int cell = listView_->sizeHintForIndex(sample).width();
    const int margins = cell - listView_->fontMetrics().horizontalAdvance(sample.data().toString());
    return std::max(cell, widest.width + margins) + (listView_->showGrid() ? 1 : 0);
}

void MainWindow::ApplyColumnWidth(int column, int stored) {
    QHeaderView* header = listView_->horizontalHeader();
    applyingWidths_ = true;
    if (stored == 0) {
        header->hideSection(column);
    } else {
        header->showSection(column);
        header->resizeSection(column, stored < 0 ? FittedWidth(column) : stored);
    }
    applyingWidths_ = false;
}

void MainWindow::ApplyAllColumnWidths() {
    for (int c = 0; c < kColumnCount; ++c) ApplyColumnWidth(c, session_.settings.columnWidths[c]);
}

void MainWindow::OnColumnResized(int column, int /*oldWidth*/, int newWidth) {
    // A border dragged by the user fixes the column at its new width.
    if (!applyingWidths_ && newWidth > 0) session_.settings.columnWidths[column] = newWidth;
}

void MainWindow::UpdateColumnMenuChecks(QMenu* /*menu*/, int column) {
    const int stored = session_.settings.columnWidths[column];
    action(QString("ColumnItems%1").arg(column))->setChecked(stored == -1);
    action(QString("ColumnNone%1").arg(column))->setChecked(stored == 0);
}

void MainWindow::ColumnItemWidthClick(int column) {
    int& stored = session_.settings.columnWidths[column];
    stored = stored == -1 ? listView_->columnWidth(column) : -1;
    ApplyAllColumnWidths();
}

void MainWindow::ColumnNoneClick(int column) {
    int& stored = session_.settings.columnWidths[column];
    stored = stored == 0 ? kRestoredWidth : 0;
    ApplyAllColumnWidths();
}

void MainWindow::P1Click() {
    for (int c = 0; c < kColumnCount; ++c)
        session_.settings.columnWidths[c] = listView_->isColumnHidden(c) ? 0 : listView_->columnWidth(c);
}

void MainWindow::N20Click() {
    if (session_.rows.empty()) return;
    BusySection busy(this);
    for (int c = 0; c < kColumnCount; ++c) {
        bool any = false;
        for (const TrackInfo& row : session_.rows) {
            if (!row.Column(c).empty()) {
                any = true;
                break;
            }
        }
        session_.settings.columnWidths[c] = 0;
        if (any) {
            ApplyColumnWidth(c, -1);
            session_.settings.columnWidths[c] = listView_->columnWidth(c);
        }
    }
    ApplyAllColumnWidths();
}

// --- focus, in-place rename, pop-up menu

void MainWindow::OnFocusedRowChanged() {
    UpdateStatusBar();
    ReloadEditWindow();
}

void MainWindow::OnFileNameEdited(int row, const QString& text) {
    CommitFileNameEdit(session_.rows, row, ToSjis(text));
    ReloadEditWindow();
}

void MainWindow::ShowPopupMenu(const QPoint& globalPos) { popupMenu_->popup(globalPos); }

// --- edit window and view toggles

void MainWindow::ShowEditWindowForFocusedRow() {
    if (!editWindow_ || FocusedRow() < 0) return;
    editWindow_->Reload();
    editWindow_->ShowWindow();
}

void MainWindow::EditWinClick() {
    if (editWindow_ && editWindow_->IsShown()) editWindow_->CloseWindow();
    else ShowEditWindowForFocusedRow();
    UpdateViewMenuChecks();
}

void MainWindow::AlwaysOnTopClick() {
    if (!editWindow_) return;
    editWindow_->SetStayOnTop(!editWindow_->StaysOnTop());
    action("AlwaysOnTop")->setChecked(editWindow_->StaysOnTop());
}

void MainWindow::StatusBClick() {
    statusBar()->setVisible(!statusBar()->isVisible());
    session_.settings.StatusBarVis = statusBar()->isVisible();
}

void MainWindow::G1Click() {
    session_.settings.GridLineVis = !session_.settings.GridLineVis;
    listView_->setShowGrid(session_.settings.GridLineVis);
}

void MainWindow::ToolBar2Click() {
    toolBar_->setVisible(!toolBar_->isVisible());
    session_.settings.ToolBarVis = toolBar_->isVisible();
}

void MainWindow::dummy11Click() {
    if (editWindow_ && editWindow_->IsShown()) editWindow_->TakeFocus();
}

}  // namespace wvr
