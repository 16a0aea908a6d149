// The application object: runs the main dialog modally and lets the process
// end when it closes. It keeps no state of its own.
#pragma once

class CPasswordApp {
public:
    // Builds the main dialog, runs it and destroys it. Returns false: no
    // message loop of the program's own follows the dialog.
    bool InitInstance();

    // The help command (button "ﾍﾙﾌﾟ"): the help page in the desktop's viewer.
    static void OnHelp();
};

// The one application object of the process.
extern CPasswordApp theApp;
