#include "print/PrinterLibrary.h"

#include "tavopus/tavopus.h"

#include <array>

std::uint32_t PrinterLibrary::RegistHandle(std::uint32_t receiver) {
    return TavopRegistHandle(receiver);
}

std::uint32_t PrinterLibrary::UnregistHandle() {
    return TavopUnregistHandle();
}

std::uint32_t PrinterLibrary::CheckActiveDevice(std::int32_t number, char* name) {
    return TavopCheckActiveDevice(number, name);
}

std::uint32_t PrinterLibrary::StartDevice(std::uint32_t* handle, std::int32_t number) {
    return TavopStartDevice(handle, number);
}

std::uint32_t PrinterLibrary::EndDevice(std::uint32_t handle) {
    return TavopEndDevice(handle);
}

std::uint32_t PrinterLibrary::CheckMyDevice(std::uint32_t handle, std::int32_t number) {
    return TavopCheckMyDevice(handle, number);
}

std::uint32_t PrinterLibrary::UsbWrite(std::uint32_t handle, const void* bytes, std::uint32_t count) {
    return TavopUsbWrite(handle, bytes, count);
}

std::uint32_t PrinterLibrary::UsbRead(std::uint32_t handle, void* buffer, std::uint32_t* count) {
    return TavopUsbRead(handle, buffer, count);
}

namespace {

PrinterLibrary* g_replacement = nullptr;

} // namespace

PrinterLibrary& PrinterLibrary::Current() {
    // Never destroyed: a link that a static object ends at exit still reaches it.
    static PrinterLibrary* const library = new PrinterLibrary;
    return g_replacement != nullptr ? *g_replacement : *library;
}

void PrinterLibrary::Replace(PrinterLibrary* replacement) {
    g_replacement = replacement;
}

std::optional<std::string> ActivePrinterAt(std::int32_t number) {
    std::array<char, tavopus::kDeviceNameBytes> name{};
    if (PrinterLibrary::Current().CheckActiveDevice(number, name.data()) != 0) {
        return std::nullopt;
    }
    // The library promises a NUL; the last byte stays one whatever it wrote.
    name.back() = '\0';
    return std::string(name.data());
}

std::optional<ActivePrinter> FirstActivePrinter(std::int32_t from) {
    for (std::int32_t number = from; number <= tavopus::kLastDeviceNumber; ++number) {
        if (std::optional<std::string> name = ActivePrinterAt(number)) {
            return ActivePrinter{number, std::move(*name)};
        }
    }
    return std::nullopt;
}
