// The typing test's handlers of the main dialog.
#include "app/CPasswordDlg.h"

using namespace app;

// Focus in the typing field: Enter there runs the check. Unlike the katakana
// field's handler this runs every step every time.
void CPasswordDlg::OnTypingFocus() {
    SetDefaultStyle(IDC_CONVERT, false);
    SetDefID(IDC_CHECK);
    SetDefaultStyle(IDC_CHECK, true);
}
