// The main dialog's entry to the table editor.
#include "app/CPasswordDlg.h"

#include "app/PasswordDialogTemplate.h"
#include "tableedit/CTableEditDlg.h"

void CPasswordDlg::OnEditTable() {
    CTableEditDlg editor;
    editor.EditTable(m_table);
    // Whichever way the editor closed, an empty map cannot be used.
    EnableDlgItem(app::IDC_USE_DIGITS, !m_table.digits.IsEmpty());
    EnableDlgItem(app::IDC_USE_SYMBOLS, !m_table.symbols.IsEmpty());
}
