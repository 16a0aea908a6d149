// The only code that writes, renames or deletes files. A regular file is
// replaced whole or not at all; an output that is a FIFO, a device or
// standard output is written in place, never replaced; nothing is deleted
// but the writer's own temporary files.
#pragma once

#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace files {

enum class Target {
    TableFile, // only ever a missing or regular file, or a link to one
    Output,    // named by the user: also a FIFO, a character device or "-"
};

// Who may read a new file: what the umask allows, or only its owner (a file
// holding a secret). A replaced file keeps its mode, less every right of
// others than its owner for a secret.
enum class Access { Shared, Private };

// Writes `bytes` to `name`. A regular file (or the file a chain of links
// ends at) is replaced through a temporary file beside it, synced and
// renamed over it, keeping its mode and, where allowed, its owner; one with
// several hard links, or in a folder that takes no new files, is rewritten
// in place. "-" and the process's own descriptors (/dev/stdout, /dev/fd/N)
// are written where they point, appending when they append. A file the
// user could not write is refused, as is a folder, an empty name, a name
// ending in '/', and an output that is the same file as `notSameAs`.
// Nothing is changed on failure.
std::error_code WriteFile(const std::string& name, std::string_view bytes, Target target,
                          const std::string& notSameAs = {}, Access access = Access::Shared);

// Creates new files in `folder`, each under its name, all or none, never
// replacing anything there (a planted link included): EEXIST when a name is
// taken, after which nothing of this call is left.
std::error_code CreateNewFiles(const std::string& folder,
                               const std::vector<std::pair<std::string, std::string_view>>& named,
                               Access access = Access::Shared);

// Makes a folder and the missing folders above it (mode 0777 less the
// umask); what is already there, whatever it is, is left as it is.
std::error_code CreateFolder(const std::string& folder);

// Removes the table file; a missing one is no error. Anything but a regular
// file the user could write, or a link to one, is refused and kept.
std::error_code RemoveTableFile(const std::string& name);

// Makes the signals that end a process (SIGINT, SIGTERM, SIGHUP, SIGQUIT,
// SIGUSR1, SIGUSR2, SIGALRM) remove a temporary file still being written
// before the process ends by them; one ignored from the start (nohup) stays
// ignored. A write past the file size limit fails (EFBIG) instead of ending
// the process by SIGXFSZ, so it is undone and told as any failed write.
void RemoveTempFilesOnSignal();

} // namespace files
