// Files dragged out of a list and dropped onto one, as a list of file URLs (text/uri-list),
// the form file managers and other programs exchange.
#pragma once

#include <QMimeData>
#include <Qt>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace wvr {

// The data of a drag: the rows' paths (CP932) as file URLs. A path that has no native form
// is left out; no paths at all give data without URLs.
std::unique_ptr<QMimeData> MakeFileData(const std::vector<std::string>& cp932Paths);
// The CP932 paths of dropped data that offers a file list; names CP932 cannot hold are left out.
std::vector<std::string> DroppedPaths(const QMimeData& data);
bool OffersFiles(const QMimeData& data);

struct DragResult {
    bool dropped = false;
    Qt::DropAction effect = Qt::IgnoreAction;
};

// Runs the modal drag of `cp932Paths` from `source`. The drag ends in a drop when the button
// that started it is released over a target, and is cancelled by Escape.
DragResult StartFileDrag(QWidget* source, const std::vector<std::string>& cp932Paths, Qt::DropActions allowed);

}  // namespace wvr
