// The main window: start, settings, busy section, status bar and close.
#include "app/ui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include "app/commands/SettingsIo.h"
#include "app/ui/DesktopStarter.h"
#include "app/ui/EditWindowLink.h"
#include "app/ui/FontSetting.h"
#include "app/ui/PrintPlugin.h"
#include "app/ui/Text.h"
#include "app/ui/TrackListView.h"
#include "app/ui/TrackTableModel.h"
#include "app/ui/WindowStacking.h"

namespace wvr {
namespace {

constexpr int kPanelWidths[4] = {500, 50, 50, 50};

}  // namespace

MainWindow::MainWindow() : boxes_(this), printPlugin_(std::make_unique<PrintPlugin>()) {
    setWindowTitle(kAppTitle);
    setObjectName("Form1");
    ModalStacking::Install();
    LoadSettings(session_.settings);

    model_ = new TrackTableModel(session_.rows, this);
    listView_ = new TrackListView(this);
    listView_->setModel(model_);
    setCentralWidget(listView_);

    BuildMenus();
    LoadPrintPlugin(QCoreApplication::applicationDirPath());
    BuildToolBar();
    BuildPlayerControls();
    BuildStatusBar();
    ApplySettings();
    BuildDropMenu();

    connect(listView_->horizontalHeader(), &QHeaderView::sectionClicked, this, &MainWindow::ListView1ColumnClick);
    connect(listView_->horizontalHeader(), &QHeaderView::sectionResized, this, &MainWindow::OnColumnResized);
    connect(listView_, &TrackListView::ToggleKeyPressed, this, &MainWindow::OnToggleKey);
    connect(listView_, &TrackListView::FocusedRowChanged, this, &MainWindow::OnFocusedRowChanged);
    connect(listView_, &TrackListView::RightButtonReleased, this, &MainWindow::ShowPopupMenu);
    connect(listView_, &TrackListView::RowDoubleClicked, this, [this] {
        if (FocusedRow() >= 0) ShowEditWindowForFocusedRow();
    });
    connect(listView_, &TrackListView::EnterWithModifierReleased, this, [this] {
        if (FocusedRow() >= 0) ShowEditWindowForFocusedRow();
    });
    connect(model_, &TrackTableModel::CheckToggled, this, [this](int) { ReloadEditWindow(); });
    connect(model_, &TrackTableModel::FileNameEdited, this, &MainWindow::OnFileNameEdited);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &MainWindow::UpdateStatusBar);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &MainWindow::UpdateStatusBar);
    connect(model_, &QAbstractItemModel::modelReset, this, &MainWindow::UpdateStatusBar);
    WatchActionStates();
    UpdateStatusBar();
}

// The item states follow every change of what their rules read.
void MainWindow::WatchActionStates() {
    auto update = [this] { UpdateActionStates(); };
    connect(model_, &QAbstractItemModel::rowsInserted, this, update);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, update);
    connect(model_, &QAbstractItemModel::modelReset, this, update);
    connect(model_, &QAbstractItemModel::dataChanged, this, update);
    connect(model_, &QAbstractItemModel::layoutChanged, this, update);
    connect(listView_->selectionModel(), &QItemSelectionModel::selectionChanged, this, update);
    connect(listView_->selectionModel(), &QItemSelectionModel::currentChanged, this, update);
    // The player's remote-control buttons carry the WinAMP submenus along.
    connect(action("ToolButton2"), &QAction::changed, this, update);
    UpdateActionStates();
}

MainWindow::~MainWindow() { session_.rows.SetObserver(nullptr); }

void MainWindow::ApplySettings() {
    const Settings& s = session_.settings;
    resize(s.WndWidth, s.WndHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    statusBar()->setVisible(s.StatusBarVis);
    listView_->setShowGrid(s.GridLineVis);
    toolBar_->setVisible(s.ToolBarVis);
    setFont(FontFrom(s.fonts[0], font()));
    listView_->setFont(FontFrom(s.fonts[2], listView_->font()));
    QPalette palette = listView_->palette();
    palette.setColor(QPalette::Text, ColorFrom(s.fonts[2].color));
    listView_->setPalette(palette);
    model_->SetFileNameEditable(s.Get(Option::EdtFileName));
    ApplyAllColumnWidths();
}

void MainWindow::CollectSettings() {
    Settings& s = session_.settings;
    s.StatusBarVis = statusBar()->isVisible();
    s.ToolBarVis = toolBar_->isVisible();
    s.WndWidth = width();
    s.WndHeight = height();
    if (editWindow_) editWindow_->StoreState(s);
}

void MainWindow::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar");
    bar->setSizeGripEnabled(true);
    const Qt::Alignment align[4] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignRight};
    for (int i = 0; i < 4; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setObjectName(QString("Panel%1").arg(i));
        panels_[i]->setAlignment(align[i] | Qt::AlignVCenter);
        panels_[i]->setMinimumWidth(0);
        if (i > 0) panels_[i]->setFrameShape(QFrame::StyledPanel);
        panels_[i]->setFixedWidth(kPanelWidths[i]);
        // The last panel runs to the end of the bar.
        bar->addWidget(panels_[i], i == 3 ? 1 : 0);
    }
    panels_[3]->setMinimumWidth(kPanelWidths[3]);
    panels_[3]->setMaximumWidth(QWIDGETSIZE_MAX);
    progress_ = new QProgressBar(this);
    progress_->setObjectName("AddProgress");
    progress_->setRange(0, 0);
    progress_->setMaximumWidth(120);
    progress_->setMaximumHeight(14);
    progress_->hide();
    bar->addPermanentWidget(progress_);
    bar->installEventFilter(this);
}

