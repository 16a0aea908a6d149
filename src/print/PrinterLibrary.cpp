#include "print/PrinterLibrary.h"

#include "tavopus/tavopus.h"

namespace {

const PrinterLibraryCalls kLibrary{
    TavopRegistHandle, TavopUnregistHandle, TavopCheckActiveDevice, TavopStartDevice,
    TavopEndDevice,    TavopCheckMyDevice,  TavopUsbWrite,          TavopUsbRead,
};

const PrinterLibraryCalls* g_calls = &kLibrary;

} // namespace

const PrinterLibraryCalls& LinkLibraryCalls() {
    return kLibrary;
}

const PrinterLibraryCalls& PrinterLibrary() {
    return *g_calls;
}

void SetPrinterLibrary(const PrinterLibraryCalls* calls) {
    g_calls = calls != nullptr ? calls : &kLibrary;
}
