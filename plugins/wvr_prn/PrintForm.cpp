#include "wvr_prn/PrintForm.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/PrintHost.h"
#include "dialogs/DialogPlacement.h"

namespace wvr::label {
namespace {

bool AnyChecked(const PrintHost& host) {
    for (int row = 0; row < host.RowCount(); ++row)
        if (host.RowChecked(row)) return true;
    return false;
}

QPushButton* Button(const char* name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

TPrintForm::TPrintForm(const PrintHost& host, QWidget* parent)
    : QDialog(parent), host_(host), previewPrinter_(QPrinter::HighResolution) {
    setObjectName("TPrintForm");
    setWindowTitle(QStringLiteral("レーベル印刷"));
    PreparePrinter(previewPrinter_);

    preview_ = new QPrintPreviewWidget(&previewPrinter_, this);
    preview_->setObjectName("PrintPreview");
    // Small enough for the window to fit a low screen at a large scale; the page fits the view.
    preview_->setMinimumSize(240, 320);
    connect(preview_, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) { PaintLabel(data_, *printer); });

    album_ = new QLineEdit(this);
    album_->setObjectName("AlbumEdit");
    artist_ = new QLineEdit(this);
    artist_->setObjectName("ArtistEdit");
    checkedOnly_ = new QCheckBox(QStringLiteral("チェックされた曲だけ(&C)"), this);
    checkedOnly_->setObjectName("CheckedOnly");
    checkedOnly_->setEnabled(AnyChecked(host));
    checkedOnly_->setChecked(checkedOnly_->isEnabled());

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("アルバム(&A):"), album_);
    form->addRow(QStringLiteral("アーティスト(&R):"), artist_);
    form->addRow(checkedOnly_);
    auto* side = new QVBoxLayout;
    side->addLayout(form);
    side->addWidget(new QLabel(QStringLiteral("CDケース用 (表 120×120mm, 裏 151×118mm), A4"), this));
    side->addStretch();
    QPushButton* print = Button("PrintButton", QStringLiteral("印刷(&P)..."), this);
    QPushButton* pdf = Button("PdfButton", QStringLiteral("PDFに保存(&S)..."), this);
    QPushButton* close = Button("CloseButton", QStringLiteral("閉じる"), this);
    for (QPushButton* b : {print, pdf, close}) side->addWidget(b);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(preview_, 1);
    layout->addLayout(side);

    connect(print, &QPushButton::clicked, this, &TPrintForm::PrintClick);
    connect(pdf, &QPushButton::clicked, this, &TPrintForm::PdfClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(checkedOnly_, &QCheckBox::toggled, this, &TPrintForm::Reload);
    connect(album_, &QLineEdit::textEdited, this, [this](const QString& text) {
        data_.album = text;
        Refresh();
    });
    connect(artist_, &QLineEdit::textEdited, this, [this](const QString& text) {
        data_.artist = text;
        Refresh();
    });
    Reload();
    resize(900, 680);
    PlaceCentered(this, parent);
}

void TPrintForm::Reload() {
    data_ = LabelDataFrom(host_, checkedOnly_->isChecked());
    album_->setText(data_.album);
    artist_->setText(data_.artist);
    Refresh();
}

void TPrintForm::Refresh() {
    preview_->updatePreview();
    preview_->fitInView();
}

void TPrintForm::PrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    printer.setDocName(data_.album);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!PaintLabel(data_, printer))
        QMessageBox::warning(this, windowTitle(), QStringLiteral("印刷を始められませんでした。"));
}

void TPrintForm::PdfClick() {
    QString name = data_.album.isEmpty() ? QStringLiteral("label") : data_.album;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name += QStringLiteral(".pdf");
    // A name typed without an extension still gets ".pdf", so that viewers know the file.
    QFileDialog dialog(this, QStringLiteral("PDFに保存"), QDir::home().filePath(name), QStringLiteral("PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().first();
    if (!SaveLabelPdf(data_, path))
        QMessageBox::warning(this, windowTitle(), QStringLiteral("PDFファイルを書き込めませんでした。\n") + path);
}

}  // namespace wvr::label
