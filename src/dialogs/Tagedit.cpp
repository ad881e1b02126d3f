// The edit window: reload from the focused row, typing into the row, its keys, and the
// commands on its one row.
#include "dialogs/Tagedit.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>

#include "app/commands/Rename.h"
#include "app/commands/SettingsIo.h"
#include "app/commands/WriteTags.h"
#include "app/ui/FontSetting.h"
#include "app/ui/MainWindow.h"
#include "app/ui/Text.h"
#include "app/ui/TrackListView.h"
#include "dialogs/DialogPlacement.h"
#include "dialogs/TageditInput.h"
#include "formats/FieldMacros.h"
#include "formats/id3v2/TaggedMpegWriter.h"
#include "formats/PathText.h"

namespace wvr {
namespace {

// A reload that changes a box's text selects it; the same text leaves the box as it is.
void ShowText(QLineEdit* box, const std::string& text, bool select) {
    const QString shown = FromSjis(text);
    if (box->text() == shown) return;
    box->setText(shown);
    if (select) box->selectAll();
}

}  // namespace

TForm1::TForm1(MainWindow& main) : QWidget(nullptr, Qt::Tool), main_(main) {
    setObjectName("TForm1");
    setWindowTitle(QStringLiteral("Edit"));
    // Closing the main window ends the program; this window never keeps it running.
    setAttribute(Qt::WA_QuitOnClose, false);
    BuildGroups();
    BuildMenus();
    ApplyStoredState();
}

TForm1::~TForm1() {
    // The boxes go after this object's own part: their last focus change must not reach it.
    disconnect(qApp, nullptr, this, nullptr);
    if (main_.editWindow() == this) main_.SetEditWindow(nullptr);
}

void TForm1::ApplyStoredState() {
    const Settings& settings = main_.session().settings;
    boxes_[kSoftware]->setEnabled(settings.Get(Option::EdtISFT));
    ApplyFont(settings.fonts[1]);
    EditWindowSettings state = settings.editWindow;
    LoadEditWindowSettings(state);
    siGroup_->setVisible(state.f1Rmp != 0);
    siOptionGroup_->setVisible(state.f1RmpO != 0);
    resize(state.f1Width, state.f1Height);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    SetStayOnTop(state.f1OnTop == 1);
    if (QAction* onTop = main_.action("AlwaysOnTop")) onTop->setChecked(StaysOnTop());
    LayoutGroups();
    FitToScreen(this);
}

void TForm1::ApplyFont(const FontSetting& setting) {
    setFont(FontFrom(setting, font()));
    QPalette colors = palette();
    const QPalette theme = QApplication::palette(this);
    colors.setColor(QPalette::WindowText, TextColorFrom(setting.color, theme.color(QPalette::WindowText)));
    colors.setColor(QPalette::Text, TextColorFrom(setting.color, theme.color(QPalette::Text)));
    appliedColor_ = setting.color;
    setPalette(colors);
    for (QLineEdit* box : boxes_) ShowSelection(box, box->hasFocus());
    ShowSelection(fileNameBox_, fileNameBox_->hasFocus());
}

// --- the window as the main window sees it

void TForm1::Reload() {
    const int row = main_.FocusedRow();
    if (row < 0) return;
    shownRow_ = row;
    const TrackInfo& track = main_.session().rows[row];
    setWindowTitle(FromSjis(track.Path));
    for (int field = 0; field < kBoxCount; ++field) {
        boxes_[field]->setValidator(nullptr);
        ShowText(boxes_[field], track.Fields[field], true);
    }
    MarkLossyFields(track);
    infoLabel_->setText(FromSjis(track.InfoText));
    ShowText(fileNameBox_, track.FileName, false);
    main_.statusPanel(3)->setText(FromSjis(track.InfoText) + "  ");
    ApplyLimits(track);
    boxes_[kSoftware]->setEnabled(main_.session().settings.Get(Option::EdtISFT));
}

// A field of an ID3v2 tag that holds characters Shift-JIS lacks shows them as "?": its box is
// marked, since changing it loses them (the write asks first). The row knows it from its reading.
void TForm1::MarkLossyFields(const TrackInfo& row) {
    const std::bitset<kFieldCount>& lossy = row.Reading.lossy;
    for (int field = 0; field < kBoxCount; ++field) {
        QLineEdit* box = boxes_[field];
        const bool mark = lossy[field];
        if (box->property("lossy").toBool() == mark) continue;
        box->setProperty("lossy", mark);
        box->setToolTip(mark ? QString::fromUtf8("Shift-JIS で表せない文字があります。変更すると、書き込む前に確認します。")
                             : QString());
        box->setStyleSheet(mark ? QStringLiteral("QLineEdit { background: #fff0c0; }") : QString());
    }
}

// Plain MPEG rows hold what an ID3v1 tag holds: 30 bytes per text, 4 for the year, and no
// SI fields; SoundVQ rows have no SI fields either.
void TForm1::ApplyLimits(const TrackInfo& row) {
    siGroup_->setEnabled(true);
    siOptionGroup_->setEnabled(true);
    if (!main_.session().settings.Get(Option::EdtLimit)) return;
    switch (static_cast<FileKind>(row.KindCode())) {
    case FileKind::Mpeg:
        for (size_t field = 0; field < limits_.size(); ++field) {
            limits_[field]->Start(boxes_[field]->text());
            boxes_[field]->setValidator(limits_[field]);
        }
        [[fallthrough]];
    case FileKind::SoundVq:
        siGroup_->setEnabled(false);
        siOptionGroup_->setEnabled(false);
        break;
    default: break;
    }
}

void TForm1::ShowWindow() {
    show();
    raise();
    activateWindow();
}

void TForm1::CloseWindow() { close(); }

bool TForm1::IsShown() const { return isVisible(); }

void TForm1::SetStayOnTop(bool onTop) {
    if (StaysOnTop() == onTop) return;
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (shown) show();  // changing the flags hides the window
}

bool TForm1::StaysOnTop() const { return windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

void TForm1::TakeFocus() {
    if (!isVisible()) return;
    raise();
    activateWindow();
    if (!focusWidget()) boxes_[0]->setFocus();
}

void TForm1::FollowSettings() {
    const Settings& settings = main_.session().settings;
    const QFont before = font();
    ApplyFont(settings.fonts[1]);
    // The groups are measured in lines of text: a new size needs a new height.
    if (font() != before) FitHeightToGroups();
    boxes_[kSoftware]->setEnabled(settings.Get(Option::EdtISFT));
    Reload();
}

void TForm1::StoreState(Settings& settings) const {
    EditWindowSettings& state = settings.editWindow;
    state.f1Rmp = siGroup_->isHidden() ? 0 : 1;
    state.f1RmpO = siOptionGroup_->isHidden() ? 0 : 1;
    state.f1Width = width();
    state.f1Height = height();
    state.f1OnTop = StaysOnTop() ? 1 : 0;
    FontSetting& stored = settings.fonts[1];
    stored.name = ToSjis(font().family());
    if (font().pointSize() > 0) stored.size = font().pointSize();
    stored.color = appliedColor_;  // "none chosen" stays so, whatever the theme draws
}

// --- typing

void TForm1::OnFieldEdited(int field, const QString& text) {
    const int row = main_.FocusedRow();
    if (row < 0) return;
    const std::string bytes = ToSjis(text);
    main_.session().rows.Edit(row, [&](TrackInfo& r) {
        r.Fields[field] = bytes;
        r.Checked = true;
    });
}

void TForm1::OnFileNameEdited(const QString& text) {
    const int row = main_.FocusedRow();
    if (row < 0) return;
    const std::string bytes = ToSjis(text);
    main_.session().rows.Edit(row, [&](TrackInfo& r) {
        r.FileName = bytes;
        r.Checked = true;
    });
}

// --- keys: the window sees them before its boxes

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && event->type() == QEvent::KeyPress && HandleBoxKey(box, static_cast<QKeyEvent*>(event))) return true;
    if (box && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        // A pop-up menu over the box still works on its selection.
        const auto* focus = static_cast<QFocusEvent*>(event);
        ShowSelection(box, focus->gotFocus() || focus->reason() == Qt::PopupFocusReason);
    }
    return QWidget::eventFilter(watched, event);
}

