// Typing rules of the edit window's boxes, which measure texts in CP932 bytes as the files
// and the rows do, not in characters.
#pragma once

#include <QValidator>

class QLineEdit;

namespace wvr {

// Keeps a box's text within `limit` CP932 bytes. Of what is typed, pasted or committed by an
// input method, as much goes in as fits, cut after a whole character; the rest is left out
// and reported (the window beeps). A text that is already longer (it came from the row)
// stays and may be shortened, never lengthened.
class ByteLimitValidator : public QValidator {
    Q_OBJECT
public:
    ByteLimitValidator(int limit, QObject* parent);

    // Called when the box is given a text that the user did not type.
    void Start(const QString& text);
    State validate(QString& input, int& pos) const override;

signals:
    // Some of an insertion did not fit and was left out.
    void Overflowed() const;

private:
    int limit_;
    mutable int allowed_;
    mutable QString accepted_;  // the text before the change being validated
};

// The longest start of `text` that takes at most `bytes` CP932 bytes, in whole characters.
QString FitToBytes(const QString& text, int bytes);

// The CP932 length of a screen text.
int ByteLength(const QString& text);

// How many characters of `text` the Delete key removes at `pos`: two bytes when the byte at
// the caret is 0x80 or above, else one; whole characters only, so a half-width katakana
// (one such byte) takes the character after it along. 0 at the end of the text.
int CharactersToDelete(const QString& text, int pos);

// The Delete key in a box: removes the selection, or else those characters at the caret, as
// a typed change (undoable, reported as an edit).
void DeleteAtCaret(QLineEdit* box);

// Lets only the box with the keyboard focus show a text cursor. A box shows one whenever it
// holds a selection, focused or not; a reload selects the text of every box.
void ShowCaretOnlyWithFocus(QLineEdit* box);

// Shows or hides a box's selection. A reload selects the text of every box; only the box
// with the focus shows it, so that the window does not light up all over.
void ShowSelection(QLineEdit* box, bool shown);

}  // namespace wvr
