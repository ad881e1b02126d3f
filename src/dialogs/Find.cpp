#include "dialogs/Find.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/commands/Find.h"
#include "app/commands/ListEditing.h"
#include "app/ui/MainWindow.h"
#include "app/ui/Text.h"
#include "dialogs/DialogPlacement.h"
#include "dialogs/HelpViewer.h"

namespace wvr {

TFindForm::TFindForm(MainWindow& main) : QDialog(&main), main_(main) {
    setObjectName("FindForm");
    setWindowTitle(QStringLiteral("検索"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* label = new QLabel(QStringLiteral("検索文字列(&S)"), this);
    label->setObjectName("Label1");
    edit1_ = new QLineEdit(FromSjis(main.searchState().SearchText), this);
    edit1_->setObjectName("Edit1");
    edit1_->setMaxLength(255);
    edit1_->setMinimumWidth(220);
    // The last search text is offered selected, so that typing replaces it.
    edit1_->selectAll();
    label->setBuddy(edit1_);
    checkBox1_ = new QCheckBox(QStringLiteral("最初の行から始める。(&T)"), this);
    checkBox1_->setObjectName("CheckBox1");
    checkBox2_ = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"), this);
    checkBox2_->setObjectName("CheckBox2");

    button1_ = new QPushButton(QStringLiteral("検索(&F)"), this);
    button1_->setObjectName("Button1");
    button1_->setDefault(true);
    auto* check = new QPushButton(QStringLiteral("チェック(&M)"), this);
    check->setObjectName("Button3");
    check->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName("Button2");
    cancel->setAutoDefault(false);
    connect(button1_, &QPushButton::clicked, this, &TFindForm::Button1Click);
    connect(check, &QPushButton::clicked, this, &TFindForm::Button3Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(edit1_, &QLineEdit::textChanged, this, [this](const QString& text) { button1_->setEnabled(!text.isEmpty()); });
    button1_->setEnabled(!edit1_->text().isEmpty());

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(edit1_, 1, 0);
    layout->addWidget(checkBox1_, 2, 0);
    layout->addWidget(checkBox2_, 3, 0);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(button1_);
    buttons->addWidget(check);
    buttons->addWidget(cancel);
    buttons->addStretch();
    layout->addLayout(buttons, 0, 1, 4, 1);
    // A fixed dialog border: the size the controls need, not resizable.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    AddHelpKey(this, kFindHelpTopic);
    CenterOver(this, &main);
}

void TFindForm::Button1Click() {
    if (edit1_->text().isEmpty()) return;
    const bool matchCase = checkBox2_->isChecked();
    const int found = FindFromDialog(main_.session().rows, main_.searchState(), ToSjis(edit1_->text()), matchCase,
                                     checkBox1_->isChecked(), main_.FocusedRow(), main_.prompter());
    if (found < 0) return;
    main_.GoToRow(found);
    checkBox1_->setChecked(false);
}

void TFindForm::Button3Click() {
    const int row = main_.FocusedRow();
    if (row < 0) return;
    ToggleCheck(main_.session().rows, row);
}

}  // namespace wvr
