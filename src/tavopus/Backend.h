// Where printers come from: the kernel's USB printer nodes, or the virtual
// printer that stands in for them. The library's entry points lock and
// forward to the one backend chosen at start.
#pragma once

#include "tavopus/Link.h"
#include "tavopus/tavopus.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavopus {

using Notice = TavopNotice;

class Backend {
public:
    virtual ~Backend() = default;

    // The printer's name when one answers at this number (already in range).
    virtual std::optional<std::string> Find(std::int32_t number) = 0;
    // A link to the printer at this number, or nothing.
    virtual std::unique_ptr<Link> Open(std::int32_t number) = 0;

    // Descriptor that turns readable when notices may be waiting; -1 when the
    // backend gives none of its own.
    virtual int NoticeDescriptor() { return -1; }
    // The notices since the last call, oldest first.
    virtual std::vector<Notice> ReadNotices() { return {}; }
};

} // namespace tavopus
