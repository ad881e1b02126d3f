// The edit window's menu bar and pop-up menu, built from tables, and the rules that enable
// their items, kept current as the focused box and the main list change.
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "app/commands/Session.h"
#include "app/ui/MainWindow.h"
#include "app/ui/MenuTable.h"
#include "dialogs/Tagedit.h"

namespace wvr {
namespace {

using Item = MenuItem<TForm1>;

constexpr Item kFileItems[] = {
    {"W1", "情報の書き込み(&W)", "Ctrl+S", "ファイルにTAG情報を書き込みます", &TForm1::W1Click},
    {"Exit1", "閉じる(&E)", "Esc", "編集ウインドウを閉じます", &TForm1::Exit1Click},
};

constexpr Item kEditItems[] = {
    {"Undo1", "元に戻す(&U)", "Ctrl+Z", "編集内容を元に戻します", &TForm1::Undo1Click},
    {"Cut1", "切り取り(&T)", "Ctrl+X", "選択された部分を切り取ります", &TForm1::Cut1Click},
    {"Copy1", "ｺﾋﾟｰ(&C)", "Ctrl+C", "選択された部分をクリップボードにコピーします", &TForm1::Copy1Click},
    {"Paste1", "貼り付け(&P)", "Ctrl+V", "クリップボードから貼りつけます", &TForm1::Paste1Click},
    {"Delete1", "削除(&D)", "Del", "選択された部分を削除します", &TForm1::Delete1Click},
    {"SelectAll1", "すべて選択(&A)", "Ctrl+A", "文字列を選択状態にします", &TForm1::SelectAll1Click},
};

// Rename, restore, fill, play; the pop-up menu takes the first three as its submenu.
constexpr Item kFunctionItems[] = {
    {"R1", "ﾌｧｲﾙ名の変更(&R)", "Ctrl+K", "TAG情報を元にファイル名を変更します", &TForm1::R1Click},
    {"K1", "ﾌｧｲﾙ名の復元(&K)", "Ctrl+Shift+K", "ファイル名を元に戻します", &TForm1::K1Click},
    {"F1", "ﾌｨﾙ(&F)...", "Ctrl+G", "カラムに同じ文字列を入力します", &TForm1::F1Click},
    {"P1", "単独再生(&P)", "Ctrl+P", "プレーヤーを起動して再生します"},
};
constexpr int kPlayItem = 3;

constexpr Item kViewItems[] = {
    {"RMP3L1", "SIﾌｨｰﾙﾄﾞ(&L)", "", "SIフィールドを編集可能にします", &TForm1::RMP3L1Click, nullptr, 0, true},
    {"RMP3L2", "SIｵﾌﾟｼｮﾝﾌｨｰﾙﾄﾞ(&O)", "", "SIオプションフィールドを編集可能にします", &TForm1::RMP3L1Click, nullptr, 0, true},
};

// Keys without a visible item: a hidden action still has to be enabled to see its key.
constexpr Item kHiddenItems[] = {
    {"etc1", "etc", "Ctrl+M", "", &TForm1::EtcClick},
    {"etc21", "etc2", "Shift+Home", "", &TForm1::Etc2Click},
};

constexpr TopMenu<TForm1> kMenuBar[] = {
    {"File1", "ﾌｧｲﾙ(&F)", kFileItems, std::size(kFileItems)},
    {"EditMenu1", "編集(&E)", kEditItems, std::size(kEditItems)},
    {"Function1", "機能(&T)", kFunctionItems, std::size(kFunctionItems)},
    {"View1", "表示(&V)", kViewItems, std::size(kViewItems)},
};

// One item; the pop-up menu's copies carry the prefix "Pop" and no shortcut.
QAction* AddItem(TForm1* window, QMenu* menu, const Item& e, const char* prefix) {
    QAction* action = MakeMenuAction(window, e, QString(prefix) + e.name, !*prefix);
    if (menu) menu->addAction(action);
    else window->addAction(action);
    return action;
}

}  // namespace

void TForm1::BuildMenus() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName("MainMenu1");
    menuBar_->setNativeMenuBar(false);
    for (const auto& top : kMenuBar) {
        QMenu* menu = menuBar_->addMenu(QString::fromUtf8(top.caption));
        menu->setObjectName(top.name);
        menu->menuAction()->setStatusTip(" ");
        for (size_t i = 0; i < top.count; ++i) AddItem(this, menu, top.items[i], "");
    }
    for (const Item& e : kHiddenItems) AddItem(this, nullptr, e, "");

    popup_ = new QMenu(this);
    popup_->setObjectName("PopupMenu1");
    for (const Item& e : kEditItems) AddItem(this, popup_, e, "Pop");
    popup_->addSeparator();
    QMenu* functions = popup_->addMenu(QString::fromUtf8("機能(&T)"));
    functions->setObjectName("PopFunction1");
    for (int i = 0; i < kPlayItem; ++i) AddItem(this, functions, kFunctionItems[i], "Pop");
    AddItem(this, popup_, kFunctionItems[kPlayItem], "Pop");
    popup_->addSeparator();
    for (const Item& e : kFileItems) AddItem(this, popup_, e, "Pop");

    connect(findChild<QMenu*>("View1"), &QMenu::aboutToShow, this, &TForm1::UpdateViewItems);
    // The edit items follow the box with the focus: its selection, its text, its undo.
    connect(qApp, &QApplication::focusChanged, this, &TForm1::UpdateEditItems);
    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        connect(box, &QLineEdit::selectionChanged, this, &TForm1::UpdateEditItems);
        connect(box, &QLineEdit::textChanged, this, &TForm1::UpdateEditItems);
    }
    UpdateActionStates();
}

QAction* TForm1::item(const char* name) const { return findChild<QAction*>(QString::fromUtf8(name)); }

void TForm1::ShowPopup(const QPoint& globalPos) { popup_->popup(globalPos); }

// Undo only when the focused box can undo; cut and copy only over a selection.
void TForm1::UpdateEditItems() {
    const QLineEdit* box = FocusedBox();
    for (const QString prefix : {"", "Pop"}) {
        findChild<QAction*>(prefix + "Undo1")->setEnabled(box && box->isUndoAvailable());
        findChild<QAction*>(prefix + "Cut1")->setEnabled(box && box->hasSelectedText());
        findChild<QAction*>(prefix + "Copy1")->setEnabled(box && box->hasSelectedText());
    }
}

// Fill is offered while a row of the list is checked or FilChkOff is on.
void TForm1::UpdateActionStates() {
    const Session& session = main_.session();
    const bool fill = session.rows.AnyChecked() || session.settings.Get(Option::FilChkOff);
    item("F1")->setEnabled(fill);
    item("PopF1")->setEnabled(fill);
    UpdateEditItems();
}

void TForm1::UpdateViewItems() {
    item("RMP3L1")->setChecked(!siGroup_->isHidden());
    item("RMP3L2")->setChecked(!siOptionGroup_->isHidden());
}

}  // namespace wvr