bool TForm1::HandleBoxKey(QLineEdit* box, const QKeyEvent* key) {
    switch (key->key()) {
    case Qt::Key_Up: StepRow(-1); return true;
    case Qt::Key_Down: StepRow(1); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: focusNextPrevChild(!(key->modifiers() & Qt::ShiftModifier)); return true;
    case Qt::Key_Delete:
        if (key->modifiers() & ~Qt::KeypadModifier) return false;  // Shift+Del stays the box's cut
        DeleteAtCaret(box);
        return true;
    default: return false;
    }
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        StepRow(event->key() == Qt::Key_Up ? -1 : 1);
        return;
    }
    QWidget::keyPressEvent(event);
}

// The list's change notification brings the reload.
void TForm1::StepRow(int delta) {
    const int row = main_.FocusedRow();
    const int target = row + delta;
    if (row < 0 || target < 0 || target >= main_.session().rows.size()) return;
    main_.GoToRow(target);
}

QLineEdit* TForm1::FocusedBox() const {
    QWidget* focused = focusWidget();
    if (focused == fileNameBox_) return fileNameBox_;
    for (QLineEdit* box : boxes_) {
        if (focused == box) return box;
    }
    return nullptr;
}

// --- events

bool TForm1::event(QEvent* event) {
    // Hints of the window's items show in the main window's status bar, as the main
    // window's own do.
    if (event->type() == QEvent::StatusTip) return QCoreApplication::sendEvent(&main_, event);
    return QWidget::event(event);
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutGroups();
}

