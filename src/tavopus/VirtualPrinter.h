// The virtual printer's place on disk: its folder, the control files that
// silence or unplug it, the labels it saves, and the notices it gives when
// it is unplugged or plugged in again.
#pragma once

#include "tavopus/PrinterProtocol.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavopus {

struct Notice {
    std::uint32_t event;
    std::uint32_t word;
};

class VirtualPrinter {
public:
    static constexpr std::int32_t kNumber = 0;

    explicit VirtualPrinter(std::string folder);
    ~VirtualPrinter();
    VirtualPrinter(const VirtualPrinter&) = delete;
    VirtualPrinter& operator=(const VirtualPrinter&) = delete;

    const std::string& Folder() const { return folder_; }
    bool Present() const; // no "unplugged" file
    bool Silent() const;  // a "silent" file
    // Counts the removals seen through notices, so a link made before one
    // stays gone even after the printer is back.
    unsigned Generation() const { return generation_; }

    // Saves label-NNNN.bin and label-NNNN.png under the next free number.
    bool SaveLabel(const PrinterProtocol::Label& label);

    // A descriptor that turns readable when the control files change; -1
    // when the folder cannot be watched.
    int NoticeDescriptor();
    // The notices for the changes since the last call.
    std::vector<Notice> ReadNotices();

private:
    void Removed(std::vector<Notice>& out);
    void Appeared(std::vector<Notice>& out);

    std::string folder_;
    int watch_ = -1;
    bool watchedPresent_ = true;
    unsigned generation_ = 0;
    int nextLabel_ = 1;
};

} // namespace tavopus
