// The main window's menus, tool bar and pop-up menu, and the rules that enable their items.
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <iterator>

#include "app/commands/SettingsIo.h"
#include "app/ui/EditWindowLink.h"
#include "app/ui/MainWindow.h"
#include "app/ui/MenuTable.h"
#include "app/ui/Text.h"
#include "app/ui/TrackTableModel.h"
#include "dialogs/Unit6.h"

namespace wvr {
namespace {

using W = MainWindow;
using MenuEntry = MenuItem<MainWindow>;
constexpr MenuEntry kSeparator{"-"};

#define SUB(table) table, std::size(table)

constexpr MenuEntry kWinampItems[] = {
    {"WinampPlay", "再生(&P)", "Ctrl+@", "", &W::ToolButton1Click, nullptr, 0, true},
    {"WinampPause", "一時停止(&I)", "Ctrl+[", "", &W::ToolButton2Click, nullptr, 0, true},
    {"WinampStop", "停止(&S)", "Ctrl+\\", "", &W::ToolButton3Click, nullptr, 0, true},
    {"WinampPrev", "前の曲(&R)", "Shift+Ctrl+@", "", &W::ToolButton4Click},
    {"WinampNext", "次の曲(&F)", "Shift+Ctrl+[", "", &W::ToolButton7Click},
    {"Exit2", "終了(&E)", "Shift+Ctrl+\\", "", &W::Exit2Click},
};

constexpr MenuEntry kFileMenu[] = {
    {"NewItem", "新規(&N)", "Ctrl+N", "リストを新しくします", &W::NewClick},
    {"OpenItem", "ﾌｧｲﾙを開く(&O)...", "Ctrl+O", "ファイルを開いてリストに追加します", &W::OpenItemClick},
    {"F1", "ﾌｫﾙﾀﾞを開く(&F)...", "Ctrl+Shift+O", "フォルダ内のファイルをリストに追加します", &W::F1Click},
    kSeparator,
    {"CSVL1", "CSVの読み込み(&L)...", "", "CSVファイルを読み込みます", &W::CSVL1Click},
    {"SaveItem", "CSVの保存(&V)...", "", "CSVファイルを保存します", &W::SaveItemClick},
    kSeparator,
    {"S1", "ﾌｧｲﾙの出力(&S)...", "", "HTMLなどの形式で保存します", nullptr, nullptr, 0, false, true},
    {"I1", "ﾌｧｲﾙから入力(&I)...", "", "書式を指定してファイルから情報を入力します。", nullptr, nullptr, 0, false, true},
    kSeparator,
    {"W1", "情報の書き込み(&W)", "Ctrl+S", "ファイルにTAG情報を書き込みます", &W::W1Click},
    {"C1", "ﾌｧｲﾙ形式の変換(&C)...", "", "任意の形式に変換します", &W::C1Click},
    kSeparator,
    {"Exit1", "終了(&X)", "", "プログラムを終了します", &W::Exit1Click},
};

constexpr MenuEntry kEditMenu[] = {
    {"Delete1", "削除(&D)", "Del", "カーソルで選択されているアイテムをリストから削除します", &W::Delete1Click},
    {"C3", "まとめて削除(&C)", "Ctrl+Del", "チェックアイテムをリストから削除します", &W::C3Click},
    kSeparator,
    {"SelectAll1", "すべて選択(&A)", "Ctrl+A", "すべてのアイテムを選択します", &W::SelectAll1Click},
    {"R3", "すべて選択解除(&R)", "Shift+Ctrl+A", "すべてのアイテムの選択を解除します", &W::R3Click},
    {"SelReturn1", "選択の切り替え(&I)", "Shift+Home", "選択されたアイテムを逆にします", &W::SelReturn1Click},
    kSeparator,
    {"U2", "上に移動(&U)", "Ctrl+Up", "選択されているファイルを１つ上に移動します。", &W::MoveUpClick},
    {"U3", "下に移動(&L)", "Ctrl+Down", "選択されているファイルを１つ下に移動します。", &W::MoveDownClick},
    kSeparator,
    {"UndoWrite1", "書き込みを元に戻す…", "", "書き込んだ実行を選んで元に戻します", &W::UndoWriteClick},
};

constexpr MenuEntry kSearchMenu[] = {
    {"Find2", "検索(&F)", "Ctrl+F", "指定した文字列を検索します", &W::Find2Click},
    {"Find3", "次を検索(&N)", "F3", "次を検索します", &W::Find3Click},
    kSeparator,
    {"Select1", "条件に合わせて選択(&S)", "Ctrl+J", "再生時間やファイルサイズにあわせて選択します", &W::SelectClick},
};

constexpr MenuEntry kFunctionMenu[] = {
    {"Rename", "ﾌｧｲﾙ名の変更(&R)", "Ctrl+K", "TAG情報を元にファイル名を変更します", &W::RenameClick},
    {"filenameundo", "ﾌｧｲﾙ名の復元(&K)", "Ctrl+Shift+K", "ファイル名を元に戻します", &W::filenameundoClick},
    kSeparator,
    {"F2", "ﾌｨﾙ(&F)...", "Ctrl+G", "カラムに同じ文字列を入力します", &W::F2Click},
    {"C4", "全項目ｺﾋﾟｰ(&C)", "", "指定されているファイルの内容を他へコピーします", &W::C4Click},
    {"G2", "ﾌｧｲﾙ名からの取得(&G)", "Ctrl+I", "ファイル名などから情報を取得します", &W::G2Click},
    {"Id3v2Tag1", "ID3v2 タグを作成", "", "チェックされているMP3ファイルにUnicodeのID3v2タグを書き込みます",
     &W::Id3v2TagClick},
    kSeparator,
    {"Play1", "単独再生(&P)", "Ctrl+P", "プレーヤーを起動して再生します", &W::ToolButton8Click},
    {"Play2", "複数再生(&M)", "Shift+Ctrl+P", "プレーヤーを起動して再生します", &W::ToolButton9Click},
    {"WinAMPW1", "WinAMP(&W)", "", "WinAMPを制御します", nullptr, SUB(kWinampItems)},
    kSeparator,
    {"Option1", "設定(&O)...", "F2", "動作の設定をします", &W::Option1Click},
};

constexpr MenuEntry kViewMenu[] = {
    {"EditWin", "編集ｳｲﾝﾄﾞｳ(&E)", "", "編集ウインドウの表示／非表示", &W::EditWinClick, nullptr, 0, true},
    {"AlwaysOnTop", "編集ｳｨﾝﾄﾞｳを上に(&A)", "", "編集ウインドウが常時上になるようにします", &W::AlwaysOnTopClick,
     nullptr, 0, true},
    kSeparator,
    {"StatusB", "ｽﾃ-ﾀｽﾊﾞｰ(&S)", "", "ステータスバーの表示／非表示", &W::StatusBClick, nullptr, 0, true},
    {"G1", "ｸﾞﾘｯﾄﾞﾗｲﾝ(&G)", "", "グリッドラインの表示／非表示", &W::G1Click, nullptr, 0, true},
    {"ToolBar2", "ﾂｰﾙﾊﾞｰ(&T)", "", "ツールバーの表示／非表示", &W::ToolBar2Click, nullptr, 0, true},
    kSeparator,
    {"Sub_F1", "ｶﾗﾑ幅(&W)", "", "カラムの幅を変更します", nullptr, nullptr, 0, false, true},
    {"N20", "ｶﾗﾑの幅の調整(&N)", "Ctrl+0", "アイテムの存在しないカラムの幅をなしにしたりして調節します", &W::N20Click},
    {"P1", "ｶﾗﾑ幅のｾｯﾄ(&P)", "Ctrl+F2", "カラムの幅を現在の幅でセットします", &W::P1Click},
    kSeparator,
    {"Refresh1", "情報の再読み込み(&R)", "F5", "ファイルから情報を読み直します", &W::Refresh1Click},
};

constexpr MenuEntry kHelpMenu[] = {
    {"Contents1", "目次(&C)", "F1", "ヘルプを表示します", &W::Contents1Click},
    kSeparator,
    {"About1", "ﾊﾞｰｼﾞｮﾝ情報(&A)...", "", "バージョン情報を表示します", &W::AboutClick},
};

constexpr TopMenu<MainWindow> kMenuBar[] = {
    {"File1", "ﾌｧｲﾙ(&F)", SUB(kFileMenu)},       {"Edit1", "編集(&E)", SUB(kEditMenu)},
    {"Search1", "検索(&S)", SUB(kSearchMenu)},   {"Function1", "機能(&T)", SUB(kFunctionMenu)},
    {"View1", "表示(&V)", SUB(kViewMenu)},       {"Help1", "ﾍﾙﾌﾟ(&H)", SUB(kHelpMenu)},
};

constexpr MenuEntry kPopupAll[] = {
    {"PopSelectAll", "選択(&A)", "", "すべてのアイテムを選択します", &W::SelectAll1Click},
    {"PopUnselectAll", "選択解除(&R)", "", "すべてのアイテムの選択を解除します", &W::R3Click},
};

constexpr MenuEntry kPopupFunctions[] = {
    {"R4", "ﾌｧｲﾙ名の変更(&R)", "", "TAG情報を元にファイル名を変更します", &W::RenameClick},
    {"K1", "ﾌｧｲﾙ名の復元(&K)", "", "ファイル名を元に戻します", &W::filenameundoClick},
    {"F3", "ﾌｨﾙ(&F)", "", "カラムに同じ文字列を入力します", &W::F2Click},
    {"G3", "ﾌｧｲﾙ名からの取得(&G)", "", "ファイル名などから情報を取得します", &W::G2Click},
};

constexpr MenuEntry kPopupWinamp[] = {
    {"PopWinampPlay", "再生(&P)", "", "", &W::ToolButton1Click, nullptr, 0, true},
    {"PopWinampPause", "一時停止(&I)", "", "", &W::ToolButton2Click, nullptr, 0, true},
    {"PopWinampStop", "停止(&S)", "", "", &W::ToolButton3Click, nullptr, 0, true},
    {"PopWinampPrev", "前の曲(&R)", "", "", &W::ToolButton4Click},
    {"PopWinampNext", "次の曲(&F)", "", "", &W::ToolButton7Click},
    {"PopExit", "終了(&E)", "", "", &W::Exit2Click},
};

constexpr MenuEntry kPopupMenu[] = {
    {"PopDelete", "削除(&D)", "", "カーソルで選択されているアイテムをリストから削除します", &W::Delete1Click},
    kSeparator,
    {"PopPlay1", "単独再生(&P)", "", "プレーヤーを起動して再生します", &W::ToolButton8Click},
    {"PopPlay2", "複数再生(&M)", "", "プレーヤーを起動して再生します", &W::ToolButton9Click},
    {"WinAMP1", "WinAMP(&W)", "", "WinAMPを制御します", nullptr, SUB(kPopupWinamp)},
    kSeparator,
    {"C2", "選択(&C)", "", "", &W::C2Click, nullptr, 0, true},
    {"PopAll", "すべて(&S)", "", "", nullptr, SUB(kPopupAll)},
    {"PopSelReturn", "選択の切り替え(&I)", "", "選択されたアイテムを逆にします", &W::SelReturn1Click},
    kSeparator,
    {"PopFunction", "機能(&T)", "", "", nullptr, SUB(kPopupFunctions)},
    kSeparator,
    {"PopOption", "設定(&O)", "", "動作の設定をします", &W::Option1Click},
};

// The column items of "ｶﾗﾑ幅(&W)", tagged 0..14 by column.
constexpr const char* kColumnItems[kColumnCount] = {
    "ﾌｧｲﾙ名(&F)", "曲名(&S)", "ｱｰﾃｨｽﾄ名(&A)", "ｱﾙﾊﾞﾑ名(&B)", "コメント(&C)", "日付(&Y)", "ｼﾞｬﾝﾙ(&G)", "著作権(&P)",
    "ｴﾝｼﾞﾆｱ(&E)", "ｿｰｽ(&O)", "ｿﾌﾄｳｪｱ(&W)", "ｷｰﾜｰﾄﾞ(&K)", "技術者(&T)", "歌詞(&L)", "ｺﾐｯｼｮﾝ(&M)",
};

// Tool bar buttons: object name, caption, tooltip.
struct ToolButtonEntry {
    const char* name;
    const char* caption;
    const char* tooltip;
    bool toggle;
};

constexpr ToolButtonEntry kToolButtons[] = {
    {"ToolButton1", "再生", "再生  Ctrl+@", true},
    {"ToolButton2", "一時停止", "一時停止  Ctrl+[", true},
    {"ToolButton3", "停止", "停止  Ctrl+\\", true},
    {"-", "", "", false},
    {"ToolButton4", "前の曲", "前の曲  Shift+Ctrl+@", false},
    {"ToolButton5", "巻き戻し", "巻き戻し", false},
    {"ToolButton6", "早送り", "早送り", false},
    {"ToolButton7", "次の曲", "次の曲  Shift+Ctrl+[", false},
    {"-", "", "", false},
    {"ToolButton8", "", "１曲のみ再生  Ctrl+P", false},
    {"ToolButton9", "", "まとめて再生  Shift+Ctrl+P", false},
};

}  // namespace

QMenu* MainWindow::BuildMenu(QMenu* menu, const MenuItem<MainWindow>* entries, size_t count, bool withShortcuts) {
    for (size_t i = 0; i < count; ++i) {
        const MenuEntry& e = entries[i];
        if (e.IsSeparator()) {
            menu->addSeparator();
            continue;
        }
        QAction* action = nullptr;
        if (e.submenu || e.submenuBuiltAtStart) {
            QMenu* sub = menu->addMenu(QString::fromUtf8(e.caption));
            sub->setObjectName(e.name);
            if (e.submenu) BuildMenu(sub, e.submenu, e.submenuSize, withShortcuts);
            action = sub->menuAction();
            action->setObjectName(e.name);
            action->setStatusTip(QString::fromUtf8(e.hint));
        } else {
            action = MakeMenuAction(this, e, e.name, withShortcuts);
            // After the handler: what it changed (settings, rows) may enable other items.
            connect(action, &QAction::triggered, this, &MainWindow::UpdateActionStates);
            menu->addAction(action);
        }
        actions_.insert(e.name, action);
    }
    return menu;
}

void MainWindow::BuildMenus() {
    for (const auto& top : kMenuBar) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(top.caption));
        menu->setObjectName(top.name);
        // Top-level titles blank the status bar like separators do.
        menu->menuAction()->setStatusTip(" ");
        BuildMenu(menu, top.items, top.count, true);
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::UpdateMenuChecks);
    }
    action("AlwaysOnTop")->setChecked(true);
    // An item greyed by a setting says why.
    findChild<QMenu*>("Function1")->setToolTipsVisible(true);
    BuildColumnWidthMenu(findChild<QMenu*>("Sub_F1"));
    outputMenu_ = findChild<QMenu*>("S1");
    inputMenu_ = findChild<QMenu*>("I1");
    RebuildTemplateMenus();

    // Ctrl+M: a hidden item that hands the keyboard to the edit window.
    auto* dummy = new QAction("dummy1", this);
    dummy->setObjectName("dummy1");
    dummy->setShortcut(QKeySequence("Ctrl+M"));
    connect(dummy, &QAction::triggered, this, &MainWindow::dummy11Click);
    addAction(dummy);
    actions_.insert("dummy1", dummy);

    popupMenu_ = new QMenu(this);
    popupMenu_->setObjectName("PopupMenu1");
    BuildMenu(popupMenu_, kPopupMenu, std::size(kPopupMenu), false);
    connect(popupMenu_, &QMenu::aboutToShow, this, &MainWindow::UpdateMenuChecks);
}

