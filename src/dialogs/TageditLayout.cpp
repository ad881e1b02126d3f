// The edit window's boxes and groups, where they sit at every width, and the window height
// that fits the groups shown.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <vector>

#include "dialogs/Tagedit.h"
#include "dialogs/TageditInput.h"

namespace wvr {
namespace {

constexpr int kGroupMargin = 4;    // between the window edge and the groups
constexpr int kGroupTop = 2;       // the first group's top in the client area
constexpr int kGroupGap = 6;       // below the first group
constexpr int kLeftEdge = 8;       // the left column inside a group
constexpr int kCaptionGap = 1;     // between a caption and its box
constexpr int kRowGap = 4;         // between one box and the next caption
constexpr int kTitleGap = 10;      // below a group's title, before its first caption
constexpr int kGroupBottom = 6;    // below the last box of a group
constexpr int kInfoOffset = 15;    // Label8 after the "ファイル" caption
constexpr int kId3Rows = 3;
constexpr int kSiRows = 2;

struct BoxPlace {
    int group;  // 0 ID3 tag fields, 1 SI fields, 2 SI optional fields
    const char* caption;
};

constexpr BoxPlace kBoxes[TForm1::kBoxCount] = {
    {0, "曲名"},     {0, "アーティスト名"}, {0, "アルバム名"}, {0, "コメント"}, {0, "日付"},
    {0, "ジャンル"}, {1, "著作権"},         {1, "エンジニア"}, {1, "ソース"},   {1, "ソフトウェア"},
    {2, "キーワード"}, {2, "技術者"},       {2, "歌詞"},       {2, "コミッション"},
};

// Fields whose typing is limited on plain MPEG rows, and their widths in bytes.
constexpr int kLimits[] = {30, 30, 30, 30, 4};

int Cut(double value) { return static_cast<int>(value); }

}  // namespace

QLabel* TForm1::AddCaption(QGroupBox* group, const char* caption) {
    auto* label = new QLabel(QString::fromUtf8(caption), group);
    label->setObjectName(QStringLiteral("Caption") + label->text());
    return label;
}

QLineEdit* TForm1::AddBox(QGroupBox* group, const QString& name) {
    auto* box = new QLineEdit(group);
    box->setObjectName(name);
    box->installEventFilter(this);
    ShowCaretOnlyWithFocus(box);
    return box;
}

void TForm1::BuildGroups() {
    id3Group_ = new QGroupBox(QStringLiteral("ID3Tagフィールド"), this);
    siGroup_ = new QGroupBox(QStringLiteral("SI フィールド"), this);
    siOptionGroup_ = new QGroupBox(QStringLiteral("SI オプションフィールド"), this);
    id3Group_->setObjectName("GroupBox1");
    siGroup_->setObjectName("GroupBox2");
    siOptionGroup_->setObjectName("GroupBox3");
    QGroupBox* groups[] = {id3Group_, siGroup_, siOptionGroup_};

    for (int field = 0; field < kBoxCount; ++field) {
        QGroupBox* group = groups[kBoxes[field].group];
        captions_[field] = AddCaption(group, kBoxes[field].caption);
        boxes_[field] = AddBox(group, QString("Edit%1").arg(field + 1));
        connect(boxes_[field], &QLineEdit::textEdited, this,
                [this, field](const QString& text) { OnFieldEdited(field, text); });
    }
    fileNameCaption_ = AddCaption(id3Group_, "ファイル");
    fileNameBox_ = AddBox(id3Group_, "Label9");
    connect(fileNameBox_, &QLineEdit::textEdited, this, &TForm1::OnFileNameEdited);
    infoLabel_ = new QLabel(id3Group_);
    infoLabel_->setObjectName("Label8");

    // The first group's boxes and the file-name box share the window's pop-up menu.
    for (QLineEdit* box : {boxes_[0], boxes_[1], boxes_[2], boxes_[3], boxes_[4], boxes_[5], fileNameBox_}) {
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this,
                [this, box](const QPoint& at) { ShowPopup(box->mapToGlobal(at)); });
    }

