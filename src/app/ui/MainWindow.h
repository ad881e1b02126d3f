// The main window "wvr": the list of rows, its menus, tool bar and four-panel status bar.
// Every command is a routine of app/commands; the handlers here only collect what the
// routine needs (a file choice, the focused row) and show the result.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <array>

#include "app/commands/AddFiles.h"
#include "app/commands/Find.h"
#include "app/commands/Session.h"
#include "app/ui/QtPrompter.h"

class QActionGroup;
class QLabel;
class QMenu;
class QProgressBar;
class QToolBar;
class QToolButton;

namespace wvr {

class EditWindowLink;
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

    // BusyIndicator: wait cursor, window disabled (the list stays drawn), the focus given back
    // at the end; nests.
    void Begin() override;
    void End() override;
    void Progress(int done) override;

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
    void F2Click();
    void C4Click();
    void Find2Click();
    void Find3Click();
    void SelectClick();
    void RenameClick();
    void filenameundoClick();
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
    void Option1Click();
    void Contents1Click();
    void ListView1ColumnClick(int column);

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
    void BuildTemplateMenus();
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

    Session session_;
    QtPrompter boxes_;
    Prompter* prompter_ = &boxes_;
    TrackTableModel* model_ = nullptr;
    TrackListView* listView_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    std::array<QLabel*, 4> panels_{};
    QProgressBar* progress_ = nullptr;
    QHash<QString, QAction*> actions_;
    QMenu* popupMenu_ = nullptr;
    QMenu* outputMenu_ = nullptr;
    QMenu* inputMenu_ = nullptr;
    EditWindowLink* editWindow_ = nullptr;
    int busyDepth_ = 0;
    int fillField_ = 0;  // the field the fill dialog starts with; 0 (title) between uses
    SearchState searchState_;
    QPointer<QWidget> focusBeforeBusy_;
    bool applyingWidths_ = false;
};

}  // namespace wvr
