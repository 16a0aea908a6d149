// The command sequence that prints one label: printer set-up, the three packed
// strips, and the end-of-job command. Blocks the calling thread for its pauses
// (at least 470 ms; about 15 s more when the printer never acknowledges).
#pragma once

#include "print/PackStrip.h"
#include "print/PrinterLink.h"

#include <array>

// Sends the whole sequence whatever the printer answers; a printer that never
// acknowledges only makes it slower. Pauses go through Sleep (platform/TickCount.h).
void RunLabelPrintJob(PrinterLink& link, const std::array<PackedStrip, kStripCount>& strips);
