#include "app/ui/FileDnD.h"

#include <QDrag>
#include <QUrl>
#include <QWidget>

#include "platform/base/FileOps.h"

namespace wvr {

std::unique_ptr<QMimeData> MakeFileData(const std::vector<std::string>& cp932Paths) {
    QList<QUrl> urls;
    for (const std::string& path : cp932Paths) {
        if (auto native = fs::ToNative(path)) urls.append(QUrl::fromLocalFile(QString::fromStdString(*native)));
    }
    auto data = std::make_unique<QMimeData>();
    if (!urls.isEmpty()) data->setUrls(urls);
    return data;
}

bool OffersFiles(const QMimeData& data) {
    if (!data.hasUrls()) return false;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) return true;
    }
    return false;
}

std::vector<std::string> DroppedPaths(const QMimeData& data) {
    std::vector<std::string> paths;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile()) continue;
        if (auto cp932 = fs::FromNative(url.toLocalFile().toStdString())) paths.push_back(std::move(*cp932));
    }
    return paths;
}

DragResult StartFileDrag(QWidget* source, const std::vector<std::string>& cp932Paths, Qt::DropActions allowed) {
    auto data = MakeFileData(cp932Paths);
    if (!data->hasUrls()) return {};
    auto* drag = new QDrag(source);
    drag->setMimeData(data.release());
    const Qt::DropAction effect = drag->exec(allowed, Qt::MoveAction);
    return {effect != Qt::IgnoreAction, effect};
}

}  // namespace wvr
