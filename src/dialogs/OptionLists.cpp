// The options dialog's lists and choosers: rename patterns, exception rules, filter
// conditions, the CSV column order, the player, the lyrics folder and the fonts.
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <algorithm>

#include "app/commands/ColumnNames.h"
#include "app/commands/Options.h"
#include "app/ui/FontSetting.h"
#include "app/ui/Text.h"
#include "app/ui/TrackTableModel.h"
#include "dialogs/Option.h"

namespace wvr {
namespace {

// The edit window's boxes are laid out for these sizes.
constexpr int kEditFontMin = 8;
constexpr int kEditFontMax = 12;

const char* const kFontTitles[3] = {"メインウインドウのフォント", "エディットウインドウのフォント", "リストのフォント"};
const char* const kColorTitles[3] = {"メインウインドウの文字の色", "エディットウインドウの文字の色", "リストの文字の色"};

// A CSV code by name; a code the dialog does not offer keeps its number so it can be seen.
QString CsvCaption(int code) { return QString::fromStdString(CsvColumnName(code)); }

// A filter field by name; a field without a list column keeps its number so it can be seen.
QString FilterFieldCaption(int index) {
    return index < kColumnCount ? TrackTableModel::ColumnCaption(index) : QStringLiteral("欄 %1").arg(index);
}

std::string Bytes(const QVariant& data) { return data.toByteArray().toStdString(); }

// The line the buttons work on: the current one, when it is selected. Tabbing into a list
// makes its first line current without selecting it, and that line was not chosen.
int SelectedLine(const QListWidget* list) {
    const QListWidgetItem* line = list->currentItem();
    return line && line->isSelected() ? list->currentRow() : -1;
}

}  // namespace

// --- rename patterns: the number list and the pattern box select the same position

void TForm2::SelectPattern(int index) {
    const QSignalBlocker numbers(numbers_), patterns(patterns_);
    numbers_->setCurrentRow(index);
    patterns_->setCurrentIndex(index);
}

void TForm2::Button1Click() {
    const QString text = patterns_->currentText();
    patterns_->addItem(text, QByteArray::fromStdString(ToSjis(text)));
    numbers_->addItem(QString::number(numbers_->count()));
    SelectPattern(patterns_->count() - 1);
}

void TForm2::Button2Click() {
    const int index = SelectedLine(numbers_);
    if (index < 0) return;
    {
        const QSignalBlocker numbers(numbers_), patterns(patterns_);
        patterns_->removeItem(index);
        delete numbers_->takeItem(index);
        for (int i = 0; i < numbers_->count(); ++i) numbers_->item(i)->setText(QString::number(i));
    }
    SelectPattern(patterns_->count() > 0 ? 0 : -1);
}

// --- exception rules: each table row keeps the rule's three stored texts

void TForm2::AddExceptionRow(const std::vector<std::string>& rule) {
    const int field = std::max(RuleField(rule), 0);
    auto* row = new QTreeWidgetItem(
        {TrackTableModel::ColumnCaption(field), FromSjis(rule[kRuleText]), FromSjis(rule[kRulePattern])});
    for (int item = 0; item < kRuleItemCount; ++item)
        row->setData(item, Qt::UserRole, QByteArray::fromStdString(rule[item]));
    exceptions_->addTopLevelItem(row);
}

void TForm2::Button3Click() {
    const int field = exceptionField_->currentIndex();
    // The macro is the text in the pattern box, as the stored pattern when it shows one.
    const int shown = patterns_->currentIndex();
    const QString macro = patterns_->currentText();
    const std::string macroBytes =
        shown >= 0 && patterns_->itemText(shown) == macro ? Bytes(patterns_->itemData(shown)) : ToSjis(macro);
    AddExceptionRow({ToSjis(exceptionText_->text()), macroBytes, std::to_string(field)});
}

void TForm2::Button4Click() {
    QTreeWidgetItem* row = exceptions_->currentItem();
    if (row && row->isSelected()) delete row;
}

void TForm2::OnExceptionRowClicked(QTreeWidgetItem* row) {
    exceptionText_->setText(FromSjis(Bytes(row->data(kRuleText, Qt::UserRole))));
    exceptionField_->setCurrentIndex(static_cast<int>(DecimalValue(Bytes(row->data(kRuleField, Qt::UserRole)))));
}

// --- player and lyrics folder

void TForm2::Button5Click() {
    const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("プレイヤーの選択"), player_->text());
    if (!chosen.isEmpty()) player_->setText(QDir::toNativeSeparators(chosen));
}

