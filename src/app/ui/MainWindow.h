// The main window "wvr": the list of rows, its menus, tool bar and four-panel status bar.
// Every command is a routine of app/commands; the handlers here only collect what the
// routine needs (a file choice, the focused row) and show the result.
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/commands/AddFiles.h"
#include "app/commands/Find.h"
#include "app/commands/Session.h"
#include "app/ui/QtPrompter.h"

class QActionGroup;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolBar;
class QToolButton;

namespace wvr {

class BusyInputGate;
class DesktopStarter;
class EditWindowLink;
class PrintPlugin;
class ProcessStarter;
class RemotePlayer;
class TFileDnD;
enum class PlayerCommand;
enum class PlayResult;
class TrackListView;
class TrackTableModel;
template <class Owner>
struct MenuItem;

class MainWindow : public QMainWindow, public BusyIndicator {
    Q_OBJECT
public:
    MainWindow();
    ~MainWindow() override;

    Session& session() { return session_; }
    Prompter& prompter() { return *prompter_; }
    // Message boxes go through this prompter; tests put a scripted one here.
    void SetPrompter(Prompter* prompter) { prompter_ = prompter ? prompter : &boxes_; }
    TrackListView* listView() const { return listView_; }
    TrackTableModel* model() const { return model_; }
    QAction* action(const QString& name) const { return actions_.value(name); }
    QLabel* statusPanel(int i) const { return panels_[i]; }

    // The row with the keyboard focus, and the highlighted row; -1 when there is none.
    int FocusedRow() const;
    int SelectedRow() const;
    // Highlights and focuses the row and scrolls it into view.
    void GoToRow(int row);
    void UpdateStatusBar();
    // Enables each menu item and key by its rule, from the rows, checks, selection and
    // settings. It follows every change of the rows and the selection, every item's handler
    // and every busy section by itself; call it after changing a setting elsewhere.
    void UpdateActionStates();

    // Opens the fill dialog with `field` (0..13) chosen, then reloads the edit window.
    void OpenFillDialog(int field);
    // The searches of the find dialog and find next, kept until the program ends.
    SearchState& searchState() { return searchState_; }

    void SetEditWindow(EditWindowLink* editWindow);
    EditWindowLink* editWindow() const { return editWindow_; }
    void ReloadEditWindow();

    // Start-up step for the paths on the program's command line.
    void AddCommandLine(const QStringList& nativeArgs);
    // Adds a work list with the busy section and progress, as the open commands do.
    void AddWorkList(WorkList& work, const AddOptions& options);

    // The work of the CSV commands after their file dialogs (also used by tests).
    void SaveCsvTo(const QString& nativeName);
    void LoadCsvFiles(const QStringList& nativeNames);
    // The output and input submenus anew from "wvr.ini" and "wvr_In.ini", after a set was
    // stored or deleted.
    void RebuildTemplateMenus();

    // The player started by the play commands, the running player controlled from the tool
    // bar, the list's drag and drop, and the printing plug-in.
    RemotePlayer* remotePlayer() const { return remote_; }
    TFileDnD* fileDnD() const { return dnd_; }
    // Tests start no processes and do not wait: they put a recording starter and pause here.
    void SetProcessStarter(ProcessStarter* starter);
    void SetPause(std::function<void(int ms)> pause) { pause_ = std::move(pause); }
    // Start-up step: loads "dll/wvr_prn" from `programFolder` and offers "印刷(&P)...".
    void LoadPrintPlugin(const QString& programFolder);
    // Enables the remote-control buttons while a player is on the bus, and shows its state.
    void RefreshWinampButtons();
    void SyncPlayState(const QString& player);
    // The drop handler of the list: returns whether the files were taken.
    bool OnListDrop(const std::vector<std::string>& names, const SkippedNames& skipped, int keyState,
                    const QPoint& point);

    // BusyIndicator: wait cursor, window disabled (the list stays drawn), the focus given back
    // at the end; nests. Progress shows "done / total" in a bar of the status bar with "中止"
    // beside it, the one control that takes input meanwhile; a stopped run says at its end how
    // far it came.
    void Begin() override;
    void End() override;
    void Progress(int done, int total) override;
    bool Cancelled() override { return stopAsked_; }

    // Column widths as stored (pixels, 0 hidden, -1 fitted to the items).
    void ApplyColumnWidth(int column, int stored);
    void ApplyAllColumnWidths();

