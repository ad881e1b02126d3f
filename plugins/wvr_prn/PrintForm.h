// The label-printing window: album and artist for the insert, which rows to list, a preview
// of the sheet, and printing or saving it as PDF.
#pragma once

#include <QDialog>
#include <QPrinter>

#include "wvr_prn/LabelLayout.h"

class QCheckBox;
class QLineEdit;
class QPrintPreviewWidget;

namespace wvr::label {

class TPrintForm : public QDialog {
    Q_OBJECT
public:
    TPrintForm(const PrintHost& host, QWidget* parent);

    const LabelData& data() const { return data_; }

public slots:
    void PrintClick();
    void PdfClick();

private:
    void Reload();
    void Refresh();

    const PrintHost& host_;
    LabelData data_;
    QPrinter previewPrinter_;
    QPrintPreviewWidget* preview_ = nullptr;
    QLineEdit* album_ = nullptr;
    QLineEdit* artist_ = nullptr;
    QCheckBox* checkedOnly_ = nullptr;
};

}  // namespace wvr::label
