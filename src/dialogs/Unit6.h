// The dialog "ファイルの出力": the whole list written through a header, a body per row and a
// footer, with named template sets stored in "wvr.ini" and listed in the main window's
// output submenu.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "app/commands/TemplateOutput.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace wvr {

class MainWindow;

class TForm6 : public QDialog {
    Q_OBJECT
public:
    // The number of the output submenu item that opened the dialog: 255 for "Default",
    // which opens on the set chosen last; n for the n-th stored set.
    static constexpr int kDefaultItem = 255;

    TForm6(MainWindow& main, int menuNumber);

    // The set as the boxes show it, under the name shown.
    TemplateSet ShownSet() const;
    // Writes the output into that file (native name), as "実行(&R)" does after its dialog.
    bool RunTo(const QString& nativeName);

public slots:
    void Button3Click();  // 保存(&S)
    void Button4Click();  // 削除(&D)
    void Button5Click();  // 挿入(&I)
    void Button1Click();  // 実行(&R)
    void ComboBox1Select(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void BuildControls();
    void ShowSet(const TemplateSet& set);
    void SelectSet(int position);

    MainWindow& main_;
    std::vector<std::string> names_;  // "Default", then the stored sets
    QComboBox* nameList_ = nullptr;    // ComboBox1
    QPlainTextEdit* header_ = nullptr;  // Memo1
    QPlainTextEdit* body_ = nullptr;    // Memo2
    QPlainTextEdit* footer_ = nullptr;  // Memo3
    QLineEdit* extension_ = nullptr;    // Edit1
    QLineEdit* replacement_ = nullptr;  // Edit2
    QComboBox* macros_ = nullptr;       // ComboBox2
    QPushButton* delete_ = nullptr;     // Button4
    QPlainTextEdit* lastBox_ = nullptr;  // the template box that last had the focus
};

}  // namespace wvr
