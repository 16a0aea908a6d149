// The main dialog's entry to the table editor.
#include "app/CPasswordDlg.h"

#include "app/PasswordDialogTemplate.h"
#include "tableedit/CTableEditDlg.h"

void CPasswordDlg::OnEditTable() {
    CTableEditDlg editor;
    editor.EditTable(m_letters, m_digits, m_symbols);
    // Whichever way the editor closed, an empty map cannot be used.
    EnableDlgItem(app::IDC_USE_DIGITS, !m_digits.IsEmpty());
    EnableDlgItem(app::IDC_USE_SYMBOLS, !m_symbols.IsEmpty());
}
