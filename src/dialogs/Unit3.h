// The fill dialog "フィル": one text into one field of every checked row, in front of, instead
// of, or after the field's text, optionally expanded by the field macros.
#pragma once

#include <QDialog>

#include "app/commands/Session.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace wvr {

class TForm3 : public QDialog {
    Q_OBJECT
public:
    // `currentRow` is the main list's current row, whose texts the text box shows; `field`
    // (0..13) is the field chosen at the start. The dialog belongs to `parent`, the window it
    // was opened from, and is centred over `mainWindow`.
    TForm3(Session& session, int currentRow, int field, QWidget* parent, const QWidget* mainWindow);

    QComboBox* comboBox() const { return comboBox1_; }
    QLineEdit* edit() const { return edit1_; }

public slots:
    void Button1Click();
    void ComboBox1Change(int field);

private:
    Session& session_;
    int currentRow_;
    QComboBox* comboBox1_ = nullptr;
    QLineEdit* edit1_ = nullptr;
    QRadioButton* modes_[3] = {};
};

}  // namespace wvr
