// A link to the virtual printer: the printer's side of the protocol answers
// at once, and the folder's control files decide whether it is heard.
#pragma once

#include "tavopus/Link.h"
#include "tavopus/PrinterProtocol.h"
#include "tavopus/VirtualBackend.h"

namespace tavopus {

class VirtualLink : public Link {
public:
    explicit VirtualLink(VirtualBackend& printer)
        : Link(VirtualBackend::kNumber)
        , printer_(printer)
        , generation_(printer.Generation()) {}

protected:
    bool Send(std::span<const std::uint8_t> bytes) override;
    std::size_t Receive(std::span<std::uint8_t> buffer, Clock::time_point until) override;
    bool DeviceGone() override;

private:
    bool AliveOrEnd();

    VirtualBackend& printer_;
    unsigned generation_;
    PrinterProtocol protocol_;
};

} // namespace tavopus
