#include "dialogs/Unit3.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/commands/Fill.h"
#include "app/ui/Text.h"
#include "app/ui/TrackTableModel.h"
#include "dialogs/DialogParts.h"
#include "dialogs/DialogPlacement.h"
#include "dialogs/HelpViewer.h"

namespace wvr {
TForm3::TForm3(Session& session, int currentRow, int field, QWidget* parent, const QWidget* mainWindow)
    : QDialog(parent), session_(session), currentRow_(currentRow) {
    setObjectName("Form3");
    setWindowTitle(QStringLiteral("フィル"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    comboBox1_ = new QComboBox(this);
    comboBox1_->setObjectName("ComboBox1");
    for (int column = 1; column < kColumnCount; ++column) comboBox1_->addItem(TrackTableModel::ColumnCaption(column));
    edit1_ = new QLineEdit(this);
    edit1_->setObjectName("Edit1");
    edit1_->setMinimumWidth(260);

    QGroupBox* group = RadioGroup(this, QString(), {"前に追加", "置換", "後ろに追加"}, true, modes_);
    modes_[static_cast<int>(FillMode::Replace)]->setChecked(true);

    auto* ok = new QPushButton(QStringLiteral("ＯＫ"), this);
    ok->setObjectName("Button1");
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName("Button2");
    connect(ok, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(comboBox1_, 0, 0);
    layout->addWidget(edit1_, 0, 1, 1, 2);
    layout->addWidget(group, 1, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 2, 0, 1, 3);

    comboBox1_->setCurrentIndex(field >= 0 && field < comboBox1_->count() ? field : 0);
    ComboBox1Change(comboBox1_->currentIndex());
    connect(comboBox1_, &QComboBox::currentIndexChanged, this, &TForm3::ComboBox1Change);
    // The text is what the user came to type: the box has the keyboard, its text selected so
    // that typing replaces it and Enter alone applies it.
    edit1_->setFocus();
    edit1_->selectAll();
    layout->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    AddHelpKey(this, kFillHelpTopic);
    CenterOver(this, mainWindow);
}

void TForm3::ComboBox1Change(int field) {
    const bool haveRow = currentRow_ >= 0 && currentRow_ < session_.rows.size() && field >= 0;
    edit1_->setText(haveRow ? FromSjis(session_.rows[currentRow_].Fields[field]) : QString());
}

void TForm3::Button1Click() {
    FillMode mode = FillMode::Replace;
    for (int i = 0; i < 3; ++i)
        if (modes_[i]->isChecked()) mode = static_cast<FillMode>(i);
    FillRows(session_, comboBox1_->currentIndex(), ToSjis(edit1_->text()), mode);
    accept();
}

}  // namespace wvr
