// The seven pages of the options dialog and their controls, named as the handlers know them.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/commands/Options.h"
#include "app/ui/Text.h"
#include "app/ui/TrackTableModel.h"
#include "dialogs/DialogParts.h"
#include "dialogs/Option.h"

namespace wvr {
namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// A group box with a title (none when empty) holding `widgets` one under the other.
QGroupBox* Group(const char* title, std::initializer_list<QWidget*> widgets) {
    auto* group = new QGroupBox(Utf8(title));
    auto* layout = new QVBoxLayout(group);
    layout->setSpacing(4);
    for (QWidget* w : widgets) layout->addWidget(w);
    return group;
}

QWidget* Page(std::initializer_list<QWidget*> groups) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    for (QWidget* g : groups) layout->addWidget(g);
    layout->addStretch();
    return page;
}

QLabel* Label(const char* text) { return new QLabel(Utf8(text)); }

// A page that scrolls where the screen is too small for it (a large scale factor). It asks for
// the whole page's size, so that the dialog opens showing all of it wherever that fits.
class PageScroller : public QScrollArea {
public:
    explicit PageScroller(QWidget* page) {
        setWidget(page);
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
    }
    QSize sizeHint() const override { return widget()->sizeHint(); }
};

}  // namespace

QCheckBox* TForm2::Check(int bit, const char* caption) {
    auto* box = new QCheckBox(Utf8(caption), this);
    box->setObjectName(QString("CheckBox%1").arg(bit));
    checks_[bit] = box;
    return box;
}

