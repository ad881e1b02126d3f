#include "dialogs/HelpViewer.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/commands/Options.h"
#include "app/ui/WindowStacking.h"
#include "dialogs/DialogPlacement.h"

namespace wvr {
namespace {

QString& FolderOverride() {
    static QString folder;
    return folder;
}

QPointer<HelpViewer>& TheViewer() {
    static QPointer<HelpViewer> viewer;
    return viewer;
}

QString PageFile(const QString& folder, const QString& topic) { return folder + "/" + topic + ".html"; }

}  // namespace

QString HelpFolder() {
    if (!FolderOverride().isEmpty()) return FolderOverride();
    const QDir programFolder(QCoreApplication::applicationDirPath());
    for (const char* relative : {"help", "../share/wvr/help"}) {
        const QString folder = QDir::cleanPath(programFolder.filePath(relative));
        if (QFileInfo::exists(PageFile(folder, kMainHelpTopic))) return folder;
    }
    return {};
}

void SetHelpFolder(const QString& folder) { FolderOverride() = folder; }

QString HelpTopicFile(const QString& topic) {
    const QString folder = HelpFolder();
    return folder.isEmpty() ? QString() : PageFile(folder, topic);
}

QStringList HelpTopics() {
    QStringList topics{kMainHelpTopic};
    for (int page = 0; page < kOptionPageCount; ++page) topics << QString::fromStdString(OptionsHelpTopic(page));
    for (const char* topic : {kFillHelpTopic, kFindHelpTopic, kFromNameHelpTopic, kOutputHelpTopic, kTextInputHelpTopic})
        topics << topic;
    return topics;
}

void AddHelpKey(QWidget* dialog, const char* topic) {
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_F1), dialog), &QShortcut::activated, dialog,
                     [dialog, topic] { HelpViewer::Open(dialog, topic); });
}

HelpViewer::HelpViewer(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName("HelpViewer");
    setWindowTitle(QStringLiteral("wvr ヘルプ"));
    setAttribute(Qt::WA_QuitOnClose, false);

    auto makeButton = [this](const char* name, const QString& caption, const QKeySequence& key) {
        auto* button = new QToolButton(this);
        button->setObjectName(name);
        button->setText(caption);
        button->setShortcut(key);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        return button;
    };
    back_ = makeButton("BackButton", QStringLiteral("← 戻る"), QKeySequence(Qt::ALT | Qt::Key_Left));
    forward_ = makeButton("ForwardButton", QStringLiteral("進む →"), QKeySequence(Qt::ALT | Qt::Key_Right));
    QToolButton* home = makeButton("HomeButton", QStringLiteral("目次"), QKeySequence(Qt::ALT | Qt::Key_Home));

    browser_ = new QTextBrowser(this);
    browser_->setObjectName("HelpBrowser");
    browser_->setOpenExternalLinks(true);
    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(home, &QToolButton::clicked, this, [this] { ShowTopic(kMainHelpTopic); });
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpViewer::UpdateTitle);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    buttons->addWidget(home);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
    resize(620, 540);
}

HelpViewer* HelpViewer::Instance() { return TheViewer(); }

HelpViewer* HelpViewer::Open(QWidget* from, const QString& topic) {
    QPointer<HelpViewer>& viewer = TheViewer();
    if (!viewer) viewer = new HelpViewer(nullptr);
    viewer->FollowOwner(from);
    viewer->JoinTopLayer();
    viewer->ShowTopic(topic);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

void HelpViewer::ShowTopic(const QString& topic) {
    const QString file = HelpTopicFile(topic);
    if (file.isEmpty() || !QFileInfo::exists(file)) {
        browser_->setHtml(QStringLiteral("<h2>ヘルプ</h2><p>ヘルプのページ「%1」が見つかりません。</p>"
                                         "<p>ヘルプは、プログラムと同じフォルダの help フォルダか、"
                                         "インストール先の share/wvr/help に置かれます。</p>")
                              .arg(topic.toHtmlEscaped()));
        UpdateTitle();
        return;
    }
    browser_->setSource(QUrl::fromLocalFile(file));
}

// A modal dialog blocks every window but its own, so the help window goes to the dialog that
// asks for it, and back to that dialog's owner when the dialog closes.
void HelpViewer::FollowOwner(QWidget* from) {
    QWidget* owner = from ? from->window() : nullptr;
    if (!owner || owner == parentWidget()) return;
    const bool placed = parentWidget() != nullptr;
    const bool shown = isVisible();
    const QPoint place = pos();
    setParent(owner, windowFlags());
    if (placed) move(place);
    else PlaceBeside(owner);
    if (shown) show();
    if (auto* dialog = qobject_cast<QDialog*>(owner)) {
        connect(dialog, &QDialog::finished, this, [this, dialog] {
            if (parentWidget() != dialog || !dialog->parentWidget()) return;
            const bool open = isVisible();
            FollowOwner(dialog->parentWidget());
            JoinTopLayer();
            if (open) show();
        });
    }
}

// While a window of the program stays above all others (the edit window, a dialog above it),
// the help joins that layer so that nothing of ours covers it; otherwise it is an ordinary window.
void HelpViewer::JoinTopLayer() {
    const bool onTop = AnyWindowStaysOnTop(this);
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
    const QPoint place = pos();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);  // hides the window; Open shows it again
    move(place);
}

// The first time, beside the asking window so that both can be seen: to its right when the
// screen has room, else to its left, else over it.
void HelpViewer::PlaceBeside(const QWidget* owner) {
    const QRect o = owner->frameGeometry();
    const QScreen* screen = owner->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    int x = o.right() + 8;
    if (x + width() > area.right()) x = o.left() - width() - 8;
    if (x < area.left()) x = std::max(area.left(), area.right() - width());
    const int y = std::clamp(o.top(), area.top(), std::max(area.top(), area.bottom() - height()));
    move(x, y);
    FitToScreen(this);
}

void HelpViewer::UpdateTitle() {
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("wvr ヘルプ") : QStringLiteral("wvr ヘルプ - ") + title);
}

}  // namespace wvr
