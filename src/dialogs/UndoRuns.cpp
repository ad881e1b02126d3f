#include "dialogs/UndoRuns.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/commands/JournalUndo.h"
#include "dialogs/DialogParts.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

QString StateOf(const journal::Entry& run) {
    if (!run.undoneBy.empty()) return QString::fromUtf8("元に戻し済み");
    if (!run.closed) return QString::fromUtf8(journal::WhyNotUndoable(run).empty() ? "中断" : "書き込み中");
    return QString::fromUtf8(run.Undoable() ? "元に戻せる" : "元に戻せない");
}

QTreeWidget* Table(QWidget* parent, const char* name, const QStringList& captions) {
    auto* table = new QTreeWidget(parent);
    table->setObjectName(name);
    table->setRootIsDecorated(false);
    table->setHeaderLabels(captions);
    table->header()->setStretchLastSection(true);
    return table;
}

}  // namespace

UndoRunsDialog::UndoRunsDialog(Prompter& prompter, QWidget* parent) : QDialog(parent), prompter_(prompter) {
    setWindowTitle(QString::fromUtf8("書き込みを元に戻す"));
    runList_ = Table(this, "RunList",
                     {QString::fromUtf8("時刻"), QString::fromUtf8("コマンド"), QString::fromUtf8("ファイル数"),
                      QString::fromUtf8("状態")});
    runList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    changes_ = Table(this, "ChangeList",
                     {QString::fromUtf8("ファイル"), QString::fromUtf8("項目"), QString::fromUtf8("前"),
                      QString::fromUtf8("後")});
    undo_ = NamedButton(this, "UndoBtn", "元に戻す(&U)");
    QPushButton* close = NamedButton(this, "CloseBtn", "閉じる");
    connect(undo_, &QPushButton::clicked, this, &UndoRunsDialog::UndoClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(runList_, &QTreeWidget::itemSelectionChanged, this, &UndoRunsDialog::ShowChanges);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(undo_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8("書き込んだ実行 (新しい順):"), this));
    layout->addWidget(runList_, 1);
    layout->addWidget(new QLabel(QString::fromUtf8("選んだ実行の変更:"), this));
    layout->addWidget(changes_, 2);
    layout->addLayout(buttons);
    resize(760, 520);
    ShowRuns();
}

void UndoRunsDialog::ShowRuns() {
    runs_ = journal::ReadRuns();
    runList_->clear();
    for (const journal::Entry& run : runs_) {
        auto* item = new QTreeWidgetItem(runList_);
        item->setText(0, QDateTime::fromSecsSinceEpoch(run.time).toString("yyyy-MM-dd HH:mm:ss"));
        item->setText(1, Utf8(run.command));
        item->setText(2, QString::number(run.FileCount()));
        item->setText(3, StateOf(run));
    }
    for (int c = 0; c < 3; ++c) runList_->resizeColumnToContents(c);
    if (!runs_.empty()) runList_->setCurrentItem(runList_->topLevelItem(0));
    ShowChanges();
}

void UndoRunsDialog::ShowChanges() {
    changes_->clear();
    const QList<QTreeWidgetItem*> chosen = runList_->selectedItems();
    undo_->setEnabled(!chosen.isEmpty());
    if (chosen.size() != 1) return;
    const journal::Entry& run = runs_[static_cast<size_t>(runList_->indexOfTopLevelItem(chosen[0]))];
    for (const journal::ShownChange& line : journal::ShowRun(run)) {
        auto* item = new QTreeWidgetItem(changes_);
        const QStringList texts = {QString::fromUtf8(line.path), QString::fromUtf8(line.field),
                                   QString::fromUtf8(line.before), QString::fromUtf8(line.after)};
        for (int c = 0; c < texts.size(); ++c) item->setText(c, texts[c]);
    }
    for (int c = 0; c < 3; ++c) changes_->resizeColumnToContents(c);
}

// The chosen runs, newest first, each taken back whole; what was left is said once.
void UndoRunsDialog::UndoClick() {
    std::vector<const journal::Entry*> chosen;
    for (int i = 0; i < runList_->topLevelItemCount(); ++i)
        if (runList_->topLevelItem(i)->isSelected()) chosen.push_back(&runs_[static_cast<size_t>(i)]);
    std::string left;
    int restored = 0;
    for (const journal::Entry* run : chosen) {
        if (const std::string why = journal::WhyNotUndoable(*run); !why.empty()) {
            left += run->command + ": " + why + "\n";
            continue;
        }
        const auto report =
            journal::UndoRun(*run, run->closed ? journal::UndoMode::Checked : journal::UndoMode::Recovery);
        restored += report.restored;
        for (const std::string& file : report.left) left += file + "\n";
        undoneAny_ = true;
    }
    const std::string done = std::to_string(restored) + " ファイルを元に戻しました。";
    if (left.empty()) prompter_.Information(done);
    else prompter_.Warning(done + "\n元に戻さなかったもの:\n" + left);
    ShowRuns();
}

}  // namespace wvr
