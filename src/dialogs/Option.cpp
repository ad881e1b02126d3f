// The options dialog: opening on the settings, the enabling rules, and OK.
#include "dialogs/Option.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QShortcut>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/commands/Options.h"
#include "app/ui/Text.h"
#include "dialogs/DialogParts.h"
#include "dialogs/DialogPlacement.h"
#include "dialogs/HelpViewer.h"
#include "formats/PathText.h"

namespace wvr {
namespace {

constexpr const char* kWavWarning =
    "変換可能になりますが、ファイルの正当性は保証できません。\n了承の上使用してください。";

}  // namespace

int PointSize(const QFont& font) { return font.pointSize() > 0 ? font.pointSize() : QFontInfo(font).pointSize(); }

TForm2::TForm2(const Settings& settings, const std::array<QFont, 3>& fonts, Prompter* prompter, QWidget* parent)
    : QDialog(parent),
      opened_(OptionsWorkingCopy(settings)),
      edited_(opened_),
      fonts_(fonts),
      boxes_(this),
      prompter_(prompter ? prompter : &boxes_) {
    setObjectName("Form2");
    setWindowTitle(QStringLiteral("設定"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    BuildPages();

    QPushButton* ok = NamedButton(this, "OKBtn", "OK");
    ok->setDefault(true);
    QPushButton* cancel = NamedButton(this, "CancelBtn", "キャンセル");
    QPushButton* help = NamedButton(this, "HelpBtn", "ヘルプ(&H)");
    connect(ok, &QPushButton::clicked, this, &TForm2::OKBtnClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &TForm2::HelpBtnClick);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, &TForm2::HelpBtnClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {ok, cancel, help}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addLayout(buttons);

    ShowValues();
    for (int bit : {14, 21, 32, 35, 36}) connect(checks_[bit], &QCheckBox::toggled, this, &TForm2::UpdateStates);
    connect(includeMode_, &QRadioButton::toggled, this, &TForm2::UpdateStates);
    checks_[12]->installEventFilter(this);
    connect(checks_[12], &QCheckBox::clicked, this, &TForm2::OnCheckBox12Clicked);
    UpdateStates();
    // As large as the pages want where the screen has the room; the pages scroll where not.
    resize(sizeHint());
    PlaceCentered(this, parent);
}

void TForm2::ShowValues() {
    const Settings& s = edited_;
    for (int bit = 0; bit < kOptionCount; ++bit) checks_[bit]->setChecked(s.bits[bit]);
    csvUtf8_->setChecked(s.CsvUtf8);
    csvHeader_->setChecked(s.CsvHeader);
    clickChoices_[s.EdtClmIdx]->setChecked(true);
    player_->setText(FromNativePath(s.PlyPlayer));
    engineer_->setText(FromSjis(s.CnvEngineer));
    lyricsFolder_->setText(FromNativePath(s.RenLrcFld));

    for (size_t i = 0; i < s.RenString.size(); ++i) {
        patterns_->addItem(FromSjis(s.RenString[i]), QByteArray::fromStdString(s.RenString[i]));
        numbers_->addItem(QString::number(i));
    }
    SelectPattern(s.RenStrIdx);
    connect(numbers_, &QListWidget::currentRowChanged, this, &TForm2::SelectPattern);
    connect(patterns_, &QComboBox::activated, this, &TForm2::SelectPattern);

    for (const auto& rule : s.ReName) AddExceptionRow(rule);

    for (size_t i = 1; i < s.Filter.size(); ++i) AddFilterLine(s.Filter[i]);
    includeField_->setCurrentIndex(s.Filter[0].Index);
    includeText_->setText(FromSjis(s.Filter[0].Str));
    (s.FilterSel ? includeMode_ : excludeMode_)->setChecked(true);
    id3v2Edit_->setChecked(s.Id3v2Edit);
    id3v2Version_->setCurrentIndex(s.Id3v2Version == 4 ? 1 : 0);
    journalDays_->setValue(s.JournalDays);
    journalMegabytes_->setValue(s.JournalMegabytes);

    ShowCsvColumns(-1);
    for (int i = 0; i < 3; ++i) {
        FontSetting& font = edited_.fonts[i];
        font.name = ToSjisKeeping(fonts_[i].family(), opened_.fonts[i].name);
        font.size = PointSize(fonts_[i]);
        ShowFont(i);
    }
}

// Which controls can be used follows the check boxes and radio buttons that head them.
void TForm2::UpdateStates() {
    exceptionPanel_->setVisible(checks_[21]->isChecked());
    player_->setEnabled(checks_[14]->isChecked());
    playerButton_->setEnabled(checks_[14]->isChecked());
    const bool lyrics = checks_[32]->isChecked();
    checks_[34]->setEnabled(lyrics);
    checks_[35]->setEnabled(lyrics);
    lyricsFolder_->setEnabled(lyrics && checks_[35]->isChecked());
    folderButton_->setEnabled(lyrics && checks_[35]->isChecked());
    const bool filter = checks_[36]->isChecked();
    includeMode_->setEnabled(filter);
    excludeMode_->setEnabled(filter);
    includeField_->setEnabled(filter && includeMode_->isChecked());
    includeText_->setEnabled(filter && includeMode_->isChecked());
    for (QWidget* w : std::as_const(excludeControls_)) w->setEnabled(filter && excludeMode_->isChecked());
}

// The values in the order in which OK applies them; the filter and the CSV order are kept
// up to date in the working copy while the dialog is open.
void TForm2::Collect() {
    for (int bit = 0; bit < kOptionCount; ++bit) edited_.bits[bit] = checks_[bit]->isChecked();
    edited_.CsvUtf8 = csvUtf8_->isChecked();
    edited_.CsvHeader = csvHeader_->isChecked();
    edited_.Id3v2Edit = id3v2Edit_->isChecked();
    edited_.Id3v2Version = id3v2Version_->currentData().toInt();
    edited_.JournalDays = journalDays_->value();
    edited_.JournalMegabytes = journalMegabytes_->value();
    for (int i = 0; i < 3; ++i) {
        if (clickChoices_[i]->isChecked()) edited_.EdtClmIdx = i;
    }
    edited_.PlyPlayer = ToNativePath(player_->text());
    edited_.CnvEngineer = ToSjisKeeping(engineer_->text(), opened_.CnvEngineer);
    FinishFolderBox();
    edited_.RenLrcFld = ToNativePath(lyricsFolder_->text());
    edited_.RenString.clear();
    for (int i = 0; i < patterns_->count(); ++i)
        edited_.RenString.push_back(patterns_->itemData(i).toByteArray().toStdString());
    edited_.RenStrIdx = numbers_->currentRow();
    edited_.FilterSel = includeMode_->isChecked();
    edited_.ReName.clear();
    for (int i = 0; i < exceptions_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = exceptions_->topLevelItem(i);
        std::vector<std::string> rule(kRuleItemCount);
        for (int item = 0; item < kRuleItemCount; ++item)
            rule[item] = row->data(item, Qt::UserRole).toByteArray().toStdString();
        edited_.ReName.push_back(std::move(rule));
    }
}

void TForm2::OKBtnClick() {
    Collect();
    accept();
}

void TForm2::HelpBtnClick() {
    HelpViewer::Open(this, QString::fromStdString(OptionsHelpTopic(pages_->currentIndex())));
}

// Only a click with the left button warns; the keyboard toggles the box silently.
bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == checks_[12]) {
        if (event->type() == QEvent::MouseButtonRelease)
            leftClickOn12_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        else if (event->type() == QEvent::KeyPress)
            leftClickOn12_ = false;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::OnCheckBox12Clicked(bool checked) {
    const bool warn = checked && leftClickOn12_;
    leftClickOn12_ = false;
    if (warn) prompter_->Warning(kWavWarning);
}

// The lyrics folder is used as a prefix of file names, so it ends with the separator.
void TForm2::FinishFolderBox() {
    const QString folder = lyricsFolder_->text();
    if (!folder.isEmpty() && !folder.endsWith(QChar(path::kSeparator))) lyricsFolder_->setText(folder + path::kSeparator);
}

}  // namespace wvr
