#include "dialogs/SetEditing.h"

#include <QComboBox>
#include <QPlainTextEdit>

#include "app/ui/Text.h"
#include "platform/base/IniFile.h"

namespace wvr {

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

int FillNames(QComboBox* list, const std::vector<std::string>& names, int selected) {
    list->clear();
    for (const std::string& name : names) list->addItem(FromSjis(name));
    if (selected < 0 || selected >= list->count()) selected = 0;
    list->setCurrentIndex(selected);
    return selected;
}

int PositionOf(const std::vector<std::string>& names, const std::string& name) {
    for (size_t i = 0; i < names.size(); ++i)
        if (EqualsIgnoringAsciiCase(names[i], name)) return static_cast<int>(i);
    return -1;
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
