// A fresh start for the library's tests. Where the kernel's files live and
// the waits are a tavopus::Environment; the system calls made on device
// nodes, and the pauses, go through files::System; a test replaces either.
#pragma once

namespace tavopus::testing {

// Forgets every link, registration and told message, and reads the
// environment's variables again.
void Reset();

} // namespace tavopus::testing