void MainWindow::BuildColumnWidthMenu(QMenu* menu) {
    for (int column = 0; column < kColumnCount; ++column) {
        QMenu* sub = menu->addMenu(QString::fromUtf8(kColumnItems[column]));
        sub->setObjectName(QString("ColumnMenu%1").arg(column));
        sub->menuAction()->setStatusTip(QString::fromUtf8("カラムの幅を変更します"));
        QAction* items = sub->addAction(QString::fromUtf8("ｱｲﾃﾑの幅(&I)"));
        QAction* none = sub->addAction(QString::fromUtf8("なし(&N)"));
        items->setObjectName(QString("ColumnItems%1").arg(column));
        none->setObjectName(QString("ColumnNone%1").arg(column));
        items->setCheckable(true);
        none->setCheckable(true);
        actions_.insert(items->objectName(), items);
        actions_.insert(none->objectName(), none);
        connect(items, &QAction::triggered, this, [this, column] { ColumnItemWidthClick(column); });
        connect(none, &QAction::triggered, this, [this, column] { ColumnNoneClick(column); });
        connect(sub, &QMenu::aboutToShow, this, [this, sub, column] { UpdateColumnMenuChecks(sub, column); });
    }
}

// The output and input submenus: "Default" and one item per stored set, numbered by
// position, in file order.
void MainWindow::RebuildTemplateMenus() {
    // The old items go later: the dialog that asked for this may run from one of them.
    for (QMenu* menu : {outputMenu_, inputMenu_}) {
        for (QAction* item : menu->actions()) {
            menu->removeAction(item);
            item->deleteLater();
        }
    }
    QAction* outputDefault = outputMenu_->addAction("Default");
    outputDefault->setObjectName("OutputDefault");
    outputDefault->setShortcut(QKeySequence("Ctrl+W"));
    outputDefault->setData(TForm6::kDefaultItem);
    int number = 1;
    for (const std::string& name : OutputSetNames()) outputMenu_->addAction(FromSjis(name))->setData(number++);

    inputMenu_->addAction("Default")->setData(0);
    number = 1;
    for (const std::string& name : InputFormatNames()) inputMenu_->addAction(FromSjis(name))->setData(number++);

    for (QAction* item : outputMenu_->actions())
        connect(item, &QAction::triggered, this, [this, item] { OutputItemClick(item->data().toInt()); });
    for (QAction* item : inputMenu_->actions())
        connect(item, &QAction::triggered, this, [this, item] { InputItemClick(item->data().toInt()); });
    for (QMenu* menu : {outputMenu_, inputMenu_})
        for (QAction* item : menu->actions()) item->setEnabled(!session_.rows.empty());
}

