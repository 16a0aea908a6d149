#include "platform/Cp932LineEdit.h"

#include "platform/QtText.h"

#include <QValidator>

namespace {

class Cp932Validator : public QValidator {
public:
    Cp932Validator(const Cp932LineEdit* edit, QObject* parent)
        : QValidator(parent)
        , m_edit(edit) {}

    State validate(QString& input, int& pos) const override {
        int bytes = Cp932LineEdit::ByteLength(input);
        if (bytes < 0) {
            return Invalid;
        }
        const int limit = m_edit->LimitText();
        // Drop what was just inserted, from its end at the caret, until it fits.
        while (limit > 0 && bytes > limit && pos > 0) {
            bytes -= Cp932LineEdit::ByteLength(input.mid(pos - 1, 1));
            input.remove(pos - 1, 1);
            --pos;
        }
        return limit > 0 && bytes > limit ? Invalid : Acceptable;
    }

private:
    const Cp932LineEdit* m_edit;
};

} // namespace

Cp932LineEdit::Cp932LineEdit(QWidget* parent)
    : QLineEdit(parent) {
    setValidator(new Cp932Validator(this, this));
}

void Cp932LineEdit::SetLimitText(int bytes) {
    m_limit = bytes;
}

int Cp932LineEdit::ByteLength(const QString& text) {
    const auto bytes = FromQString(text);
    return bytes ? static_cast<int>(bytes->size()) : -1;
}