    // Tab order: the field boxes in field order, the file-name box after the first group's.
    std::vector<QWidget*> order(boxes_.begin(), boxes_.end());
    order.insert(order.begin() + 6, fileNameBox_);
    for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

    for (size_t i = 0; i < limits_.size(); ++i) {
        limits_[i] = new ByteLimitValidator(kLimits[i], this);
        connect(limits_[i], &ByteLimitValidator::Overflowed, this, [] { QApplication::beep(); });
    }
    siGroup_->hide();
    siOptionGroup_->hide();
}

int TForm1::MenuHeight() const { return menuBar_->sizeHint().height(); }

int TForm1::GroupHeight(int rows) const {
    const int captionHeight = fontMetrics().height();
    const int pitch = captionHeight + kCaptionGap + boxes_[0]->sizeHint().height() + kRowGap;
    return captionHeight + kTitleGap + rows * pitch + kGroupBottom;
}

// Widths follow the first group: half of it per column, each box 95 % of its column.
void TForm1::LayoutGroups() {
    const int top = MenuHeight();
    menuBar_->setGeometry(0, 0, width(), top);
    const int groupWidth = std::max(0, width() - 2 * kGroupMargin);
    int y = top + kGroupTop;
    id3Group_->setGeometry(kGroupMargin, y, groupWidth, GroupHeight(kId3Rows));
    y += id3Group_->height() + kGroupGap;
    for (QGroupBox* group : {siGroup_, siOptionGroup_}) {
        if (group->isHidden()) continue;
        group->setGeometry(kGroupMargin, y, groupWidth, GroupHeight(kSiRows));
        y += group->height();
    }

    const int half = id3Group_->width() / 2;
    const int w = Cut((half - 2) * 0.95);
    const int x = half + 3;
    const int captionHeight = fontMetrics().height();
    const int boxHeight = boxes_[0]->sizeHint().height();
    const int pitch = captionHeight + kCaptionGap + boxHeight + kRowGap;
    auto place = [&](QLabel* caption, QLineEdit* box, int left, int row, int width) {
        const int rowTop = captionHeight + kTitleGap + row * pitch;
        caption->setGeometry(left, rowTop, caption->sizeHint().width(), captionHeight);
        box->setGeometry(left, rowTop + captionHeight + kCaptionGap, width, boxHeight);
    };
    // Each group fills its left column first, then its right column.
    for (int field : {0, 1, 2}) place(captions_[field], boxes_[field], kLeftEdge, field, w);
    place(captions_[3], boxes_[3], x, 0, w);
    place(captions_[4], boxes_[4], x, 1, Cut(w * 0.4));
    place(captions_[5], boxes_[5], x + Cut(w * 0.5), 1, Cut(w * 0.4));
    place(fileNameCaption_, fileNameBox_, x, 2, w);
    for (int first : {6, 10}) {
        place(captions_[first], boxes_[first], kLeftEdge, 0, w);
        place(captions_[first + 1], boxes_[first + 1], kLeftEdge, 1, w);
        place(captions_[first + 2], boxes_[first + 2], x, 0, w);
        place(captions_[first + 3], boxes_[first + 3], x, 1, w);
    }
    const int infoLeft = x + fileNameCaption_->width() + kInfoOffset;
    infoLabel_->setGeometry(infoLeft, fileNameCaption_->y(), std::max(0, groupWidth - infoLeft - kLeftEdge),
                            captionHeight);
}

// The client area ends 6 pixels below the first group, plus every SI group that is shown.
void TForm1::FitHeightToGroups() {
    int client = kGroupTop + GroupHeight(kId3Rows) + kGroupGap;
    for (QGroupBox* group : {siGroup_, siOptionGroup_}) {
        if (!group->isHidden()) client += GroupHeight(kSiRows);
    }
    resize(width(), MenuHeight() + client);
    LayoutGroups();
}

void TForm1::RMP3L1Click() {
    QGroupBox* group = sender() == item("RMP3L2") ? siOptionGroup_ : siGroup_;
    group->setVisible(group->isHidden());
    FitHeightToGroups();
}

}  // namespace wvr
