// The dialog "テキスト入力": a text file such as an album's track list laid onto the rows by
// a format, with named formats stored in "wvr_In.ini" and listed in the main window's input
// submenu.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "app/commands/TextInput.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace wvr {

class MainWindow;

class TForm8 : public QDialog {
    Q_OBJECT
public:
    // `menuNumber`: the input submenu item that opened the dialog, 0 for "Default".
    TForm8(MainWindow& main, int menuNumber);

    // The format as the boxes show it, under the name shown.
    InputFormat ShownFormat() const;
    // Reads that file (native name) into the rows and closes, as "実行(&R)" does after its dialog.
    bool RunWith(const QString& nativeName);

public slots:
    void Button1Click();  // 実行(&R)
    void Button3Click();  // 追加(&A)
    void Button4Click();  // 削除(&D)
    void Button5Click();  // 挿入(&I)
    void ComboBox1Select(int index);

private:
    void BuildControls();
    void ShowFormat(const InputFormat& format);

    MainWindow& main_;
    std::vector<std::string> names_;  // "Default", then the stored formats
    QComboBox* nameList_ = nullptr;   // ComboBox1
    QPlainTextEdit* format_ = nullptr;  // Memo1
    QLineEdit* extension_ = nullptr;    // Edit1
    QComboBox* macros_ = nullptr;       // ComboBox2
    QPushButton* delete_ = nullptr;     // Button4
};

}  // namespace wvr
