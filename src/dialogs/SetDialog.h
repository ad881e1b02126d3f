// What the output and input dialogs share: a list of names ("Default", then the sets stored in
// an ini file), choosing one to show it, storing the boxes under the name shown and deleting
// the one chosen. Each store or delete rebuilds the main window's submenus.
#pragma once

#include <QDialog>
#include <span>
#include <string>
#include <vector>

class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace wvr {

class MainWindow;

class SetDialog : public QDialog {
    Q_OBJECT
public:
    // An entry of the macro insertion list: its caption and the code it inserts after "%".
    struct Macro {
        const char* caption;
        char code;
    };

public slots:
    virtual void Button1Click() = 0;  // 実行(&R)
    void Button3Click();  // store the boxes under the name shown
    void Button4Click();  // 削除(&D)
    void Button5Click();  // 挿入(&I): the chosen macro at the caret
    void ComboBox1Select(int index);

protected:
    SetDialog(MainWindow& main, const char* objectName, const char* title);

    // "Default" first, then the stored names in file order.
    virtual std::vector<std::string> Names() const = 0;
    virtual void ShowNamed(const std::string& name) = 0;
    // False when nothing was stored or deleted (after a message).
    virtual bool StoreShown(const std::string& name) = 0;
    virtual bool DeleteNamed(const std::string& name) = 0;

    // The box that 挿入(&I) writes into; none yet: nothing happens.
    virtual QPlainTextEdit* InsertTarget() const = 0;

    // ComboBox1 with the store button (Button3) and 削除(&D) (Button4) beside it.
    QHBoxLayout* BuildNameRow(const char* storeCaption);
    // The extension box (Edit1), the macro list (ComboBox2) with 挿入(&I) (Button5), and the
    // row of 実行(&R) (Button1, the default) and 閉じる (Button2).
    void BuildCommonControls(std::span<const Macro> macros);
    // Selects a position of the list and shows it; out of range is "Default".
    void SelectSet(int position);
    std::string ShownName() const;

    MainWindow& main_;
    QComboBox* nameList_ = nullptr;  // ComboBox1
    QLineEdit* extension_ = nullptr;  // Edit1
    QComboBox* macroList_ = nullptr;  // ComboBox2
    QPushButton* insert_ = nullptr;   // Button5
    QHBoxLayout* runRow_ = nullptr;

private:
    int FillNames(int selected);

    std::vector<std::string> names_;
    std::span<const Macro> macros_;
    QPushButton* delete_ = nullptr;  // Button4
};

}  // namespace wvr