    // Handlers of the menus, the tool bar and the list, by the names of their controls.
public slots:
    void NewClick();
    void OpenItemClick();
    void F1Click();
    void Refresh1Click();
    void Exit1Click();
    void W1Click();
    void C1Click();
    void Id3v2TagClick();
    void F2Click();
    void C4Click();
    void Find2Click();
    void Find3Click();
    void SelectClick();
    void RenameClick();
    void filenameundoClick();
    void UndoWriteClick();
    // A run of a writing command that was killed is offered to be taken back (at start).
    void OfferRecovery();
    void Delete1Click();
    void C3Click();
    void SelectAll1Click();
    void R3Click();
    void SelReturn1Click();
    void C2Click();
    void MoveUpClick();
    void MoveDownClick();
    void N20Click();
    void P1Click();
    void EditWinClick();
    void AlwaysOnTopClick();
    void StatusBClick();
    void G1Click();
    void ToolBar2Click();
    void dummy11Click();
    void AboutClick();
    void SaveItemClick();
    void CSVL1Click();
    void G2Click();
    // The items of the output and input submenus, by their numbers.
    void OutputItemClick(int number);
    void InputItemClick(int number);
    void Option1Click();
    void Contents1Click();
    void ListView1ColumnClick(int column);
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton7Click();
    void ToolButton8Click();
    void ToolButton9Click();
    void ToolButton5MouseDown();
    void ToolButton6MouseDown();
    void ToolButton6MouseUp();
    void Timer1Timer();
    // "終了(&E)" of the player submenus: closes the player.
    void Exit2Click();
    void PrintClick();
    // A drag of rows out of the list, once the pointer moved with a button held.
    void ListView1MouseDown(bool leftButton);

    // The work of the open commands after their dialogs (also used by drops and tests).
    void AddChosenFiles(const QStringList& nativeNames);
    void AddChosenFolder(const QString& nativeFolder);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    QMenu* BuildMenu(QMenu* menu, const MenuItem<MainWindow>* entries, size_t count, bool withShortcuts);
    void BuildColumnWidthMenu(QMenu* menu);
    void BuildToolBar();
    void BuildStatusBar();
    void ApplySettings();
    void ApplyFonts();
    // What follows the settings after the options dialog closes, whether by OK or not.
    void FollowOptions();
    void CollectSettings();
    void WatchActionStates();
    void UpdateMenuChecks();
    void UpdateViewMenuChecks();
    void UpdateColumnMenuChecks(QMenu* menu, int column);
    void ColumnItemWidthClick(int column);
    void ColumnNoneClick(int column);
    void LayoutStatusPanels();
    void ShowPopupMenu(const QPoint& globalPos);
    void OnToggleKey();
    void OnFocusedRowChanged();
    void OnFileNameEdited(int row, const QString& text);
    void OnColumnResized(int column, int oldWidth, int newWidth);
    int FittedWidth(int column) const;
    void ShowEditWindowForFocusedRow();
    void CloseEditWindowWhenEmpty();
    bool ConfirmQuit();
    void BuildPlayerControls();
    void BuildDropMenu();
    void RunPlayerCommand(PlayerCommand command);
    // Starts a player through `start` (or hands its file to the player started before) and
    // waits `pauseMs`; false when nothing was started.
    bool StartPlayer(const std::function<PlayResult(ProcessStarter&)>& start, int pauseMs);
    void StartSeeking(PlayerCommand direction);
    void CopyPlayChecks(const char* play, const char* pause, const char* stop);
    int ChooseDropAction(const QPoint& point, bool newList);
    void RemoveDraggedRows(const std::vector<int>& rows);

    Session session_;
    QtPrompter boxes_;
    Prompter* prompter_ = &boxes_;
    TrackTableModel* model_ = nullptr;
    TrackListView* listView_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    std::array<QLabel*, 4> panels_{};
    QProgressBar* progress_ = nullptr;
    QPushButton* stop_ = nullptr;
    BusyInputGate* inputGate_ = nullptr;
    bool stopAsked_ = false;
    int lastDone_ = 0, lastTotal_ = 0;  // the count last told, for the message of a stopped run
    QHash<QString, QAction*> actions_;
    QMenu* popupMenu_ = nullptr;
    QMenu* outputMenu_ = nullptr;
    QMenu* inputMenu_ = nullptr;
    EditWindowLink* editWindow_ = nullptr;
    int busyDepth_ = 0;
    QElapsedTimer sinceProgressShown_;  // the window catches up a few times a second
    int fillField_ = 0;  // the field the fill dialog starts with; 0 (title) between uses
    SearchState searchState_;
    QPointer<QWidget> focusBeforeBusy_;
    bool applyingWidths_ = false;

    RemotePlayer* remote_ = nullptr;
    std::unique_ptr<DesktopStarter> desktopStarter_;
    ProcessStarter* starter_ = nullptr;
    std::function<void(int)> pause_;
    QTimer* timer1_ = nullptr;           // repeats fast forward or rewind while a button is held
    PlayerCommand seekCommand_{};
    QString seekPlayer_;                 // the player found when the button was pressed
    TFileDnD* dnd_ = nullptr;
    QMenu* dropMenu_ = nullptr;          // PopupMenu2
    std::unique_ptr<PrintPlugin> printPlugin_;
};

}  // namespace wvr
