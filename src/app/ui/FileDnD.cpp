#include "app/ui/FileDnD.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QUrl>
#include <QWidget>

#include "app/commands/DragDrop.h"

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

std::vector<std::string> DroppedPaths(const QMimeData& data, SkippedNames* skipped) {
    std::vector<std::string> paths;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile()) continue;
        const std::string native = QFile::encodeName(url.toLocalFile()).toStdString();
        if (auto cp932 = fs::FromNative(native)) paths.push_back(std::move(*cp932));
        else if (skipped) skipped->push_back(native);
    }
    return paths;
}

namespace {

// Pressing the second of the left and right buttons while dragging gives up the drag.
class BothButtonsCancel : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        constexpr Qt::MouseButtons both = Qt::LeftButton | Qt::RightButton;
        if (event->type() == QEvent::MouseButtonPress && (QGuiApplication::mouseButtons() & both) == both)
            QDrag::cancel();
        return false;
    }
};

}  // namespace

DragResult StartFileDrag(QWidget* source, const std::vector<std::string>& cp932Paths, Qt::DropActions allowed) {
    auto data = MakeFileData(cp932Paths);
    if (!data->hasUrls()) return {};
    auto* drag = new QDrag(source);
    drag->setMimeData(data.release());
    BothButtonsCancel cancel;
    qApp->installEventFilter(&cancel);
    const Qt::DropAction effect = drag->exec(allowed, Qt::MoveAction);
    qApp->removeEventFilter(&cancel);
    return {effect != Qt::IgnoreAction, effect};
}

Qt::DropAction DropEffectFor(Qt::KeyboardModifiers keys, Qt::DropActions possible, Qt::DropAction proposed) {
    const bool ctrl = keys & Qt::ControlModifier;
    const bool shift = keys & Qt::ShiftModifier;
    const Qt::DropAction wanted = ctrl && shift ? Qt::LinkAction : ctrl ? Qt::CopyAction : Qt::MoveAction;
    return possible.testFlag(wanted) ? wanted : proposed;
}

TFileDnD::TFileDnD(QAbstractItemView* list, DropHandler handler)
    : QObject(list), list_(list), viewport_(list->viewport()), handler_(std::move(handler)) {
    // Drops arrive at the viewport; whether the list takes them is the list's own setting.
    list_->viewport()->setAcceptDrops(true);
    list_->viewport()->installEventFilter(this);
    Register();
}

void TFileDnD::Register() { list_->setAcceptDrops(true); }

void TFileDnD::Unregister() { list_->setAcceptDrops(false); }

DragResult TFileDnD::StartFileDrag(const std::vector<std::string>& cp932Paths, Qt::DropActions allowed,
                                   bool leftButton) {
    selfDrag_ = true;
    trackedButton_ = leftButton ? kKeyLeft : kKeyRight;
    const DragResult result = runner_ ? runner_(cp932Paths, allowed) : wvr::StartFileDrag(list_, cp932Paths, allowed);
    selfDrag_ = false;
    return result;
}

bool TFileDnD::Refuses(const QDropEvent& event) const {
    const bool fromHere = selfDrag_ || event.source() == list_ || event.source() == list_->viewport();
    return fromHere || !list_->acceptDrops() || !event.mimeData() || !OffersFiles(*event.mimeData());
}

bool TFileDnD::eventFilter(QObject* watched, QEvent* event) {
    if (watched != viewport_) return false;
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto* e = static_cast<QDropEvent*>(event);
        hasData_ = !Refuses(*e);
        if (!hasData_) {
            e->ignore();
            return true;
        }
        [[fallthrough]];
    }
    case QEvent::DragMove: {
        auto* e = static_cast<QDropEvent*>(event);
        if (!hasData_) {
            e->ignore();
            return true;
        }
        if (e->buttons() & Qt::LeftButton) trackedButton_ = kKeyLeft;
        else if (e->buttons() & Qt::RightButton) trackedButton_ = kKeyRight;
        e->setDropAction(Answer(*e));
        e->accept();
        return true;
    }
    case QEvent::DragLeave:
        hasData_ = false;
        return true;
    case QEvent::Drop:
        Drop(*static_cast<QDropEvent*>(event));
        return true;
    default:
        return false;
    }
}

// The key rule, except for a drag made with the right button: its drop is followed by a
// choice that may cancel it, while a source acts on the answer it was given as the drag moved
// (an X11 source does not wait for the drop to be handled). Answered as a copy, such a drop
// never has the source remove what it dragged before the choice is made.
Qt::DropAction TFileDnD::Answer(const QDropEvent& event) const {
    if (trackedButton_ == kKeyRight && event.possibleActions().testFlag(Qt::CopyAction)) return Qt::CopyAction;
    return DropEffectFor(event.modifiers(), event.possibleActions(), event.proposedAction());
}

void TFileDnD::Drop(QDropEvent& event) {
    if (!hasData_ || !event.mimeData()) {
        event.ignore();
        return;
    }
    hasData_ = false;
    const Qt::DropAction effect = Answer(event);
    SkippedNames skipped;
    const std::vector<std::string> paths = DroppedPaths(*event.mimeData(), &skipped);
    int keyState = trackedButton_;
    if (event.modifiers() & Qt::ShiftModifier) keyState |= kKeyShift;
    if (event.modifiers() & Qt::ControlModifier) keyState |= kKeyCtrl;
    const QPoint point = list_->viewport()->mapToGlobal(event.position().toPoint());
    // A drop the handler did not take (a cancelled choice) answers no effect, so that the
    // source does not remove what it dragged.
    if (handler_ && handler_(paths, skipped, keyState, point)) {
        event.setDropAction(effect);
        event.accept();
    } else {
        event.ignore();
    }
}

}  // namespace wvr
