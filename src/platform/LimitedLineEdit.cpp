#include "platform/LimitedLineEdit.h"

#include "platform/FieldLimit.h"
#include "platform/QtText.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QValidator>

namespace {

class LimitedValidator : public QValidator {
public:
    LimitedValidator(const LimitedLineEdit* edit, QObject* parent)
        : QValidator(parent)
        , m_edit(edit) {}

    State validate(QString& input, int& pos) const override {
        int bytes = LimitedLineEdit::ByteLength(input);
        if (bytes < 0) {
            return Invalid;
        }
        const int limit = m_edit->LimitText();
        // Drop what was just inserted, from its end at the caret, until it fits.
        while (limit > 0 && bytes > limit && pos > 0) {
            bytes -= LimitedLineEdit::ByteLength(input.mid(pos - 1, 1));
            input.remove(pos - 1, 1);
            --pos;
        }
        return limit > 0 && bytes > limit ? Invalid : Acceptable;
    }

private:
    const LimitedLineEdit* m_edit;
};

} // namespace

LimitedLineEdit::LimitedLineEdit(QWidget* parent)
    : QLineEdit(parent) {
    setValidator(new LimitedValidator(this, this));
}

void LimitedLineEdit::SetLimitText(int bytes) {
    m_limit = bytes;
}

int LimitedLineEdit::ByteLength(const QString& text) {
    const std::optional<std::string> utf8 = FromQString(text);
    return utf8 ? static_cast<int>(*FieldLimit::Measure(*utf8)) : -1;
}

void LimitedLineEdit::keyPressEvent(QKeyEvent* event) {
    if ((event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) != 0 && !event->text().isEmpty()) {
        event->ignore();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void LimitedLineEdit::focusInEvent(QFocusEvent* event) {
    if (text().isEmpty()) {
        QFocusEvent other(QEvent::FocusIn, Qt::OtherFocusReason);
        QLineEdit::focusInEvent(&other);
        return;
    }
    QLineEdit::focusInEvent(event);
}
