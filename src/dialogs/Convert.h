// The conversion dialog "コンバート": the MPEG-bearing rows to convert, a kind filter for the
// list of names, the target form, and the run.
#pragma once

#include <QDialog>
#include <vector>

#include "app/commands/Session.h"
#include "dialogs/DialogBusy.h"

class QComboBox;
class QLabel;
class QListWidget;
class QRadioButton;

namespace wvr {

class Prompter;

class TForm4 : public QDialog {
    Q_OBJECT
public:
    // `window`, when given, shows the run's progress.
    TForm4(Session& session, Prompter& prompter, QWidget* parent, BusyIndicator* window = nullptr);

    QListWidget* listBox() const { return listBox1_; }
    QLabel* countLabel() const { return label1_; }
    const std::vector<int>& collected() const { return collected_; }


public slots:
    void Button1Click();
    void ComboBox1Change(int filter);

private:
    Session& session_;
    DialogBusy busy_;
    Prompter& prompter_;
    std::vector<int> collected_;
    QListWidget* listBox1_ = nullptr;
    QLabel* label1_ = nullptr;
    QComboBox* comboBox1_ = nullptr;
    QRadioButton* targets_[3] = {};
};

}  // namespace wvr
