// Hooks for the library's own tests: where the kernel's files live, the
// waits, and a fresh start. The system calls made on device nodes, and the
// pauses, go through files::System, which a test replaces.
#pragma once

#include <string>

namespace tavopus::testing {

// Forgets every link, registration and told message, and reads the
// environment again; the settings below go back to the real ones.
void Reset();
void SetRoots(std::string sysfsRoot, std::string devRoot);
// How long a reply is waited for after a write, and how long a write may
// wait for the device to take its bytes before the link ends.
void SetTimeouts(int replyWindowMs, int writeMs);

} // namespace tavopus::testing