QPushButton* TForm2::Button(const char* name, const char* caption, void (TForm2::*handler)()) {
    QPushButton* button = NamedButton(this, name, caption);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

// The 15 column captions in column order, so that a choice's position is its column index;
// the CSV choice adds "無視する" as code 15.
QComboBox* TForm2::ColumnChoice(const char* name, bool withIgnore) {
    auto* choice = new QComboBox(this);
    choice->setObjectName(name);
    for (int column = 0; column < kColumnCount; ++column) choice->addItem(TrackTableModel::ColumnCaption(column));
    if (withIgnore) choice->addItem(Utf8("無視する"));
    return choice;
}

QLineEdit* TForm2::Box(const char* name) {
    auto* box = new QLineEdit(this);
    box->setObjectName(name);
    return box;
}

QWidget* TForm2::Row(std::initializer_list<QWidget*> widgets, int stretchIndex) {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    int i = 0;
    for (QWidget* w : widgets) layout->addWidget(w, i++ == stretchIndex ? 1 : 0);
    return row;
}

void TForm2::BuildPages() {
    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");
    const std::pair<QWidget*, const char*> pages[] = {
        {BuildEditPage(), "編集"},     {BuildRenamePage(), "リネーム"}, {BuildFunctionPage(), "機能"},
        {BuildFunction2Page(), "機能2"}, {BuildFilePage(), "ファイル"}, {BuildCsvPage(), "CSV"},
        {BuildOtherPage(), "その他"},
    };
    int index = 0;
    for (const auto& [page, caption] : pages) {
        page->setObjectName(QString("TabSheet%1").arg(++index));
        pages_->addTab(new PageScroller(page), Utf8(caption));
    }
    // The pattern and exception rows were made before the areas that hold them, and taking
    // them into those areas moved them in the Tab chain: put them back in the order shown.
    QWidget* const shown[][5] = {
        {numbers_, patterns_, findChild<QWidget*>("Button1"), findChild<QWidget*>("Button2")},
        {exceptions_, exceptionField_, exceptionText_, findChild<QWidget*>("Button3"), findChild<QWidget*>("Button4")},
    };
    for (const auto& row : shown) {
        for (int i = 1; i < 5 && row[i]; ++i) setTabOrder(row[i - 1], row[i]);
    }
}

QWidget* TForm2::BuildEditPage() {
    auto* clickGroup = new QGroupBox(Utf8("カラムをクリックした時の動作"), this);
    clickGroup->setObjectName("RadioGroup1");
    auto* clickLayout = new QHBoxLayout(clickGroup);
    const char* const choices[] = {"ソート", "フィル", "カラム幅"};
    for (int i = 0; i < 3; ++i) {
        clickChoices_[i] = new QRadioButton(Utf8(choices[i]), clickGroup);
        clickChoices_[i]->setObjectName(QString("ColumnClick%1").arg(i));
        clickLayout->addWidget(clickChoices_[i]);
    }
    clickLayout->addStretch();
    return Page({Group("編集(&E)", {Check(7, "RMP3 ISFTフィールドを編集可能にする。"), clickGroup,
                                    Check(11, "ファイル名を直接編集可能にする。"),
                                    Check(6, "追加時に既存のアイテムを消去する。"),
                                    Check(20, "アイテムをドロップされたらアクティブにする。"),
                                    Check(33, "種類に合わせて文字数制限をする。")}),
                 Group("確認の省略(&Q)", {Check(3, "メインウィンドウでの情報の書き込み時。"),
                                          Check(1, "メインウィンドウでのリネーム時。"),
                                          Check(17, "メインウインドウでのファイル名の復元時。"),
                                          Check(23, "終了時の確認の省略。")})});
}

QWidget* TForm2::BuildRenamePage() {
    numbers_ = new QListWidget(this);
    numbers_->setObjectName("ListBox1");
    numbers_->setFixedWidth(44);
    patterns_ = new QComboBox(this);
    patterns_->setObjectName("ComboBox1");
    patterns_->setEditable(true);
    patterns_->setInsertPolicy(QComboBox::NoInsert);
    auto* patternArea = new QWidget(this);
    auto* grid = new QGridLayout(patternArea);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(numbers_, 0, 0, 3, 1);
    grid->addWidget(patterns_, 0, 1, 1, 3);
    grid->addWidget(Button("Button1", "追加(&A)", &TForm2::Button1Click), 1, 2);
    grid->addWidget(Button("Button2", "削除(&D)", &TForm2::Button2Click), 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    patternArea->setMaximumHeight(90);
    return Page({Group("リネーム(&R)", {patternArea, Check(9, "ファイル名として使用可能な文字に変換する。"),
                                       Check(10, "スペースをアンダーバーに変換する。"),
                                       Check(29, "全角の英数を半角に変換する。"), Check(21, "例外設定"),
                                       BuildExceptionPanel()})});
}

// The exception rules: shown only while "例外設定" is checked.
QWidget* TForm2::BuildExceptionPanel() {
    exceptions_ = new QTreeWidget(this);
    exceptions_->setObjectName("ListView1");
    exceptions_->setRootIsDecorated(false);
    exceptions_->setHeaderLabels({Utf8("フィールド"), Utf8("文字列"), Utf8("マクロ")});
    exceptions_->header()->setStretchLastSection(true);
    exceptions_->setColumnWidth(0, 90);
    exceptions_->setColumnWidth(1, 120);
    exceptions_->setMinimumHeight(90);
    exceptionField_ = ColumnChoice("ComboBox2", false);
    exceptionText_ = Box("Edit1");
    exceptionPanel_ = new QWidget(this);
    exceptionPanel_->setObjectName("ExceptionPanel");
    auto* layout = new QVBoxLayout(exceptionPanel_);
    layout->setContentsMargins(16, 0, 0, 0);
    layout->addWidget(exceptions_);
    layout->addWidget(Row({exceptionField_, exceptionText_, Button("Button3", "追加(&P)", &TForm2::Button3Click),
                           Button("Button4", "削除(&R)", &TForm2::Button4Click)},
                          1));
    QSizePolicy keepPlace = exceptionPanel_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    exceptionPanel_->setSizePolicy(keepPlace);
    connect(exceptions_, &QTreeWidget::itemClicked, this, &TForm2::OnExceptionRowClicked);
    return exceptionPanel_;
}

QWidget* TForm2::BuildFunctionPage() {
    player_ = Box("Edit2");
    playerButton_ = Button("Button5", "選択(&S)", &TForm2::Button5Click);
    return Page({Group("再生(&P)", {Check(13, "プレイヤーを最小化された状態で起動する。"),
                                    Check(14, "指定したプレイヤーを使用する。"), Row({player_, playerButton_}, 0)}),
                 Group("その他(&O)", {Check(26, "フィルでもマクロ文字を使用する。"),
                                      Check(30, "追加のID3 Genreタグを使用する。"),
                                      Check(38, "Dropした歌詞ファイルのリネーム。")})});
}

QWidget* TForm2::BuildFunction2Page() {
    lyricsFolder_ = Box("Edit3");
    folderButton_ = Button("Button6", "選択'(&S)", &TForm2::Button6Click);
    connect(lyricsFolder_, &QLineEdit::editingFinished, this, &TForm2::FinishFolderBox);
    return Page({Group("", {Check(32, "Lyricsファイルのリネーム(&L)"), Check(34, ".txtファイルも対象にする。"),
                            Check(35, "指定したフォルダからも探す。"), Row({lyricsFolder_, folderButton_}, 0)}),
                 BuildFilterGroup()});
}

QWidget* TForm2::BuildFilterGroup() {
    includeField_ = ColumnChoice("ComboBox3", false);
    includeText_ = Box("Edit4");
    includeMode_ = new QRadioButton(Utf8("この条件以外のファイルは読み込まない。"), this);
    includeMode_->setObjectName("RadioButton1");
    excludeMode_ = new QRadioButton(Utf8("この条件のファイルは読み込まない。"), this);
    excludeMode_->setObjectName("RadioButton2");
    excludeField_ = ColumnChoice("ComboBox4", false);
    excludeText_ = Box("Edit5");
    conditions_ = new QListWidget(this);
    conditions_->setObjectName("CheckListBox1");
    conditions_->setMinimumHeight(70);
    QPushButton* add = Button("Button7", "追加(&A)", &TForm2::Button7Click);
    QPushButton* remove = Button("Button8", "削除(&D)", &TForm2::Button8Click);
    excludeControls_ = {excludeField_, excludeText_, conditions_, add, remove};
    connect(includeField_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) edited_.Filter[0].Index = index;
    });
    connect(includeText_, &QLineEdit::textEdited, this, [this](const QString& text) {
        edited_.Filter[0].Str = ToSjisKeeping(text, opened_.Filter[0].Str);
    });
    connect(conditions_, &QListWidget::itemChanged, this, &TForm2::OnFilterLineChanged);
    return Group("", {Check(36, "フィルタ(&F)"), Row({includeField_, Label("が"), includeText_}, 2), includeMode_,
                      excludeMode_, Row({excludeField_, Label("が"), excludeText_, add, remove}, 2), conditions_});
}

