// The main dialog as the program runs it: shown, with its first focus given,
// and closed at the end if the test left it open.
#pragma once

#include "app/CPasswordDlg.h"
#include "app/PasswordDialogTemplate.h"
#include "support/GuiTestHelpers.h"

#include <QLineEdit>
#include <QtTest>

struct ShownDialog {
    ShownDialog() {
        dialog.Create();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
    }
    ~ShownDialog() {
        if (dialog.isVisible()) {
            dialog.EndDialog(IDCANCEL);
        }
    }
    QLineEdit* Edit(int id) const { return dialog.Item<QLineEdit>(id); }
    // Latin letters as romaji keys, katakana as keys carrying it; Enter converts.
    void Convert(const QString& text) {
        text.front().unicode() < 128 ? QTest::keyClicks(Edit(app::IDC_KATAKANA), text)
                                     : TypeText(Edit(app::IDC_KATAKANA), text);
        QTest::keyClick(Edit(app::IDC_KATAKANA), Qt::Key_Return);
    }
    CPasswordDlg dialog;
};
