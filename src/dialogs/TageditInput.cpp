#include "dialogs/TageditInput.h"

#include <QApplication>
#include <QLineEdit>
#include <QProxyStyle>
#include <algorithm>

#include "app/ui/Text.h"

namespace wvr {
namespace {

// One character on the screen: a surrogate pair counts as one.
int CharacterLength(const QString& text, int pos) {
    return text.at(pos).isHighSurrogate() && pos + 1 < text.size() ? 2 : 1;
}

// The application's style, except that a box without the focus asks for no cursor beside its
// selection.
class CaretStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_BlinkCursorWhenTextSelected && widget && !widget->hasFocus()) return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

}  // namespace

int ByteLength(const QString& text) { return static_cast<int>(ToSjis(text).size()); }

ByteLimitValidator::ByteLimitValidator(int limit, QObject* parent)
    : QValidator(parent), limit_(limit), allowed_(limit) {}

void ByteLimitValidator::Start(const QString& text) {
    allowed_ = std::max(limit_, ByteLength(text));
    accepted_ = text;
}

QString FitToBytes(const QString& text, int bytes) {
    int pos = 0;
    while (pos < text.size()) {
        const int length = CharacterLength(text, pos);
        const int size = ByteLength(text.mid(pos, length));
        if (size > bytes) break;
        bytes -= size;
        pos += length;
    }
    return text.left(pos);
}

QValidator::State ByteLimitValidator::validate(QString& input, int& pos) const {
    if (ByteLength(input) > allowed_) {
        // What changed lies between the part before it and the part after it that the text
        // had already; of the new part the start that fits stays.
        const QString& before = accepted_;
        qsizetype head = 0;
        while (head < before.size() && head < input.size() && before[head] == input[head]) ++head;
        qsizetype tail = 0;
        while (tail < before.size() - head && tail < input.size() - head &&
               before[before.size() - 1 - tail] == input[input.size() - 1 - tail])
            ++tail;
        // Never between the two halves of a surrogate pair.
        if (head > 0 && input[head - 1].isHighSurrogate()) --head;
        if (tail > 0 && input[input.size() - tail].isLowSurrogate()) --tail;
        const QString kept = input.left(head);
        const QString rest = input.right(tail);
        const QString inserted = input.mid(head, input.size() - head - tail);
        const QString fitted = FitToBytes(inserted, allowed_ - ByteLength(kept) - ByteLength(rest));
        emit Overflowed();
        if (fitted.isEmpty() && kept.size() + rest.size() == before.size()) return Invalid;  // nothing fits
        input = kept + fitted + rest;
        pos = static_cast<int>(kept.size() + fitted.size());
    }
    // A shortened over-long text may not grow back past its new length.
    allowed_ = std::max(limit_, ByteLength(input));
    accepted_ = input;
    return Acceptable;
}

int CharactersToDelete(const QString& text, int pos) {
    if (pos < 0 || pos >= text.size()) return 0;
    const std::string first = ToSjis(text.mid(pos, CharacterLength(text, pos)));
    const size_t wanted = !first.empty() && static_cast<unsigned char>(first[0]) >= 0x80 ? 2 : 1;
    size_t bytes = 0;
    int count = 0;
    while (bytes < wanted && pos + count < text.size()) {
        const int length = CharacterLength(text, pos + count);
        bytes += ToSjis(text.mid(pos + count, length)).size();
        count += length;
    }
    return count;
}

void DeleteAtCaret(QLineEdit* box) {
    if (box->isReadOnly()) return;
    if (!box->hasSelectedText()) {
        const int pos = box->cursorPosition();
        const int count = CharactersToDelete(box->text(), pos);
        if (count == 0) return;
        box->setSelection(pos, count);
    }
    box->del();
}

void ShowCaretOnlyWithFocus(QLineEdit* box) {
    // One for all boxes, living as long as the application, so that it outlives every box.
    static CaretStyle* const style = [] {
        auto* made = new CaretStyle;
        made->setParent(qApp);
        return made;
    }();
    box->setStyle(style);
}

void ShowSelection(QLineEdit* box, bool shown) {
    if (shown) {
        box->setPalette(QPalette());  // everything from the window again
        return;
    }
    QPalette quiet;
    quiet.setColor(QPalette::Highlight, box->palette().color(QPalette::Base));
    quiet.setColor(QPalette::HighlightedText, box->palette().color(QPalette::Text));
    box->setPalette(quiet);
}

}  // namespace wvr
