// The main list (ListView1): a table view with the keys and mouse gestures of the program's
// list. It reports them as signals; the main window decides what they do.
#pragma once

#include <QTableView>

namespace wvr {

class TrackListView : public QTableView {
    Q_OBJECT
public:
    explicit TrackListView(QWidget* parent = nullptr);

    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

signals:
    // Space or Insert outside an in-place edit; the key is consumed.
    void ToggleKeyPressed();
    // Enter released together with Shift or Ctrl.
    void EnterWithModifierReleased();
    void RightButtonReleased(const QPoint& globalPos);
    void RowDoubleClicked();
    // The focused row changed (keyboard or mouse).
    void FocusedRowChanged();
    // The pointer moved by the drag distance with the left or right button held on the list.
    void DragGestured(bool leftButton);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    QPoint pressPos_;
    Qt::MouseButton dragButton_ = Qt::NoButton;  // armed by a press, until release or a drag
};

}  // namespace wvr
