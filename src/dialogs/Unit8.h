// The dialog "テキスト入力": a text file such as an album's track list laid onto the rows by
// a format, with named formats stored in "wvr_In.ini" and listed in the main window's input
// submenu.
#pragma once

#include "app/commands/TextInput.h"
#include "dialogs/SetDialog.h"

class QPlainTextEdit;

namespace wvr {

class TForm8 : public SetDialog {
    Q_OBJECT
public:
    // `menuNumber`: the input submenu item that opened the dialog, 0 for "Default".
    TForm8(MainWindow& main, int menuNumber);

    // The format as the boxes show it, under the name shown.
    InputFormat ShownFormat() const;
    // Reads that file (native name) into the rows and closes, as "実行(&R)" does after its dialog.
    bool RunWith(const QString& nativeName);

public slots:
    void Button1Click() override;  // 実行(&R)

protected:
    std::vector<std::string> Names() const override;
    void ShowNamed(const std::string& name) override;
    bool StoreShown(const std::string& name) override;
    bool DeleteNamed(const std::string& name) override;
    QPlainTextEdit* InsertTarget() const override { return format_; }

private:
    void BuildControls();

    QPlainTextEdit* format_ = nullptr;  // Memo1
};

}  // namespace wvr
