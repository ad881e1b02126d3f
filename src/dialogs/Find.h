// The find dialog "検索": finds the next row holding a text and stays open, so that rows can
// be found and checked one after another.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace wvr {

class MainWindow;

class TFindForm : public QDialog {
    Q_OBJECT
public:
    explicit TFindForm(MainWindow& main);

    QLineEdit* edit() const { return edit1_; }
    QCheckBox* fromTopBox() const { return checkBox1_; }
    QCheckBox* matchCaseBox() const { return checkBox2_; }

public slots:
    void Button1Click();
    void Button3Click();

private:
    MainWindow& main_;
    QLineEdit* edit1_ = nullptr;
    QPushButton* button1_ = nullptr;
    QCheckBox* checkBox1_ = nullptr;
    QCheckBox* checkBox2_ = nullptr;
};

}  // namespace wvr
