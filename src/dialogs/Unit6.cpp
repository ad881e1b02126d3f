#include "dialogs/Unit6.h"

#include <QCheckBox>
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
#include "dialogs/DialogParts.h"
#include "dialogs/DialogPlacement.h"
#include "dialogs/HelpViewer.h"
#include "formats/PathText.h"

namespace wvr {
namespace {

constexpr SetDialog::Macro kMacros[] = {
    {"曲名", '2'},       {"アーティスト名", '1'}, {"アルバム名", '3'},     {"コメント", '5'},
    {"日付", '4'},       {"ジャンル", '6'},       {"著作権", 'A'},         {"エンジニア", 'B'},
    {"ソース", 'C'},     {"ソフトウェア", 'D'},   {"キーワード", 'E'},     {"技術者", 'F'},
    {"歌詞", 'G'},       {"コミッション", 'H'},   {"ファイル名", '7'},     {"パス名", '8'},
    {"拡張子", '9'},     {"番号", 'n'},           {"相対パス", 'p'},       {"再生時間", 't'},
    {"ファイルサイズ", 's'}, {"再生時間の合計", 'a'},
};

}  // namespace

TForm6::TForm6(MainWindow& main, int menuNumber) : SetDialog(main, "Form6", "ファイルの出力") {
    BuildControls();
    // The set chosen last opens again, unless a stored set's own menu item opened the dialog.
    int position = 0;
    if (auto stored = StoredTemplateSetIndex()) position = *stored;
    if (menuNumber != kDefaultItem) position = menuNumber;
    SelectSet(position);
    resize(560, 520);
    AddHelpKey(this, kOutputHelpTopic);
    CenterOver(this, &main);
}

void TForm6::BuildControls() {
    QHBoxLayout* nameRow = BuildNameRow("保存(&S)");
    header_ = LinesBox(this, "Memo1");
    body_ = LinesBox(this, "Memo2");
    footer_ = LinesBox(this, "Memo3");
    for (QPlainTextEdit* box : {header_, body_, footer_}) box->installEventFilter(this);
    replacement_ = new QLineEdit(this);
    replacement_->setObjectName("Edit2");
    escapeHtml_ = NamedCheckBox(this, "CheckBox1", "値の < > && \" をHTMLの文字参照にする(&H)");
    BuildCommonControls(kMacros);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Caption(this, "設定名", nameList_), 0, 0);
    grid->addLayout(nameRow, 0, 1);
    grid->addWidget(Caption(this, "ヘッダ", header_), 1, 0, Qt::AlignTop);
    grid->addWidget(header_, 1, 1);
    grid->addWidget(Caption(this, "ボディ", body_), 2, 0, Qt::AlignTop);
    grid->addWidget(body_, 2, 1);
    grid->addWidget(Caption(this, "フッタ", footer_), 3, 0, Qt::AlignTop);
    grid->addWidget(footer_, 3, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(extension_);
    options->addWidget(Caption(this, "代替文字", replacement_));
    options->addWidget(replacement_);
    options->addWidget(Caption(this, "マクロの挿入", macroList_));
    options->addWidget(macroList_);
    options->addWidget(insert_);
    grid->addWidget(Caption(this, "拡張子", extension_), 4, 0);
    grid->addLayout(options, 4, 1);
    grid->addWidget(escapeHtml_, 5, 1);
    grid->addLayout(runRow_, 6, 0, 1, 2);
    grid->setRowStretch(1, 2);
    grid->setRowStretch(2, 1);
    grid->setRowStretch(3, 2);
    // The replacement box is made before the extension box but stands after it, and the
    // check box stands below the row.
    setTabOrder(extension_, replacement_);
    setTabOrder(insert_, escapeHtml_);
}

std::vector<std::string> TForm6::Names() const { return TemplateSetNames(); }

void TForm6::ShowNamed(const std::string& name) {
    const TemplateSet set = LoadTemplateSet(name);
    ShowLines(header_, set.header);
    ShowLines(body_, set.body);
    ShowLines(footer_, set.footer);
    extension_->setText(FromSjis(set.extension));
    replacement_->setText(FromSjis(set.replacement));
    escapeHtml_->setChecked(set.escapeHtml);
}

TemplateSet TForm6::ShownSet() const {
    TemplateSet set;
    set.name = ShownName();
    set.header = LinesOf(header_);
    set.body = LinesOf(body_);
    set.footer = LinesOf(footer_);
    set.extension = ToSjis(extension_->text());
    set.replacement = ToSjis(replacement_->text());
    set.escapeHtml = escapeHtml_->isChecked();
    return set;
}

bool TForm6::StoreShown(const std::string& name) {
    TemplateSet set = ShownSet();
    set.name = name;
    return StoreTemplateSet(set, main_.prompter());
}

bool TForm6::DeleteNamed(const std::string& name) { return DeleteTemplateSet(name, main_.prompter()); }

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
    return SetDialog::eventFilter(watched, event);
}

void TForm6::done(int result) {
    StoreTemplateSetIndex(nameList_->currentIndex(), main_.prompter());
    SetDialog::done(result);
}

}  // namespace wvr
