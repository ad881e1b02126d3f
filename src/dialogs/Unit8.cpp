#include "dialogs/Unit8.h"

#include <QComboBox>
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

namespace wvr {
namespace {

struct MacroEntry {
    const char* caption;
    char code;
};

constexpr MacroEntry kMacros[] = {
    {"曲名", '2'}, {"アーティスト", '1'}, {"アルバム", '3'}, {"コメント", '5'},
    {"日付", '4'}, {"ジャンル", '6'},     {"無視する", '0'},
};

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TForm8::TForm8(MainWindow& main, int menuNumber) : QDialog(&main), main_(main) {
    setObjectName("Form8");
    setWindowTitle(QStringLiteral("テキスト入力"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    BuildControls();
    names_ = InputFormatChoices();
    ComboBox1Select(FillNames(nameList_, names_, menuNumber));
    resize(420, 360);
    CenterOver(this, &main);
}

void TForm8::BuildControls() {
    nameList_ = new QComboBox(this);
    nameList_->setObjectName("ComboBox1");
    nameList_->setEditable(true);
    nameList_->setInsertPolicy(QComboBox::NoInsert);
    format_ = new QPlainTextEdit(this);
    format_->setObjectName("Memo1");
    format_->setLineWrapMode(QPlainTextEdit::NoWrap);
    format_->setTabChangesFocus(true);
    extension_ = new QLineEdit(this);
    extension_->setObjectName("Edit1");
    macros_ = new QComboBox(this);
    macros_->setObjectName("ComboBox2");
    for (const MacroEntry& m : kMacros) macros_->addItem(QString::fromUtf8(m.caption));
    auto* store = Button(this, "Button3", "追加(&A)");
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
    grid->addWidget(label("書式指定(&F)", format_), 1, 0, Qt::AlignTop);
    grid->addWidget(format_, 1, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(extension_);
    options->addWidget(macros_);
    options->addWidget(insert);
    grid->addWidget(label("拡張子(&E)", extension_), 2, 0);
    grid->addLayout(options, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(run);
    buttons->addWidget(close);
    grid->addLayout(buttons, 3, 0, 1, 2);

    connect(nameList_, qOverload<int>(&QComboBox::activated), this, &TForm8::ComboBox1Select);
    connect(store, &QPushButton::clicked, this, &TForm8::Button3Click);
    connect(delete_, &QPushButton::clicked, this, &TForm8::Button4Click);
    connect(insert, &QPushButton::clicked, this, &TForm8::Button5Click);
    connect(run, &QPushButton::clicked, this, &TForm8::Button1Click);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm8::ShowFormat(const InputFormat& format) {
    ShowLines(format_, format.lines);
    extension_->setText(FromSjis(format.extension));
}

InputFormat TForm8::ShownFormat() const {
    return {ToSjis(nameList_->currentText()), LinesOf(format_), ToSjis(extension_->text())};
}

void TForm8::ComboBox1Select(int index) {
    if (index < 0 || index >= static_cast<int>(names_.size())) return;
    ShowFormat(LoadInputFormat(names_[index]));
    delete_->setEnabled(index > 0);
}

void TForm8::Button3Click() {
    const InputFormat format = ShownFormat();
    if (!StoreInputFormat(format, main_.prompter())) return;
    // The list follows the file, where a stored format now stands last; the submenu too.
    names_ = InputFormatChoices();
    const int position = FillNames(nameList_, names_, PositionOf(names_, format.name));
    delete_->setEnabled(position > 0);
    main_.RebuildTemplateMenus();
}

void TForm8::Button4Click() {
    const int position = nameList_->currentIndex();
    if (position <= 0 || position >= static_cast<int>(names_.size())) return;
    if (!DeleteInputFormat(names_[position], main_.prompter())) return;
    names_ = InputFormatChoices();
    const int last = static_cast<int>(names_.size()) - 1;
    ComboBox1Select(FillNames(nameList_, names_, last));
    main_.RebuildTemplateMenus();
}

void TForm8::Button5Click() {
    const int entry = macros_->currentIndex();
    if (entry >= 0) InsertMacro(format_, kMacros[entry].code);
}

void TForm8::Button1Click() {
    const InputFormat format = ShownFormat();
    const QStringList names =
        AskOpenFileNames(this, SetFileFilter(format.name, format.extension), false, FromSjis(format.extension));
    if (names.isEmpty()) {
        accept();
        return;
    }
    RunWith(names.first());
}

bool TForm8::RunWith(const QString& nativeName) {
    const std::string textPath = RowPathFromNative(nativeName.toStdString());
    bool done = false;
    if (textPath.empty()) main_.prompter().Error("ファイルを読み込めませんでした。\n" + nativeName.toStdString());
    else done = TextInputCommand(main_.session(), ShownFormat().lines, textPath, main_.prompter());
    accept();
    return done;
}

}  // namespace wvr
