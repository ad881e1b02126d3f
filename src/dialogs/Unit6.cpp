#include "dialogs/Unit6.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/commands/FileScan.h"
#include "app/ui/FileDialogs.h"
#include "app/ui/MainWindow.h"
#include "app/ui/Text.h"
#include "dialogs/DialogPlacement.h"
#include "dialogs/SetEditing.h"
#include "formats/PathText.h"

namespace wvr {
namespace {

struct MacroEntry {
    const char* caption;
    char code;
};

constexpr MacroEntry kMacros[] = {
    {"曲名", '2'},       {"アーティスト名", '1'}, {"アルバム名", '3'},     {"コメント", '5'},
    {"日付", '4'},       {"ジャンル", '6'},       {"著作権", 'A'},         {"エンジニア", 'B'},
    {"ソース", 'C'},     {"ソフトウェア", 'D'},   {"キーワード", 'E'},     {"技術者", 'F'},
    {"歌詞", 'G'},       {"コミッション", 'H'},   {"ファイル名", '7'},     {"パス名", '8'},
    {"拡張子", '9'},     {"番号", 'n'},           {"相対パス", 'p'},       {"再生時間", 't'},
    {"ファイルサイズ", 's'}, {"再生時間の合計", 'a'},
};

QPlainTextEdit* TemplateBox(QWidget* parent, const char* name) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setTabChangesFocus(true);
    return box;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TForm6::TForm6(MainWindow& main, int menuNumber) : QDialog(&main), main_(main) {
    setObjectName("Form6");
    setWindowTitle(QStringLiteral("ファイルの出力"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    BuildControls();

    // The default templates stand for "Default"; the set chosen last is opened again unless
    // a stored set's own menu item opened the dialog.
    names_ = TemplateSetNames();
    ShowSet(DefaultTemplateSet());
    int position = 0;
    if (auto stored = StoredTemplateSetIndex()) position = *stored;
    if (menuNumber != kDefaultItem) position = menuNumber;
    SelectSet(position);
    resize(560, 520);
    CenterOver(this, &main);
}

void TForm6::BuildControls() {
    nameList_ = new QComboBox(this);
    nameList_->setObjectName("ComboBox1");
    nameList_->setEditable(true);
    nameList_->setInsertPolicy(QComboBox::NoInsert);
    header_ = TemplateBox(this, "Memo1");
    body_ = TemplateBox(this, "Memo2");
    footer_ = TemplateBox(this, "Memo3");
    for (QPlainTextEdit* box : {header_, body_, footer_}) box->installEventFilter(this);
    extension_ = new QLineEdit(this);
    extension_->setObjectName("Edit1");
    replacement_ = new QLineEdit(this);
    replacement_->setObjectName("Edit2");
    macros_ = new QComboBox(this);
    macros_->setObjectName("ComboBox2");
    for (const MacroEntry& m : kMacros) macros_->addItem(QString::fromUtf8(m.caption));
    auto* store = Button(this, "Button3", "保存(&S)");
    delete_ = Button(this, "Button4", "削除(&D)");
    auto* insert = Button(this, "Button5", "挿入(&I)");
    auto* run = Button(this, "Button1", "実行(&R)");
    auto* close = Button(this, "Button2", "閉じる");
    run->setDefault(true);

    auto label = [this](const char* caption, QWidget* buddy) {
        auto* l = new QLabel(QString::fromUtf8(caption), this);
        l->setBuddy(buddy);
        return l;
    };
    auto* grid = new QGridLayout(this);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameList_, 1);
    nameRow->addWidget(store);
    nameRow->addWidget(delete_);
    grid->addWidget(label("設定名", nameList_), 0, 0);
    grid->addLayout(nameRow, 0, 1);
    grid->addWidget(label("ヘッダ", header_), 1, 0, Qt::AlignTop);
    grid->addWidget(header_, 1, 1);
    grid->addWidget(label("ボディ", body_), 2, 0, Qt::AlignTop);
    grid->addWidget(body_, 2, 1);
    grid->addWidget(label("フッタ", footer_), 3, 0, Qt::AlignTop);
    grid->addWidget(footer_, 3, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(extension_);
    options->addWidget(label("代替文字", replacement_));
    options->addWidget(replacement_);
    options->addWidget(label("マクロの挿入", macros_));
    options->addWidget(macros_);
    options->addWidget(insert);
    grid->addWidget(label("拡張子", extension_), 4, 0);
    grid->addLayout(options, 4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(run);
    buttons->addWidget(close);
    grid->addLayout(buttons, 5, 0, 1, 2);
    grid->setRowStretch(1, 2);
    grid->setRowStretch(2, 1);
    grid->setRowStretch(3, 2);

    connect(nameList_, qOverload<int>(&QComboBox::activated), this, &TForm6::ComboBox1Select);
    connect(store, &QPushButton::clicked, this, &TForm6::Button3Click);
    connect(delete_, &QPushButton::clicked, this, &TForm6::Button4Click);
    connect(insert, &QPushButton::clicked, this, &TForm6::Button5Click);
    connect(run, &QPushButton::clicked, this, &TForm6::Button1Click);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm6::ShowSet(const TemplateSet& set) {
    ShowLines(header_, set.header);
    ShowLines(body_, set.body);
    ShowLines(footer_, set.footer);
    extension_->setText(FromSjis(set.extension));
    replacement_->setText(FromSjis(set.replacement));
}

// Selects a position of the name list; a stored set is loaded, anything else is "Default".
void TForm6::SelectSet(int position) {
    position = FillNames(nameList_, names_, position);
    if (position > 0) ShowSet(LoadTemplateSet(names_[position]));
    delete_->setEnabled(position > 0);
}

TemplateSet TForm6::ShownSet() const {
    TemplateSet set;
    set.name = ToSjis(nameList_->currentText());
    set.header = LinesOf(header_);
    set.body = LinesOf(body_);
    set.footer = LinesOf(footer_);
    set.extension = ToSjis(extension_->text());
    set.replacement = ToSjis(replacement_->text());
    return set;
}

void TForm6::ComboBox1Select(int index) {
    if (index < 0 || index >= static_cast<int>(names_.size())) return;
    ShowSet(LoadTemplateSet(names_[index]));
    delete_->setEnabled(index > 0);
}

void TForm6::Button3Click() {
    const TemplateSet set = ShownSet();
    if (!StoreTemplateSet(set, main_.prompter())) return;
    // The list follows the file, where a stored set now stands last; the submenu follows too.
    names_ = TemplateSetNames();
    const int position = FillNames(nameList_, names_, PositionOf(names_, set.name));
    delete_->setEnabled(position > 0);
    main_.RebuildTemplateMenus();
}

void TForm6::Button4Click() {
    const int position = nameList_->currentIndex();
    if (position <= 0 || position >= static_cast<int>(names_.size())) return;
    if (!DeleteTemplateSet(names_[position], main_.prompter())) return;
    names_ = TemplateSetNames();
    const int last = static_cast<int>(names_.size()) - 1;
    FillNames(nameList_, names_, last);
    ComboBox1Select(last);
    main_.RebuildTemplateMenus();
}

void TForm6::Button5Click() {
    const int entry = macros_->currentIndex();
    if (lastBox_ && entry >= 0) InsertMacro(lastBox_, kMacros[entry].code);
}

void TForm6::Button1Click() {
    const TemplateSet set = ShownSet();
    const RowList& rows = main_.session().rows;
    const QString folder = rows.empty() ? QString() : FromSjis(path::Folder(rows[0].Path));
    const QString name = AskSaveFileName(this, SetFileFilter(set.name, set.extension), FromSjis(set.extension), folder);
    if (!name.isEmpty()) RunTo(name);
}

bool TForm6::RunTo(const QString& nativeName) {
    const std::string outPath = RowPathFromNative(nativeName.toStdString());
    if (outPath.empty()) {
        main_.prompter().Error("ファイルを作成できませんでした。\n" + nativeName.toStdString());
        return false;
    }
    return WriteTemplateOutput(main_.session(), ShownSet(), outPath, main_.prompter(), &main_);
}

bool TForm6::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (QPlainTextEdit* box : {header_, body_, footer_})
            if (watched == box) lastBox_ = box;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm6::done(int result) {
    StoreTemplateSetIndex(nameList_->currentIndex(), main_.prompter());
    QDialog::done(result);
}

}  // namespace wvr
