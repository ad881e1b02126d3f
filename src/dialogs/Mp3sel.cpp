#include "dialogs/Mp3sel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/ui/FileDialogs.h"
#include "app/ui/FileDnD.h"
#include "app/ui/Text.h"
#include "dialogs/DialogParts.h"
#include "dialogs/DialogPlacement.h"
#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

constexpr int kRowRole = Qt::UserRole;       // the main-list row of a result row
constexpr int kPathRole = Qt::UserRole + 1;  // its Path, CP932 bytes

// The result list: several rows may be highlighted and dragged out as files; it takes no drops.
class ResultList : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;
    std::function<void()> rowsRemoved;

protected:
    void startDrag(Qt::DropActions) override {
        // The highlighted rows from the first one downwards.
        QList<QTreeWidgetItem*> dragged;
        for (int i = 0; i < topLevelItemCount(); ++i)
            if (topLevelItem(i)->isSelected()) dragged.append(topLevelItem(i));
        if (dragged.isEmpty()) return;
        std::vector<std::string> paths;
        for (QTreeWidgetItem* item : dragged) paths.push_back(item->data(0, kPathRole).toByteArray().toStdString());
        const DragResult result = StartFileDrag(this, paths, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
        if (result.effect != Qt::MoveAction) return;
        // Moved away: they leave the result, the main list keeps them.
        qDeleteAll(dragged);
        if (rowsRemoved) rowsRemoved();
    }
};

QLabel* MakeLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

}  // namespace

TMP3Select::TMP3Select(Session& session, Prompter& prompter, BusyIndicator* mainBusy, QWidget* parent)
    : QDialog(parent),
      session_(session),
      prompter_(prompter),
      mainBusy_(mainBusy),
      state_(LoadSelectSettings()),
      random_(ClockSeededGenerator()) {
    setObjectName("MP3Select");
    setWindowTitle(QStringLiteral("条件に合わせて選択"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    state_.SelIndex = state_.SelIndex == 1 ? 1 : 0;
    BuildControls();
    RadioGroup1Click();
    adjustSize();
    CenterOver(this, parent);
}

void TMP3Select::BuildControls() {
    QGroupBox* group = RadioGroup(this, QStringLiteral("選択条件"), {"再生時間", "ファイルサイズ"}, false, modes_);
    modes_[state_.SelIndex]->setChecked(true);
    for (int i = 0; i < 2; ++i) {
        connect(modes_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on) return;
            state_.SelIndex = i;
            RadioGroup1Click();
        });
    }

    label2_ = MakeLabel("Label2", QString(), this);
    comboBox1_ = new QComboBox(this);
    comboBox1_->setObjectName("ComboBox1");
    label2_->setBuddy(comboBox1_);
    label3_ = MakeLabel("Label3", QStringLiteral("任意(&N)"), this);
    cSpinEdit1_ = new QSpinBox(this);
    cSpinEdit1_->setObjectName("CSpinEdit1");
    cSpinEdit1_->setRange(0, kMaxCustomValue);
    label3_->setBuddy(cSpinEdit1_);
    label4_ = MakeLabel("Label4", QString(), this);
    connect(comboBox1_, &QComboBox::currentIndexChanged, this, &TMP3Select::ComboBox1Change);
    connect(cSpinEdit1_, &QSpinBox::valueChanged, this, &TMP3Select::CSpinEdit1Change);

    auto* results = new ResultList(this);
    listView1_ = results;
    listView1_->setObjectName("ListView1");
    listView1_->setRootIsDecorated(false);
    listView1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    listView1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    listView1_->setDragEnabled(true);
    listView1_->setDragDropMode(QAbstractItemView::DragOnly);
    listView1_->setAcceptDrops(false);
    listView1_->setColumnCount(4);
    listView1_->header()->setSectionsClickable(false);
    listView1_->header()->setSortIndicatorShown(false);
    listView1_->setMinimumSize(330, 180);
    results->rowsRemoved = [this] { ListView1Insert(); };
    auto* resultLabel = MakeLabel("Label5", QStringLiteral("選択結果(&L)"), this);
    resultLabel->setBuddy(listView1_);
    label6_ = MakeLabel("Label6", QString(), this);
    checkBox1_ = new QCheckBox(QStringLiteral("選択ファイルだけ残す(&L)"), this);
    checkBox1_->setObjectName("CheckBox1");
    checkBox1_->setChecked(state_.LeaveFile);
    checkBox2_ = new QCheckBox(QStringLiteral("拡張 M3U"), this);
    checkBox2_->setObjectName("CheckBox2");
    checkBox2_->setChecked(state_.SelExtM3u);

    auto* select = NamedButton(this, "Button1", "選択(&S)");
    select->setDefault(true);
    auto* close = NamedButton(this, "Button2", "閉じる");
    button4_ = NamedButton(this, "Button4", "リスト保存(&O)");
    button3_ = NamedButton(this, "Button3", "リスト消去(&C)");
    connect(select, &QPushButton::clicked, this, &TMP3Select::Button1Click);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(button4_, &QPushButton::clicked, this, &TMP3Select::Button4Click);
    connect(button3_, &QPushButton::clicked, this, &TMP3Select::Button3Click);
    ListView1Insert();

    auto* layout = new QGridLayout(this);
    layout->addWidget(group, 0, 0, 2, 1);
    layout->addWidget(label2_, 0, 1);
    layout->addWidget(comboBox1_, 0, 2);
    layout->addWidget(label3_, 1, 1);
    auto* custom = new QHBoxLayout;
    custom->addWidget(cSpinEdit1_);
    custom->addWidget(label4_);
    layout->addLayout(custom, 1, 2);
    layout->addWidget(resultLabel, 2, 0, 1, 3);
    layout->addWidget(listView1_, 3, 0, 1, 3);
    layout->addWidget(label6_, 4, 0, 1, 3, Qt::AlignRight);
    layout->addWidget(checkBox1_, 5, 0, 1, 3);
    layout->addWidget(checkBox2_, 6, 0, 1, 3);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {select, close, button4_, button3_}) buttons->addWidget(b);
    buttons->addStretch();
    layout->addLayout(buttons, 0, 3, 7, 1);
}

