#include "dialogs/SetDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/ui/MainWindow.h"
#include "app/ui/Text.h"
#include "dialogs/DialogParts.h"
#include "platform/base/IniFile.h"

namespace wvr {

SetDialog::SetDialog(MainWindow& main, const char* objectName, const char* title) : QDialog(&main), main_(main) {
    setObjectName(objectName);
    setWindowTitle(QString::fromUtf8(title));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

QHBoxLayout* SetDialog::BuildNameRow(const char* storeCaption) {
    nameList_ = new QComboBox(this);
    nameList_->setObjectName("ComboBox1");
    // A typed name is only a name to store under; it loads nothing.
    nameList_->setEditable(true);
    nameList_->setInsertPolicy(QComboBox::NoInsert);
    auto* store = NamedButton(this, "Button3", storeCaption);
    delete_ = NamedButton(this, "Button4", "削除(&D)");
    connect(nameList_, qOverload<int>(&QComboBox::activated), this, &SetDialog::ComboBox1Select);
    connect(store, &QPushButton::clicked, this, &SetDialog::Button3Click);
    connect(delete_, &QPushButton::clicked, this, &SetDialog::Button4Click);
    auto* row = new QHBoxLayout;
    row->addWidget(nameList_, 1);
    row->addWidget(store);
    row->addWidget(delete_);
    return row;
}

void SetDialog::BuildCommonControls(std::span<const Macro> macros) {
    macros_ = macros;
    extension_ = new QLineEdit(this);
    extension_->setObjectName("Edit1");
    macroList_ = new QComboBox(this);
    macroList_->setObjectName("ComboBox2");
    for (const Macro& m : macros) macroList_->addItem(QString::fromUtf8(m.caption));
    insert_ = NamedButton(this, "Button5", "挿入(&I)");
    auto* run = NamedButton(this, "Button1", "実行(&R)");
    auto* close = NamedButton(this, "Button2", "閉じる");
    run->setDefault(true);
    runRow_ = new QHBoxLayout;
    runRow_->addStretch(1);
    runRow_->addWidget(run);
    runRow_->addWidget(close);
    connect(insert_, &QPushButton::clicked, this, &SetDialog::Button5Click);
    connect(run, &QPushButton::clicked, this, &SetDialog::Button1Click);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void SetDialog::Button5Click() {
    const int entry = macroList_->currentIndex();
    if (QPlainTextEdit* box = InsertTarget(); box && entry >= 0) InsertMacro(box, macros_[entry].code);
}

int SetDialog::FillNames(int selected) {
    names_ = Names();
    nameList_->clear();
    for (const std::string& name : names_) nameList_->addItem(FromSjis(name));
    if (selected < 0 || selected >= nameList_->count()) selected = 0;
    nameList_->setCurrentIndex(selected);
    delete_->setEnabled(selected > 0);
    return selected;
}

void SetDialog::SelectSet(int position) { ComboBox1Select(FillNames(position)); }

std::string SetDialog::ShownName() const { return ToSjis(nameList_->currentText()); }

void SetDialog::ComboBox1Select(int index) {
    if (index < 0 || index >= static_cast<int>(names_.size())) return;
    ShowNamed(names_[index]);
    delete_->setEnabled(index > 0);
}

void SetDialog::Button3Click() {
    const std::string name = ShownName();
    if (!StoreShown(name)) return;
    // The list follows the file, where the stored set now stands last.
    const std::vector<std::string> names = Names();
    int position = 0;
    while (position < static_cast<int>(names.size()) && !EqualsIgnoringAsciiCase(names[position], name)) ++position;
    FillNames(position);
    main_.RebuildTemplateMenus();
}

void SetDialog::Button4Click() {
    const int position = nameList_->currentIndex();
    if (position <= 0 || position >= static_cast<int>(names_.size())) return;
    if (!DeleteNamed(names_[position])) return;
    SelectSet(static_cast<int>(Names().size()) - 1);
    main_.RebuildTemplateMenus();
}

}  // namespace wvr