QWidget* TForm2::BuildFilePage() {
    engineer_ = Box("Edit6");
    return Page({Group("書き込み(&W)", {Check(5, "RMP3にIID3フィールドを付ける。"),
                                        Check(8, "書き込み後はリストから消去する。"),
                                        Check(28, "書き込み後もチェックを外さない。"),
                                        Check(27, "RMP3の拡張子を.MP3にする。")}),
                 Group("変換(&C)", {Check(0, "変換後、元のファイルを削除する。"),
                                    Check(12, "44.1khz 128Kbit以外でもWAVに変換する。"),
                                    Row({Label("エンジニア ："), engineer_}, 1),
                                    Check(22, "途中でエラーが出ても無視する。"),
                                    Check(31, "元のファイルと日付を同じにする。")})});
}

QWidget* TForm2::BuildCsvPage() {
    csvOrder_ = new QListWidget(this);
    csvOrder_->setObjectName("ListBox2");
    csvColumn_ = ColumnChoice("ComboBox5", true);
    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(csvColumn_);
    sideLayout->addWidget(Button("Button9", "追加(&A)", &TForm2::Button9Click));
    sideLayout->addWidget(Button("Button10", "削除(&D)", &TForm2::Button10Click));
    sideLayout->addWidget(Button("Button11", "↑", &TForm2::Button11Click));
    sideLayout->addWidget(Button("Button12", "↓", &TForm2::Button12Click));
    sideLayout->addStretch();
    // Beyond the option bits: files for spreadsheets that expect UTF-8 and named columns.
    csvUtf8_ = new QCheckBox(Utf8("UTF-8 (BOM 付き) で保存する"), this);
    csvUtf8_->setObjectName("CsvUtf8");
    csvHeader_ = new QCheckBox(Utf8("見出し行を付ける"), this);
    csvHeader_->setObjectName("CsvHeader");
    return Page({Group("CSV入出力(&C)", {Check(24, "CSVの出力形式をExcelのようにする。"),
                                         Check(37, "相対パスで出力する。"),
                                         Check(25, "読み込み時にCSVの情報を優先する。"),
                                         Check(39, "知ってるCDプレイヤ出力のCSV入力用オプション。"), csvUtf8_,
                                         csvHeader_}),
                 Group("CSV形式(&T)", {Row({csvOrder_, side}, 0)})});
}

