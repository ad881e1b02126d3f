// The dialog "ファイルの出力": the whole list written through a header, a body per row and a
// footer, with named template sets stored in "wvr.ini" and listed in the main window's
// output submenu.
#pragma once

#include "app/commands/TemplateOutput.h"
#include "dialogs/SetDialog.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

namespace wvr {

class TForm6 : public SetDialog {
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
    void Button1Click() override;  // 実行(&R)

protected:
    std::vector<std::string> Names() const override;
    void ShowNamed(const std::string& name) override;
    bool StoreShown(const std::string& name) override;
    bool DeleteNamed(const std::string& name) override;
    QPlainTextEdit* InsertTarget() const override { return lastBox_; }
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void BuildControls();

    QPlainTextEdit* header_ = nullptr;  // Memo1
    QPlainTextEdit* body_ = nullptr;    // Memo2
    QPlainTextEdit* footer_ = nullptr;  // Memo3
    QLineEdit* replacement_ = nullptr;  // Edit2
    QCheckBox* escapeHtml_ = nullptr;   // CheckBox1: values escaped for HTML
    QPlainTextEdit* lastBox_ = nullptr;  // the template box that last had the focus
};

}  // namespace wvr
