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
#include "dialogs/DialogParts.h"
#include "dialogs/DialogPlacement.h"
#include "dialogs/HelpViewer.h"

namespace wvr {
namespace {

constexpr SetDialog::Macro kMacros[] = {
    {"曲名", '2'}, {"アーティスト", '1'}, {"アルバム", '3'}, {"コメント", '5'},
    {"日付", '4'}, {"ジャンル", '6'},     {"無視する", '0'},
};

}  // namespace

TForm8::TForm8(MainWindow& main, int menuNumber) : SetDialog(main, "Form8", "テキスト入力") {
    BuildControls();
    SelectSet(menuNumber);
    resize(420, 360);
    AddHelpKey(this, kTextInputHelpTopic);
    CenterOver(this, &main);
}

void TForm8::BuildControls() {
    QHBoxLayout* nameRow = BuildNameRow("追加(&A)");
    format_ = LinesBox(this, "Memo1");
    BuildCommonControls(kMacros);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Caption(this, "設定名", nameList_), 0, 0);
    grid->addLayout(nameRow, 0, 1);
    grid->addWidget(Caption(this, "書式指定(&F)", format_), 1, 0, Qt::AlignTop);
    grid->addWidget(format_, 1, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(extension_);
    options->addWidget(macroList_);
    options->addWidget(insert_);
    grid->addWidget(Caption(this, "拡張子(&E)", extension_), 2, 0);
    grid->addLayout(options, 2, 1);
    grid->addLayout(runRow_, 3, 0, 1, 2);
}

std::vector<std::string> TForm8::Names() const { return InputFormatChoices(); }

void TForm8::ShowNamed(const std::string& name) {
    const InputFormat format = LoadInputFormat(name);
    ShowLines(format_, format.lines);
    extension_->setText(FromSjis(format.extension));
}

InputFormat TForm8::ShownFormat() const { return {ShownName(), LinesOf(format_), ToSjis(extension_->text())}; }

bool TForm8::StoreShown(const std::string& name) {
    InputFormat format = ShownFormat();
    format.name = name;
    return StoreInputFormat(format, main_.prompter());
}

bool TForm8::DeleteNamed(const std::string& name) { return DeleteInputFormat(name, main_.prompter()); }

void TForm8::Button1Click() {
    const InputFormat format = ShownFormat();
    const QStringList names = AskOpenFileNames(this, SetFileFilter(format.name, format.extension), false,
                                               FromSjis(format.extension), ChooserFolder(kInputTextFiles));
    if (names.isEmpty()) {
        accept();  // the run ends here, and so does the dialog
        return;
    }
    RememberChooserFolder(kInputTextFiles, names.first());
    RunWith(names.first());
}

bool TForm8::RunWith(const QString& nativeName) {
    const std::string textPath = RowPathFromNative(nativeName.toStdString());
    bool done = false;
    if (textPath.empty()) {
        main_.prompter().Error("ファイルを読み込めませんでした。\n" + nativeName.toStdString());
    } else {
        // The dialog makes way for the main window, where the run shows its count and can be
        // stopped; it closes after the run in any case.
        hide();
        done = TextInputCommand(main_.session(), ShownFormat().lines, textPath, main_.prompter(), &main_);
    }
    accept();
    return done;
}

}  // namespace wvr