QWidget* TForm2::BuildOtherPage() {
    return Page({Group("", {Check(2, "チェックの有無に関係なくリネームする。"),
                            Check(4, "チェックの有無に関係なく情報を書き込む。"),
                            Check(15, "チェックの有無に関係なく全部再生する。"),
                            Check(16, "チェックの有無に関係なくコンバートする。"),
                            Check(18, "チェックの有無に関係なくフィルを行う。"),
                            Check(19, "チェックの有無に関係なくファイル名から取得。")}),
                 BuildId3v2Group(), BuildJournalGroup(), BuildFontGroup()});
}

// How long and how much the write journal keeps, so that writes can be taken back.
QWidget* TForm2::BuildJournalGroup() {
    const auto spin = [this](const char* name, int most, const char* suffix) {
        auto* box = new QSpinBox(this);
        box->setObjectName(name);
        box->setRange(1, most);
        box->setSuffix(Utf8(suffix));
        return box;
    };
    journalDays_ = spin("JournalDays", 3650, " 日");
    journalMegabytes_ = spin("JournalMegabytes", 100000, " MB");
    return Group("書き込みの記録 (元に戻す)", {Row({Label("残す期間"), journalDays_, Label("上限"), journalMegabytes_}, -1)});
}

QWidget* TForm2::BuildId3v2Group() {
    id3v2Edit_ = new QCheckBox(Utf8("ID3v2 タグを読み書きする"), this);
    id3v2Edit_->setObjectName("Id3v2Edit");
    id3v2Version_ = new QComboBox(this);
    id3v2Version_->setObjectName("Id3v2Version");
    id3v2Version_->addItem(Utf8("ID3v2.3 (UTF-16)"), 3);
    id3v2Version_->addItem(Utf8("ID3v2.4 (UTF-8)"), 4);
    return Group("ID3v2", {id3v2Edit_, Row({Label("新しく作る ID3v2 タグの版"), id3v2Version_}, 1)});
}

// Each font: its caption, the chosen font as a read-only text, "選択" and the colour.
QWidget* TForm2::BuildFontGroup() {
    struct FontRow {
        const char* caption;
        const char* button;
        const char* buttonCaption;
    };
    constexpr FontRow rows[3] = {{"メインウインドウのフォント", "Button13", "選択(&M)"},
                                 {"エディットウインドウのフォント", "Button14", "選択(&E)"},
                                 {"リストのフォント", "Button15", "選択(&L)"}};
    auto* group = new QGroupBox(Utf8("画面のフォント(&S)"), this);
    auto* grid = new QGridLayout(group);
    for (int i = 0; i < 3; ++i) {
        fontTexts_[i] = Box(QString("Edit%1").arg(7 + i).toLatin1().constData());
        fontTexts_[i]->setReadOnly(true);
        QPushButton* choose = NamedButton(this, rows[i].button, rows[i].buttonCaption);
        connect(choose, &QPushButton::clicked, this, [this, i] { ChooseFont(i); });
        QPushButton* color = NamedButton(this, QString("ColorButton%1").arg(i + 1).toLatin1().constData(), "色...");
        connect(color, &QPushButton::clicked, this, [this, i] { ChooseColor(i); });
        grid->addWidget(Label(rows[i].caption), 2 * i, 0, 1, 3);
        grid->addWidget(fontTexts_[i], 2 * i + 1, 0);
        grid->addWidget(choose, 2 * i + 1, 1);
        grid->addWidget(color, 2 * i + 1, 2);
    }
    grid->setColumnStretch(0, 1);
    return group;
}

}  // namespace wvr