void TForm1::contextMenuEvent(QContextMenuEvent* event) { ShowPopup(event->globalPos()); }

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (QAction* shown = main_.action("EditWin")) shown->setChecked(true);
}

void TForm1::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (QAction* shown = main_.action("EditWin")) shown->setChecked(false);
}

// --- commands on the box with the focus

void TForm1::Undo1Click() {
    if (QLineEdit* box = FocusedBox()) box->undo();
}

void TForm1::Cut1Click() {
    if (QLineEdit* box = FocusedBox()) box->cut();
}

void TForm1::Copy1Click() {
    if (QLineEdit* box = FocusedBox()) box->copy();
}

void TForm1::Paste1Click() {
    if (QLineEdit* box = FocusedBox()) box->paste();
}

void TForm1::Delete1Click() {
    if (QLineEdit* box = FocusedBox()) DeleteAtCaret(box);
}

void TForm1::SelectAll1Click() {
    if (QLineEdit* box = FocusedBox()) box->selectAll();
}

void TForm1::Etc2Click() {
    if (QLineEdit* box = FocusedBox()) box->home(true);
}

void TForm1::EtcClick() {
    main_.raise();
    main_.activateWindow();
    main_.listView()->setFocus();
}

// --- commands on the row

void TForm1::W1Click() {
    Session& session = main_.session();
    const int row = main_.FocusedRow();
    if (row < 0) return;
    WriteCurrentRow(session, row, main_.prompter(), &main_);
    main_.ReloadEditWindow();
}

void TForm1::Exit1Click() { CloseWindow(); }

// The name from the rename pattern in use; "%n" counts rows from 0 here, and full-width
// letters stay as they are (only the main window's rename makes them half-width).
void TForm1::R1Click() {
    Session& session = main_.session();
    const int row = main_.FocusedRow();
    if (row < 0) return;
    MacroOptions options = RenameMacroOptions(session.settings);
    options.HalfWidth = false;
    const std::string name =
        ExpandFieldMacros(session.settings.CurrentRenamePattern(), row, session.rows[row], options);
    session.rows.Edit(row, [&](TrackInfo& r) {
        r.FileName = name;
        r.Checked = true;
    });
    main_.ReloadEditWindow();
}

void TForm1::K1Click() {
    const int row = main_.FocusedRow();
    if (row < 0) return;
    main_.session().rows.Edit(row, [](TrackInfo& r) { r.FileName = path::FileName(r.Path); });
    main_.ReloadEditWindow();
}

// The fill dialog starts with the field of the box that has the focus.
void TForm1::F1Click() {
    int field = 0;
    for (int i = 0; i < kBoxCount; ++i)
        if (FocusedBox() == boxes_[i]) field = i;
    main_.OpenFillDialog(field);
}

}  // namespace wvr
