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
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <utility>

#include "app/commands/SettingsIo.h"
#include "app/ui/BusyInputGate.h"
#include "app/ui/DesktopStarter.h"
#include "formats/MpegHeader.h"
#include "formats/SoundVq.h"
#include "app/ui/EditWindowLink.h"
#include "app/ui/FontSetting.h"
#include "app/ui/PrintPlugin.h"
#include "app/ui/Text.h"
#include "app/ui/TrackListView.h"
#include "app/ui/TrackTableModel.h"
#include "app/ui/WindowStacking.h"
#include "dialogs/DialogPlacement.h"

namespace wvr {
namespace {

// The least widths of panels 1 to 3; each grows to what its longest text needs in the font.
constexpr int kPanelWidths[4] = {0, 70, 70, 50};

// The longest texts of panels 1 to 3: the filter mark, a six-digit row count, and the
// longest property text the readers make (a SoundVQ row with three-digit rates and a
// five-digit play time) with the two spaces after it.
QString LongestPanelText(int panel) {
    switch (panel) {
    case 1: return QStringLiteral("FILTER");
    case 2: return QStringLiteral("999999Files ");
    default: {
        constexpr long long kSeconds = 99999;
        const HeaderBytes rates{0, 255, 255};
        return FromSjis(SoundVqInfoText(rates, kSeconds * rates.b1 * 125).infoText) + "  ";
    }
    }
}

// The width at which a panel shows `text` whole: the text, the frame on both sides and the
// indent a framed label keeps on its aligned side.
int PanelWidthFor(const QLabel* panel, const QString& text) {
    const QFontMetrics metrics = panel->fontMetrics();
    return metrics.horizontalAdvance(text) + 2 * panel->frameWidth() + metrics.horizontalAdvance(QLatin1Char('x'));
}

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
    // The list has the keyboard from the start.
    listView_->setFocus();

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
    // When the last row goes, whichever way (delete, new list, reload, adding with the list
    // cleared first, writing with the rows removed), the edit window has nothing to show.
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &MainWindow::CloseEditWindowWhenEmpty);
    connect(model_, &QAbstractItemModel::modelReset, this, &MainWindow::CloseEditWindowWhenEmpty);
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
    FitToScreen(this);
    statusBar()->setVisible(s.StatusBarVis);
    listView_->setShowGrid(s.GridLineVis);
    toolBar_->setVisible(s.ToolBarVis);
    ApplyFonts();
    model_->SetFileNameEditable(s.Get(Option::EdtFileName));
    ApplyAllColumnWidths();
}

// The main window's font and colour, and the list's; the edit window takes its own.
void MainWindow::ApplyFonts() {
    const Settings& s = session_.settings;
    setFont(FontFrom(s.fonts[0], font()));
    QPalette windowColors = palette();
    windowColors.setColor(QPalette::WindowText,
                          TextColorFrom(s.fonts[0].color, QApplication::palette(this).color(QPalette::WindowText)));
    setPalette(windowColors);
    listView_->setFont(FontFrom(s.fonts[2], listView_->font()));
    QPalette listColors = listView_->palette();
    listColors.setColor(QPalette::Text,
                        TextColorFrom(s.fonts[2].color, QApplication::palette(listView_).color(QPalette::Text)));
    listView_->setPalette(listColors);
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
        if (i > 0) panels_[i]->setFrameShape(QFrame::StyledPanel);
        // Panel 0 takes what the others leave of the bar.
        bar->addWidget(panels_[i], i == 0 ? 1 : 0);
    }
    panels_[0]->setMinimumWidth(0);
    progress_ = new QProgressBar(this);
    progress_->setObjectName("AddProgress");
    progress_->setRange(0, 0);
    // Room for the count it shows ("123456 / 123456") in the bar's own font.
    const QFontMetrics metrics(progress_->font());
    progress_->setFixedWidth(std::max(160, metrics.horizontalAdvance(QStringLiteral("000000 / 000000")) + 24));
    progress_->setMaximumHeight(std::max(14, metrics.height() + 2));
    progress_->hide();
    bar->addPermanentWidget(progress_);
    stop_ = new QPushButton(QStringLiteral("中止"), this);
    stop_->setObjectName("StopButton");
    stop_->setFocusPolicy(Qt::NoFocus);
    stop_->setMaximumHeight(progress_->maximumHeight() + 6);
    stop_->hide();
    connect(stop_, &QPushButton::clicked, this, [this] {
        stopAsked_ = true;
        stop_->setEnabled(false);
    });
    bar->addPermanentWidget(stop_);
    inputGate_ = new BusyInputGate(stop_, this);
    bar->installEventFilter(this);
    LayoutStatusPanels();
}

