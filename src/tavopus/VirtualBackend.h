// The virtual printer that stands in for the real ones when TAVOPUS_VIRTUAL
// names a folder: device 0, answering as the printer does. Its folder holds
// the labels it saves and the control files that change how it behaves:
// "unplugged" takes it away, "silent" keeps it from answering, "stalled"
// makes writes block. A folder that is not a directory or cannot be written
// makes the printer absent, so a label is never lost unseen.
#pragma once

#include "tavopus/Backend.h"
#include "tavopus/PrinterProtocol.h"
#include "tavopus/Settings.h"

#include <string>

namespace tavopus {

class VirtualBackend : public Backend {
public:
    static constexpr std::int32_t kNumber = 0;

    VirtualBackend(std::string folder, Settings& settings);
    ~VirtualBackend() override;
    VirtualBackend(const VirtualBackend&) = delete;
    VirtualBackend& operator=(const VirtualBackend&) = delete;

    std::optional<std::string> Find(std::int32_t number) override;
    std::unique_ptr<Link> Open(std::int32_t number) override;
    int NoticeDescriptor() override;
    std::vector<Notice> ReadNotices() override;

    // A usable folder without an "unplugged" file. Tells once why a folder
    // cannot be used.
    bool Present();
    bool Silent() const;
    bool Stalled() const;
    // Counts the removals seen through notices, so a link made before one
    // stays gone even after the printer is back.
    unsigned Generation() const { return generation_; }

    // Saves label-NNNN.bin and label-NNNN.png under the next number free for
    // both; false (and told once) when they cannot be saved.
    bool SaveLabel(const PrinterProtocol::Label& label);

private:
    bool HasFile(const char* name) const;
    void Removed(std::vector<Notice>& out);
    void Appeared(std::vector<Notice>& out);

    std::string folder_;
    Settings& settings_;
    int watch_ = -1;
    bool watchedPresent_ = true;
    unsigned generation_ = 0;
    int nextLabel_ = 1;
};

} // namespace tavopus