void MainWindow::BuildToolBar() {
    toolBar_ = addToolBar(QStringLiteral("ToolBar1"));
    toolBar_->setObjectName("ToolBar1");
    toolBar_->setMovable(false);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const ToolButtonEntry& b : kToolButtons) {
        if (QString(b.name) == "-") {
            toolBar_->addSeparator();
            continue;
        }
        QString caption = QString::fromUtf8(b.caption);
        if (caption.isEmpty()) caption = QString::fromUtf8(QString(b.name) == "ToolButton8" ? "▶" : "▶▶");
        QAction* a = toolBar_->addAction(caption);
        a->setObjectName(b.name);
        a->setToolTip(QString::fromUtf8(b.tooltip));
        a->setCheckable(b.toggle);
        // The seven remote-control buttons wait for a running player to control.
        a->setEnabled(QString(b.name) >= "ToolButton1" && QString(b.name) <= "ToolButton7" ? false : true);
        actions_.insert(b.name, a);
    }
}

// The enabling rules of every item, as one function of the rows, their checks, the selection
// and the settings. It runs whenever one of these changes, so that a key does exactly what
// its menu item would; a new command's rule goes here. Items not named are always enabled.
void MainWindow::UpdateActionStates() {
    // A busy section changes rows by the thousand and takes no input; its end brings the
    // states up to date once.
    if (busyDepth_ > 0) return;
    const bool any = !session_.rows.empty();
    const bool checked = session_.rows.AnyChecked();
    const bool selected = SelectedRow() >= 0;
    const Settings& s = session_.settings;
    auto enable = [this](std::initializer_list<const char*> names, bool on) {
        for (const char* name : names)
            if (QAction* a = action(name)) a->setEnabled(on);
    };
    enable({"W1"}, checked || s.Get(Option::WitChkOff));
    enable({"C1"}, checked || s.Get(Option::CnvChkOff));
    // Files given a tag list as "未サポート" without the setting: the command waits for it.
    enable({"Id3v2Tag1"}, checked && s.Id3v2Edit);
    if (QAction* a = action("Id3v2Tag1"))
        a->setToolTip(s.Id3v2Edit ? a->text()
                                  : QString::fromUtf8("設定の「ID3v2 タグを読み書きする」がオンのときに使えます"));
    enable({"NewItem", "SaveItem", "S1", "I1"}, any);
    // The items of the two submenus follow their menus (Ctrl+W is "Default" of the output).
    for (QMenu* menu : {outputMenu_, inputMenu_})
        for (QAction* item : menu->actions()) item->setEnabled(any);
    enable({"Delete1", "SelectAll1", "R3", "SelReturn1"}, any);
    enable({"C3"}, checked);
    enable({"U2", "U3"}, selected);
    enable({"Find2", "Find3", "Select1"}, any);
    enable({"Rename", "filenameundo", "R4", "K1"}, checked || s.Get(Option::RenChkOff));
    enable({"F2", "F3"}, checked || s.Get(Option::FilChkOff));
    enable({"G2", "G3"}, checked || s.Get(Option::GetChkOff));
    enable({"Play1", "Play2", "C4"}, any);
    enable({"WinAMPW1", "WinAMP1"}, action("ToolButton2")->isEnabled());
    enable({"EditWin", "Refresh1", "N20"}, any);
    enable({"PopDelete", "PopPlay1", "PopPlay2", "C2", "PopAll"}, any);
    if (editWindow_) editWindow_->UpdateActionStates();
}

// Check marks that show the state as a menu opens.
void MainWindow::UpdateMenuChecks() {
    UpdateActionStates();
    const int focused = FocusedRow();
    action("C2")->setChecked(focused >= 0 && session_.rows[focused].Checked);
    UpdateViewMenuChecks();
}

void MainWindow::UpdateViewMenuChecks() {
    action("StatusB")->setChecked(statusBar()->isVisible());
    action("G1")->setChecked(listView_ && session_.settings.GridLineVis);
    action("ToolBar2")->setChecked(toolBar_->isVisible());
    action("EditWin")->setChecked(editWindow_ && editWindow_->IsShown());
}

}  // namespace wvr
