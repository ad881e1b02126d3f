#include "dialogs/DialogParts.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/ui/Text.h"

namespace wvr {

QPushButton* NamedButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QCheckBox* NamedCheckBox(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(name);
    return box;
}

QLabel* Caption(QWidget* parent, const char* caption, QWidget* buddy) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setBuddy(buddy);
    return label;
}

QPlainTextEdit* LinesBox(QWidget* parent, const char* name) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setTabChangesFocus(true);
    return box;
}

std::vector<std::string> LinesOf(const QPlainTextEdit* box) {
    std::vector<std::string> lines;
    const QString text = box->toPlainText();
    if (text.isEmpty()) return lines;
    for (const QString& line : text.split('\n')) lines.push_back(ToSjis(line));
    return lines;
}

void ShowLines(QPlainTextEdit* box, const std::vector<std::string>& lines) {
    QStringList text;
    for (const std::string& line : lines) text << FromSjis(line);
    box->setPlainText(text.join('\n'));
}

void InsertMacro(QPlainTextEdit* box, char code) {
    box->insertPlainText(QString('%') + QChar::fromLatin1(code));
    box->setFocus();
}

QString SetFileFilter(const std::string& name, const std::string& extension) {
    const QString ext = FromSjis(extension);
    return FromSjis(name) + " (*." + ext + ")|*." + ext + QStringLiteral("|すべてのファイル(*.*)|*.*");
}

}  // namespace wvr
