// The program's command line: --help and --version answer and end the run
// before any window exists, so they work without a display; --in-data-folder
// makes the program's own data folder the working folder, which is where the
// table file is kept. The desktop entry passes it, so a start from the
// application menu never writes into the home folder.
#pragma once

#include <QString>
#include <QStringList>

struct CommandLine {
    enum class Action { Run, Exit };

    static constexpr const char* kDataFolderOption = "in-data-folder";

    Action action = Action::Run;
    int exitCode = 0;
    // What to print before exiting: to standard output for help and version,
    // to standard error for a mistake.
    QString output;
    QString error;
    bool useDataFolder = false;

    // `arguments` as the process got them, program name first.
    static CommandLine Parse(const QStringList& arguments);

    // $XDG_DATA_HOME/q8xj (~/.local/share/q8xj by default).
    static QString DataFolder();

    // Makes DataFolder() (created when missing) the working folder. False, with
    // the reason in `error`, when it cannot be made or entered.
    static bool EnterDataFolder(QString& error);
};
