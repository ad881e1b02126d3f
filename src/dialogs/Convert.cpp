#include "dialogs/Convert.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/commands/Convert.h"
#include "app/ui/Text.h"
#include "dialogs/DialogParts.h"
#include "dialogs/DialogPlacement.h"

namespace wvr {
namespace {

constexpr const char* kFilters[4] = {"すべて", "MP3", "RIFF/WAV", "RIFF/RMP3"};

}  // namespace

TForm4::TForm4(Session& session, Prompter& prompter, QWidget* parent, BusyIndicator* window)
    : QDialog(parent),
      session_(session),
      busy_(this, window),
      prompter_(prompter),
      collected_(ConvertibleRows(session)) {
    setObjectName("Form4");
    setWindowTitle(QStringLiteral("コンバート"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    listBox1_ = new QListWidget(this);
    listBox1_->setObjectName("ListBox1");
    listBox1_->setMinimumSize(260, 160);
    label1_ = new QLabel(this);
    label1_->setObjectName("Label1");
    comboBox1_ = new QComboBox(this);
    comboBox1_->setObjectName("ComboBox1");
    for (const char* filter : kFilters) comboBox1_->addItem(QString::fromUtf8(filter));

    QGroupBox* group = RadioGroup(this, QStringLiteral("変換先"), {"Generic MP3", "RMP3/WAV", "RMP3/MP3"}, false, targets_);

    auto* ok = new QPushButton(QStringLiteral("ＯＫ"), this);
    ok->setObjectName("Button1");
    ok->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName("Button2");
    // Enter cancels: a conversion writes files and is started only by a deliberate click.
    cancel->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(listBox1_, 0, 0, 4, 1);
    layout->addWidget(comboBox1_, 0, 1);
    layout->addWidget(label1_, 1, 1);
    layout->addWidget(group, 2, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    layout->addLayout(buttons, 3, 1);

    ComboBox1Change(0);
    connect(comboBox1_, &QComboBox::currentIndexChanged, this, &TForm4::ComboBox1Change);
    adjustSize();
    CenterOver(this, parent);
}

void TForm4::ComboBox1Change(int filter) {
    listBox1_->clear();
    for (int row : collected_) {
        const TrackInfo& track = session_.rows[row];
        if (filter == 0 || track.KindCode() == filter) listBox1_->addItem(FromSjis(track.FileName));
    }
    label1_->setText(QStringLiteral(" × %1").arg(listBox1_->count()));
}

void TForm4::Button1Click() {
    ConvertTarget target = ConvertTarget::Mp3;
    for (int i = 0; i < 3; ++i)
        if (targets_[i]->isChecked()) target = static_cast<ConvertTarget>(i);
    // The dialog makes way for the main window, where the run shows its count and can be
    // stopped; it closes after the run in any case.
    hide();
    ConvertCommand(session_, collected_, target, prompter_, &busy_);
    accept();
}


}  // namespace wvr
