// The select dialog "条件に合わせて選択": draws files from the main list at random until a
// play time or a medium size is filled, shows the choice with its total, saves it as a
// playlist, lets it be dragged out, and can reduce the main list to it on closing.
#pragma once

#include <QDialog>
#include <random>
#include <vector>

#include "app/commands/Select.h"
#include "app/commands/Session.h"
#include "dialogs/DialogBusy.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTreeWidget;

namespace wvr {

class Prompter;

class TMP3Select : public QDialog {
    Q_OBJECT
public:
    // `mainBusy` is the main list's busy section, used when closing reduces the list.
    TMP3Select(Session& session, Prompter& prompter, BusyIndicator* mainBusy, QWidget* parent);

    QTreeWidget* resultList() const { return listView1_; }
    const SelectSettings& state() const { return state_; }
    // The main-list rows of the result, in result order.
    std::vector<int> ResultRows() const;
    // Writes the result as a playlist to the file (native path) and remembers its name.
    bool SaveList(const QString& nativePath);


public slots:
    void RadioGroup1Click();
    void ComboBox1Change(int index);
    void CSpinEdit1Change(int value);
    void Button1Click();
    void Button3Click();
    void Button4Click();
    void done(int result) override;

private:
    void BuildControls();
    void ListView1Insert();
    SelectMode Mode() const { return static_cast<SelectMode>(state_.SelIndex); }

    Session& session_;
    DialogBusy busy_{this};
    Prompter& prompter_;
    BusyIndicator* mainBusy_;
    SelectSettings state_;
    std::mt19937 random_;
    bool closed_ = false;
    QRadioButton* modes_[2] = {};
    QLabel* label2_ = nullptr;
    QComboBox* comboBox1_ = nullptr;
    QLabel* label3_ = nullptr;
    QSpinBox* cSpinEdit1_ = nullptr;
    QLabel* label4_ = nullptr;
    QTreeWidget* listView1_ = nullptr;
    QLabel* label6_ = nullptr;
    QCheckBox* checkBox1_ = nullptr;
    QCheckBox* checkBox2_ = nullptr;  // "拡張 M3U"
    QPushButton* button3_ = nullptr;
    QPushButton* button4_ = nullptr;
};

}  // namespace wvr