void TMP3Select::RadioGroup1Click() {
    const bool time = Mode() == SelectMode::Time;
    {
        const QSignalBlocker blockCombo(comboBox1_);
        const QSignalBlocker blockSpin(cSpinEdit1_);
        comboBox1_->clear();
        if (time) {
            for (const char* entry : kTimeEntries) comboBox1_->addItem(QString::fromUtf8(entry));
        } else {
            for (const char* entry : kSizeEntries) comboBox1_->addItem(QString::fromUtf8(entry));
        }
        const int index = time ? state_.TimeIndex : state_.SizeIndex;
        comboBox1_->setCurrentIndex(index >= 0 && index < comboBox1_->count() ? index : 0);
        cSpinEdit1_->setValue(time ? state_.TimeValue : state_.SizeValue);
    }
    label2_->setText(time ? QStringLiteral("再生時間(&P)") : QStringLiteral("サイズ(&P)"));
    label4_->setText(time ? QStringLiteral("分") : QStringLiteral("KB"));
    listView1_->setHeaderLabels({QStringLiteral("ファイル名"), QStringLiteral("曲名"), QStringLiteral("アーティスト名"),
                                 time ? QStringLiteral("時間") : QStringLiteral("サイズ")});
    listView1_->headerItem()->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    const int widths[4] = {100, 80, 80, 46};
    for (int c = 0; c < 4; ++c) listView1_->setColumnWidth(c, widths[c]);
    ComboBox1Change(comboBox1_->currentIndex());
}

void TMP3Select::ComboBox1Change(int index) {
    (Mode() == SelectMode::Time ? state_.TimeIndex : state_.SizeIndex) = index;
    for (QWidget* w : std::initializer_list<QWidget*>{label3_, cSpinEdit1_, label4_}) w->setEnabled(index == 0);
}

void TMP3Select::CSpinEdit1Change(int value) {
    (Mode() == SelectMode::Time ? state_.TimeValue : state_.SizeValue) = value;
}

void TMP3Select::Button1Click() {
    BusySection busy(&busy_);
    listView1_->clear();
    const SelectMode mode = Mode();
    const long long budget = SelectBudget(mode, comboBox1_->currentIndex(), cSpinEdit1_->value());
    const Selection selection = RandomFill(BuildCandidates(session_.rows, mode), budget, random_);
    QList<QTreeWidgetItem*> items;
    for (const Candidate& c : selection.chosen) {
        const TrackInfo& row = session_.rows[c.row];
        auto* item = new QTreeWidgetItem({FromSjis(row.FileName), FromSjis(row.Fields[kTitle]),
                                          FromSjis(row.Fields[kArtist]),
                                          QString::fromStdString(SelectValueText(mode, c.value))});
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, kRowRole, c.row);
        item->setData(0, kPathRole, QByteArray::fromStdString(row.Path));
        items.append(item);
    }
    listView1_->addTopLevelItems(items);
    label6_->setText(QString::fromStdString(SelectTotalText(mode, selection.total, budget)));
    ListView1Insert();
}

void TMP3Select::ListView1Insert() {
    const bool any = listView1_->topLevelItemCount() > 0;
    button3_->setEnabled(any);
    button4_->setEnabled(any);
}

void TMP3Select::Button3Click() {
    listView1_->clear();
    ListView1Insert();
}

std::vector<int> TMP3Select::ResultRows() const {
    std::vector<int> rows;
    for (int i = 0; i < listView1_->topLevelItemCount(); ++i)
        rows.push_back(listView1_->topLevelItem(i)->data(0, kRowRole).toInt());
    return rows;
}

void TMP3Select::Button4Click() {
    const QString name = AskSaveFileName(this, QStringLiteral("プレイリスト (*.m3u)|*.m3u|すべてのファイル (*.*)|*.*"),
                                         QStringLiteral("m3u"), FromSjis(state_.LastFile), true);
    if (!name.isEmpty()) SaveList(name);
}

bool TMP3Select::SaveList(const QString& nativePath) {
    const auto cp932 = fs::FromNative(nativePath.toStdString());
    if (!cp932) {
        prompter_.Error("ファイルを開けませんでした。\n" + nativePath.toStdString());
        return false;
    }
    state_.LastFile = *cp932;
    std::vector<TrackInfo> rows;
    for (int row : ResultRows()) rows.push_back(session_.rows[row]);
    state_.SelExtM3u = checkBox2_->isChecked();
    return WritePlaylist(*cp932, rows, state_.SelExtM3u, prompter_);
}

void TMP3Select::done(int result) {
    if (!closed_) {
        closed_ = true;
        state_.LeaveFile = checkBox1_->isChecked();
        state_.SelExtM3u = checkBox2_->isChecked();
        if (state_.LeaveFile && listView1_->topLevelItemCount() > 0) {
            BusySection busy(mainBusy_);
            KeepOnlyRows(session_.rows, ResultRows());
        }
        SaveSelectSettings(state_, prompter_);
    }
    QDialog::done(result);
}


}  // namespace wvr
