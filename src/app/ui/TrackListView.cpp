#include "app/ui/TrackListView.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

namespace wvr {

TrackListView::TrackListView(QWidget* parent) : QTableView(parent) {
    setObjectName("ListView1");
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setAlternatingRowColors(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void TrackListView::keyPressEvent(QKeyEvent* event) {
    if (!IsEditing() && event->modifiers() == Qt::NoModifier &&
        (event->key() == Qt::Key_Space || event->key() == Qt::Key_Insert)) {
        event->accept();
        emit ToggleKeyPressed();
        return;
    }
    QTableView::keyPressEvent(event);
}

// Home and End go to the first and last row, as in a list of files; the column stays, so the
// list does not scroll sideways.
QModelIndex TrackListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if ((action != MoveHome && action != MoveEnd) || !model() || model()->rowCount() == 0)
        return QTableView::moveCursor(action, modifiers);
    const int column = std::max(currentIndex().column(), 0);
    return model()->index(action == MoveHome ? 0 : model()->rowCount() - 1, column);
}

void TrackListView::keyReleaseEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) && !event->isAutoRepeat())
        emit EnterWithModifierReleased();
    QTableView::keyReleaseEvent(event);
}

void TrackListView::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    const bool dragButton = event->button() == Qt::LeftButton || event->button() == Qt::RightButton;
    dragButton_ = dragButton && !IsEditing() ? event->button() : Qt::NoButton;
    pressPos_ = event->position().toPoint();
}

void TrackListView::mouseMoveEvent(QMouseEvent* event) {
    if (dragButton_ != Qt::NoButton && (event->buttons() & dragButton_) &&
        (event->position().toPoint() - pressPos_).manhattanLength() >= QApplication::startDragDistance()) {
        // The drag takes the row pressed on; moving on must not highlight another one.
        const bool left = dragButton_ == Qt::LeftButton;
        dragButton_ = Qt::NoButton;
        setState(NoState);
        emit DragGestured(left);
        return;
    }
    QTableView::mouseMoveEvent(event);
}

void TrackListView::mouseReleaseEvent(QMouseEvent* event) {
    dragButton_ = Qt::NoButton;
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton) emit RightButtonReleased(event->globalPosition().toPoint());
}

void TrackListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) emit RowDoubleClicked();
}

void TrackListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.row() != previous.row()) emit FocusedRowChanged();
}

}  // namespace wvr
