// The command sequence that prints one label: printer set-up, the three packed
// strips, and the end-of-job command. Blocks the calling thread for its pauses
// (at least 470 ms; about 15 s more when the printer never acknowledges).
#pragma once

// What the user is told when the printer stopped taking a label mid-job.
inline constexpr const char* kJobStoppedMessage = "プリンターがラベルの受信を途中でやめました";

#include "print/PackStrip.h"
#include "print/PrinterLink.h"

#include <array>
#include <functional>

// What the job tells as it goes; `strip` counts from 1 for the strip events.
enum class JobEvent {
    Initialising,      // ESC I
    SettingUp,         // ESC P
    SendingStrip,      // an image frame
    StripAcknowledged, // the printer answered 06 after that strip
    Ending,            // ESC N
};
using JobObserver = std::function<void(JobEvent event, int strip)>;

// Sends the whole sequence whatever the printer answers; a printer that never
// acknowledges only makes it slower. A write that fails has ended the link:
// the job stops there and returns false. Pauses go through platform::Clock.
bool RunLabelPrintJob(PrinterLink& link, const std::array<PackedStrip, kStripCount>& strips,
                      const JobObserver& observe = {});
