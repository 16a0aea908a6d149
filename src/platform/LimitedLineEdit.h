// A line edit that holds only text code page 932 can hold, optionally limited
// to a number of code page 932 bytes. Typed and pasted text is checked alike: a character
// without a code page 932 form is refused, and text past the limit is cut at
// a character boundary, as the platform's edit control does.
#pragma once

#include <QLineEdit>

class LimitedLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit LimitedLineEdit(QWidget* parent = nullptr);

    // 0: no limit.
    void SetLimitText(int bytes);
    int LimitText() const { return m_limit; }

    // Bytes that `text` takes in code page 932; -1 if it cannot be held.
    static int ByteLength(const QString& text);

private:
    int m_limit = 0;
};
