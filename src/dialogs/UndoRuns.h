// The dialog "書き込みを元に戻す": the write journal's recent runs (time, command, file count,
// whether it can be undone), what the selected run changed, and undoing the chosen runs.
#pragma once

#include <QDialog>
#include <vector>

#include "app/commands/JournalEntry.h"

class QTreeWidget;
class QPushButton;

namespace wvr {

class Prompter;

class UndoRunsDialog : public QDialog {
    Q_OBJECT
public:
    UndoRunsDialog(Prompter& prompter, QWidget* parent);

    // Whether a run was undone while the dialog was open (the rows need reading again).
    bool undoneAny() const { return undoneAny_; }

public slots:
    void UndoClick();  // 元に戻す(&U)

private:
    void ShowRuns();
    void ShowChanges();

    Prompter& prompter_;
    std::vector<journal::Entry> runs_;
    QTreeWidget* runList_ = nullptr;  // RunList
    QTreeWidget* changes_ = nullptr;  // ChangeList
    QPushButton* undo_ = nullptr;     // UndoBtn
    bool undoneAny_ = false;
};

}  // namespace wvr
