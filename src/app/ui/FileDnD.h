// Files dragged out of a list and dropped onto one, as a list of file URLs (text/uri-list),
// the form file managers and other programs exchange.
#pragma once

#include <QMimeData>
#include <QObject>
#include <QPoint>
#include <Qt>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/commands/FileScan.h"

class QAbstractItemView;
class QDropEvent;
class QWidget;

namespace wvr {

// The data of a drag: the rows' paths (CP932) as file URLs. A path that has no native form
// is left out; no paths at all give data without URLs.
std::unique_ptr<QMimeData> MakeFileData(const std::vector<std::string>& cp932Paths);
// The CP932 paths of dropped data that offers a file list; names CP932 cannot hold are left
// out and, natively, put into `skipped`.
std::vector<std::string> DroppedPaths(const QMimeData& data, SkippedNames* skipped = nullptr);
bool OffersFiles(const QMimeData& data);

struct DragResult {
    bool dropped = false;
    Qt::DropAction effect = Qt::IgnoreAction;
};

// Runs the modal drag of `cp932Paths` from `source`. The drag ends in a drop when the button
// that started it is released over a target, and is cancelled by Escape or by pressing the
// other of the left and right buttons as well.
DragResult StartFileDrag(QWidget* source, const std::vector<std::string>& cp932Paths, Qt::DropActions allowed);

// The effect a drop target answers by the keys held: Ctrl and Shift link, Ctrl alone copies,
// anything else moves. When the source does not allow it, the source's own proposal.
Qt::DropAction DropEffectFor(Qt::KeyboardModifiers keys, Qt::DropActions possible, Qt::DropAction proposed);

// The drag-and-drop object of a list: the drop target of the list and the source of the drags
// started from it. Files dragged over the list are taken unless the drag came from the list
// itself or the list does not accept drops at the moment (setAcceptDrops(false), as while a
// modal dialog works on the rows).
class TFileDnD : public QObject {
    Q_OBJECT
public:
    // Receives the dropped paths (CP932), the dropped names CP932 cannot hold (native), the key
    // state (KeyState bits: the button that made the drag, Shift, Ctrl) and the drop point on
    // the screen; returns whether it took them.
    using DropHandler =
        std::function<bool(const std::vector<std::string>&, const SkippedNames&, int, const QPoint&)>;
    using DragRunner = std::function<DragResult(const std::vector<std::string>&, Qt::DropActions)>;

    TFileDnD(QAbstractItemView* list, DropHandler handler);

    void Register();
    void Unregister();

    // A drag of `cp932Paths` from the list; `leftButton` says which button makes it.
    DragResult StartFileDrag(const std::vector<std::string>& cp932Paths, Qt::DropActions allowed, bool leftButton);

    bool selfDrag() const { return selfDrag_; }
    int trackedButton() const { return trackedButton_; }
    // Tests run drags without a pointer through this.
    void SetDragRunner(DragRunner runner) { runner_ = std::move(runner); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Refuses(const QDropEvent& event) const;
    Qt::DropAction Answer(const QDropEvent& event) const;
    void Drop(QDropEvent& event);

    QAbstractItemView* list_;
    // The list's viewport as it was made: events reach the filter while the list is being
    // destroyed, when the list can no longer be asked for it.
    QWidget* viewport_;
    DropHandler handler_;
    DragRunner runner_;
    bool hasData_ = false;   // files of the drag now over the list
    bool selfDrag_ = false;  // a drag from this list runs
    int trackedButton_ = 1;  // 1 left, 2 right
};

}  // namespace wvr