void MainWindow::LayoutStatusPanels() {
    for (int i = 1; i < 4; ++i)
        panels_[i]->setFixedWidth(std::max(kPanelWidths[i], PanelWidthFor(panels_[i], LongestPanelText(i))));
    UpdateStatusBar();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The panels follow the font (the main window's, set at start and by the options).
    if (watched == statusBar() && (event->type() == QEvent::Resize || event->type() == QEvent::FontChange))
        LayoutStatusPanels();
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

void MainWindow::CloseEditWindowWhenEmpty() {
    if (session_.rows.empty() && editWindow_) editWindow_->CloseWindow();
}

void MainWindow::ReloadEditWindow() {
    if (editWindow_) editWindow_->Reload();
    UpdateStatusBar();
}

// --- busy section

void MainWindow::Begin() {
    if (busyDepth_++ > 0) return;
    stopAsked_ = false;
    lastDone_ = lastTotal_ = 0;
    // Disabling the list takes the keyboard focus from it; it goes back at the end.
    focusBeforeBusy_ = focusWidget();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The window takes no input meanwhile. The list keeps being drawn (rows appear as they
    // are added) and the status bar stays lit to show progress.
    listView_->setEnabled(false);
    menuBar()->setEnabled(false);
    toolBar_->setEnabled(false);
}

void MainWindow::End() {
    if (--busyDepth_ > 0) return;
    progress_->hide();
    stop_->hide();
    stop_->setEnabled(true);
    sinceProgressShown_.invalidate();
    toolBar_->setEnabled(true);
    menuBar()->setEnabled(true);
    listView_->setEnabled(true);
    // Back to what had the focus (in the window's focus chain even while another window is
    // active, so that the edit window keeps its own).
    QWidget* focus = focusBeforeBusy_ && focusBeforeBusy_->isEnabled() ? focusBeforeBusy_.data() : listView_;
    focusBeforeBusy_.clear();
    focus->setFocus(Qt::OtherFocusReason);
    QApplication::restoreOverrideCursor();
    UpdateStatusBar();
    UpdateActionStates();
    if (std::exchange(stopAsked_, false)) {
        std::string text = "中止しました。\n";
        if (lastTotal_ > 0) text += std::to_string(lastTotal_) + " 件中 ";
        prompter_->Information(text + std::to_string(lastDone_) + " 件を処理しました。");
    }
}

void MainWindow::Progress(int done, int total) {
    // Told for every file or row: the window is brought up to date at most every 50 ms, and
    // at the last one.
    constexpr qint64 kCatchUpMs = 50;
    lastDone_ = done;
    lastTotal_ = total;
    if (sinceProgressShown_.isValid() && sinceProgressShown_.elapsed() < kCatchUpMs && done < total) return;
    sinceProgressShown_.start();
    if (total > 0) {
        progress_->setRange(0, total);
        progress_->setValue(std::min(done, total));
        progress_->setFormat(QStringLiteral("%v / %m"));
        progress_->setTextVisible(true);
    } else {
        progress_->setRange(0, 0);
        progress_->setTextVisible(false);
    }
    progress_->show();
    stop_->show();
    UpdateStatusBar();
    // Only the stop button takes input here; the questions a command asks between two files
    // take it as always.
    inputGate_->Close();
    QApplication::processEvents();
    inputGate_->Open();
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