void TForm2::Button6Click() {
    const QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("フォルダの選択"),
                                                             lyricsFolder_->text());
    if (chosen.isEmpty()) return;
    lyricsFolder_->setText(QDir::toNativeSeparators(chosen));
    FinishFolderBox();
}

// --- filter: line i of the condition list is filter entry i + 1

void TForm2::AddFilterLine(const FilterEntry& entry) {
    const QSignalBlocker blocker(conditions_);
    auto* line = new QListWidgetItem(FilterFieldCaption(entry.Index) + " - " + FromSjis(entry.Str));
    line->setFlags(line->flags() | Qt::ItemIsUserCheckable);
    line->setCheckState(entry.Checked ? Qt::Checked : Qt::Unchecked);
    conditions_->addItem(line);
}

void TForm2::Button7Click() {
    const FilterEntry entry{true, excludeField_->currentIndex(), ToSjis(excludeText_->text())};
    edited_.Filter.push_back(entry);
    AddFilterLine(entry);
}

void TForm2::Button8Click() {
    const int line = SelectedLine(conditions_);
    if (line < 0) return;
    delete conditions_->takeItem(line);
    edited_.Filter.erase(edited_.Filter.begin() + line + 1);
}

void TForm2::OnFilterLineChanged(QListWidgetItem* line) {
    const int row = conditions_->row(line);
    if (row >= 0) edited_.Filter[row + 1].Checked = line->checkState() == Qt::Checked;
}

// --- CSV column order

void TForm2::ShowCsvColumns(int selected) {
    csvOrder_->clear();
    for (int code : edited_.csvColumns) csvOrder_->addItem(CsvCaption(code));
    csvOrder_->setCurrentRow(selected);
}

void TForm2::Button9Click() {
    auto& order = edited_.csvColumns;
    const int selected = SelectedLine(csvOrder_);
    const int at = selected < 0 ? static_cast<int>(order.size()) : selected + 1;
    order.insert(order.begin() + at, csvColumn_->currentIndex());
    ShowCsvColumns(at);
}

void TForm2::Button10Click() {
    auto& order = edited_.csvColumns;
    const int selected = SelectedLine(csvOrder_);
    if (selected < 0) return;
    order.erase(order.begin() + selected);
    ShowCsvColumns(order.empty() ? -1 : std::max(selected - 1, 0));
}

void TForm2::Button11Click() {
    const int selected = SelectedLine(csvOrder_);
    if (selected <= 0) return;
    std::swap(edited_.csvColumns[selected], edited_.csvColumns[selected - 1]);
    ShowCsvColumns(selected - 1);
}

void TForm2::Button12Click() {
    const int selected = SelectedLine(csvOrder_);
    if (selected < 0 || selected + 1 >= static_cast<int>(edited_.csvColumns.size())) return;
    std::swap(edited_.csvColumns[selected], edited_.csvColumns[selected + 1]);
    ShowCsvColumns(selected + 1);
}

// --- fonts: name and size from the font dialog, the colour from the colour dialog

void TForm2::ChooseFont(int which) {
    QFont initial = fonts_[which];
    // A stored Windows name is drawn through a substitute; the dialog starts on the font in use.
    if (!QFontDatabase::families().contains(initial.family())) initial.setFamily(QFontInfo(initial).family());
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, initial, this, QString::fromUtf8(kFontTitles[which]));
    if (!ok) return;
    if (which == 1) chosen.setPointSize(std::clamp(PointSize(chosen), kEditFontMin, kEditFontMax));
    fonts_[which] = chosen;
    edited_.fonts[which].name = ToSjisKeeping(chosen.family(), edited_.fonts[which].name);
    edited_.fonts[which].size = PointSize(chosen);
    ShowFont(which);
}

void TForm2::ChooseColor(int which) {
    const QColor shown = fontTexts_[which]->palette().color(QPalette::Text);
    const QColor chosen = QColorDialog::getColor(shown, this,
                                                 QString::fromUtf8(kColorTitles[which]));
    if (!chosen.isValid()) return;
    edited_.fonts[which].color = BgrFrom(chosen);
    ShowFont(which);
}

// "ＭＳ Ｐゴシック (9 Point)", in the font's colour.
void TForm2::ShowFont(int which) {
    const FontSetting& font = edited_.fonts[which];
    fontTexts_[which]->setText(FromSjis(font.name) + " (" + QString::number(font.size) + " Point)");
    QPalette colors = fontTexts_[which]->palette();
    colors.setColor(QPalette::Text,
                    TextColorFrom(font.color, QApplication::palette(fontTexts_[which]).color(QPalette::Text)));
    fontTexts_[which]->setPalette(colors);
}

}  // namespace wvr