void MainWindow::LayoutStatusPanels() {
    panels_[0]->setFixedWidth(std::max(0, statusBar()->width() - 340));
    panels_[1]->setFixedWidth(70);
    panels_[2]->setFixedWidth(70);
    UpdateStatusBar();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == statusBar() && event->type() == QEvent::Resize) LayoutStatusPanels();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::UpdateStatusBar() {
    panels_[1]->setText(session_.settings.Get(Option::Filter) ? "FILTER" : "");
    panels_[2]->setText(QString::number(session_.rows.size()) + "Files ");
    const int focused = FocusedRow();
    if (session_.rows.empty()) panels_[3]->clear();
    else if (focused >= 0) panels_[3]->setText(FromSjis(session_.rows[focused].InfoText) + "  ");
}

int MainWindow::FocusedRow() const {
    const QModelIndex current = listView_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

int MainWindow::SelectedRow() const {
    const QModelIndexList selected = listView_->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void MainWindow::GoToRow(int row) {
    if (row < 0 || row >= session_.rows.size()) return;
    const QModelIndex index = model_->index(row, 0);
    listView_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    listView_->scrollTo(index);
}

void MainWindow::SetEditWindow(EditWindowLink* editWindow) {
    editWindow_ = editWindow;
    UpdateActionStates();
}

void MainWindow::ReloadEditWindow() {
    if (editWindow_) editWindow_->Reload();
    UpdateStatusBar();
}

// --- busy section

void MainWindow::Begin() {
    if (busyDepth_++ > 0) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    listView_->setUpdatesEnabled(false);
    // The window takes no input meanwhile; the status bar stays lit to show progress.
    listView_->setEnabled(false);
    menuBar()->setEnabled(false);
    toolBar_->setEnabled(false);
}

void MainWindow::End() {
    if (--busyDepth_ > 0) return;
    progress_->hide();
    toolBar_->setEnabled(true);
    menuBar()->setEnabled(true);
    listView_->setEnabled(true);
    listView_->setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
    UpdateStatusBar();
    UpdateActionStates();
}

void MainWindow::Progress(int done) {
    (void)done;
    progress_->show();
    UpdateStatusBar();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// --- start and close

void MainWindow::AddCommandLine(const QStringList& nativeArgs) {
    if (nativeArgs.isEmpty()) return;
    std::vector<std::string> args;
    for (const QString& a : nativeArgs) args.push_back(a.toStdString());
    {
        // Folders named on the command line are scanned inside the busy section too.
        BusySection busy(this);
        WorkList work = CollectArguments(args);
        AddFiles(session_, work, CommandLineAddOptions(session_.settings), *prompter_, this);
    }
    ApplyAllColumnWidths();
}

void MainWindow::AddWorkList(WorkList& work, const AddOptions& options) {
    {
        BusySection busy(this);
        AddFiles(session_, work, options, *prompter_, this);
    }
    ApplyAllColumnWidths();
}

bool MainWindow::ConfirmQuit() {
    if (session_.settings.Get(Option::QuitMesOff)) return true;
    const int count = session_.rows.CheckedCount();
    if (count == 0) return true;
    Prompt prompt{"Quit",
                  "チェック済みのアイテムが " + std::to_string(count) +
                      "つ残っています。\nこのまま終了してもよろしいですか？",
                  PromptIcon::Question, PromptButtons::OkCancel};
    return prompter_->Ask(prompt) == PromptAnswer::Ok;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (busyDepth_ > 0 || !ConfirmQuit()) {
        event->ignore();
        return;
    }
    CollectSettings();
    SaveSettings(session_.settings, *prompter_);
    printPlugin_->Release();
    if (editWindow_) editWindow_->CloseWindow();
    event->accept();
}

void MainWindow::Exit1Click() { close(); }

}  // namespace wvr
