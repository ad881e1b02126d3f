#include "dialogs/Unit5.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/MainWindow.h"
#include "app/ui/Text.h"
#include "dialogs/DialogParts.h"
#include "dialogs/DialogPlacement.h"
#include "dialogs/HelpViewer.h"

namespace wvr {

TForm5::TForm5(MainWindow& main) : QDialog(&main), main_(main) {
    setObjectName("Form5");
    setWindowTitle(QStringLiteral("ファイル名からタグを取得"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const char* fileNames[4] = {"ComboBox1", "ComboBox2", "Button3", "Button4"};
    const char* folderNames[4] = {"ComboBox3", "ComboBox4", "Button5", "Button6"};
    QGroupBox* fileGroup = BuildPatternGroup("ファイル名(&F)", fileList_, fileNames, "追加(&A)", "削除(&E)",
                                             overwriteFile_, "CheckBox1");
    fileGroup->setObjectName("GroupBox1");
    useFolder_ = NamedCheckBox(this, "CheckBox2", "ディレクトリ名も使用する。");
    folderGroup_ = BuildPatternGroup("ディレクトリ名(&D)", folderList_, folderNames, "追加(&N)", "削除(&M)",
                                     overwriteFolder_, "CheckBox3");
    folderGroup_->setObjectName("GroupBox2");
    toSpace_ = NamedCheckBox(this, "CheckBox4", "スペースへ変換");
    halfWidth_ = NamedCheckBox(this, "CheckBox5", "英数を半角に変換");
    kana_ = NamedCheckBox(this, "CheckBox6", "カナを半角に変換");
    kana_->hide();
    auto* ok = NamedButton(this, "Button1", "ＯＫ");
    auto* cancel = NamedButton(this, "Button2", "キャンセル");
    ok->setDefault(true);

    auto* conversions = new QHBoxLayout;
    conversions->addWidget(toSpace_);
    conversions->addWidget(halfWidth_);
    conversions->addWidget(kana_);
    conversions->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fileGroup);
    layout->addWidget(useFolder_);
    layout->addWidget(folderGroup_);
    layout->addLayout(conversions);
    layout->addLayout(buttons);

    connect(useFolder_, &QCheckBox::toggled, this, &TForm5::CheckBox2Click);
    connect(ok, &QPushButton::clicked, this, &TForm5::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(findChild<QPushButton*>("Button3"), &QPushButton::clicked, this, &TForm5::Button3Click);
    connect(findChild<QPushButton*>("Button4"), &QPushButton::clicked, this, &TForm5::Button4Click);
    connect(findChild<QPushButton*>("Button5"), &QPushButton::clicked, this, &TForm5::Button5Click);
    connect(findChild<QPushButton*>("Button6"), &QPushButton::clicked, this, &TForm5::Button6Click);

    const FromNameSettings s = LoadFromNameSettings();
    ShowPatterns(fileList_, s.filePatterns, s.filePatternIndex);
    ShowPatterns(folderList_, s.folderPatterns, s.folderPatternIndex);
    overwriteFile_->setChecked(s.overwriteFromFile);
    useFolder_->setChecked(s.useFolder);
    overwriteFolder_->setChecked(s.overwriteFromFolder);
    toSpace_->setChecked(s.underscoresToSpaces);
    halfWidth_->setChecked(s.halfWidth);
    kana_->setChecked(s.kanaToHalfWidth);
    CheckBox2Click();
    resize(440, sizeHint().height());
    AddHelpKey(this, kFromNameHelpTopic);
    CenterOver(this, &main);
}

QGroupBox* TForm5::BuildPatternGroup(const char* caption, PatternList& list, const char* names[4],
                                     const char* addCaption, const char* deleteCaption, QCheckBox*& overwrite,
                                     const char* overwriteName) {
    auto* group = new QGroupBox(QString::fromUtf8(caption), this);
    list.positions = new QComboBox(group);
    list.positions->setObjectName(names[0]);
    list.patterns = new QComboBox(group);
    list.patterns->setObjectName(names[1]);
    // Typed text becomes a pattern only through "追加".
    list.patterns->setEditable(true);
    list.patterns->setMinimumWidth(180);
    list.patterns->setInsertPolicy(QComboBox::NoInsert);
    auto* add = NamedButton(group, names[2], addCaption);
    auto* remove = NamedButton(group, names[3], deleteCaption);
    overwrite = NamedCheckBox(group, overwriteName, "上書きする。");

    auto* row = new QHBoxLayout;
    row->addWidget(list.positions);
    row->addWidget(list.patterns, 1);
    row->addWidget(add);
    row->addWidget(remove);
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(row);
    layout->addWidget(overwrite);

    // Choosing in either list chooses the same position in the other.
    PatternList* both = &list;
    connect(list.positions, qOverload<int>(&QComboBox::activated), this, [this, both](int i) { Select(*both, i); });
    connect(list.patterns, qOverload<int>(&QComboBox::activated), this, [this, both](int i) { Select(*both, i); });
    return group;
}

void TForm5::Select(PatternList& list, int position) {
    list.positions->setCurrentIndex(position);
    list.patterns->setCurrentIndex(position);
}

void TForm5::ShowPatterns(PatternList& list, const std::vector<std::string>& patterns, int selected) {
    list.positions->clear();
    list.patterns->clear();
    for (size_t i = 0; i < patterns.size(); ++i) {
        list.positions->addItem(QString::number(i));
        list.patterns->addItem(FromSjis(patterns[i]));
    }
    Select(list, selected);
}

std::vector<std::string> TForm5::PatternsOf(const PatternList& list) const {
    std::vector<std::string> patterns;
    for (int i = 0; i < list.patterns->count(); ++i) patterns.push_back(ToSjis(list.patterns->itemText(i)));
    return patterns;
}

void TForm5::AddPattern(PatternList& list) {
    const QString text = list.patterns->currentText();
    list.patterns->addItem(text);
    list.positions->addItem(QString::number(list.positions->count()));
    Select(list, list.patterns->count() - 1);
}

void TForm5::DeletePattern(PatternList& list, const char* defaultPattern) {
    std::vector<std::string> patterns = PatternsOf(list);
    const int position = list.patterns->currentIndex();
    if (position >= 0 && position < static_cast<int>(patterns.size())) patterns.erase(patterns.begin() + position);
    // A list is never left empty: the default pattern comes back, as when the dialog opens.
    if (patterns.empty()) patterns.push_back(defaultPattern);
    ShowPatterns(list, patterns, 0);
}

FromNameSettings TForm5::ShownSettings() const {
    FromNameSettings s;
    s.filePatterns = PatternsOf(fileList_);
    s.filePatternIndex = fileList_.patterns->currentIndex();
    s.folderPatterns = PatternsOf(folderList_);
    s.folderPatternIndex = folderList_.patterns->currentIndex();
    s.overwriteFromFile = overwriteFile_->isChecked();
    s.useFolder = useFolder_->isChecked();
    s.overwriteFromFolder = overwriteFolder_->isChecked();
    s.underscoresToSpaces = toSpace_->isChecked();
    s.halfWidth = halfWidth_->isChecked();
    s.kanaToHalfWidth = kana_->isChecked();
    return s;
}

void TForm5::Button1Click() {
    const FromNameSettings s = ShownSettings();
    int failedRow = -1;
    // The dialog makes way for the main window, where the run shows its count and can be
    // stopped; it closes after the run in any case.
    hide();
    if (!TagsFromNameCommand(main_.session(), RunFromSettings(s), main_.prompter(), &failedRow, &main_))
        main_.GoToRow(failedRow);
    StoreFromNameSettings(s, main_.prompter());
    accept();
}

void TForm5::Button3Click() { AddPattern(fileList_); }
void TForm5::Button4Click() { DeletePattern(fileList_, FromNameSettings().filePatterns[0].c_str()); }
void TForm5::Button5Click() { AddPattern(folderList_); }
void TForm5::Button6Click() { DeletePattern(folderList_, FromNameSettings().folderPatterns[0].c_str()); }

void TForm5::CheckBox2Click() { folderGroup_->setEnabled(useFolder_->isChecked()); }

}  // namespace wvr
