#include "app/CPasswordApp.h"

#include "app/CPasswordDlg.h"
#include "app/HelpPage.h"

#include <memory>

CPasswordApp theApp;

bool CPasswordApp::InitInstance() {
    auto dialog = std::make_unique<CPasswordDlg>();
    dialog->DoModal();
    dialog.reset();
    return false;
}

void CPasswordApp::OnHelp() {
    ShowHelpPage();
}
