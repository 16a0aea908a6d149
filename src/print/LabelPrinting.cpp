#include "print/LabelPrinting.h"

#include "files/FileWriter.h"

#include <QFileInfo>
#include <QLibrary>

#include <dlfcn.h>

namespace {

LabelPrinting* g_replacement = nullptr;

// The folder of the program's own shared libraries, where the module lies both
// in a build tree and once installed: the one the file layer was loaded from.
QString PrivateLibraryFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&files::WriteFile), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

LabelPrinting* LoadModule() {
    // Never unloaded: the print dialog's classes must outlive every use. Held
    // here for the process's life, so it is not lost either.
    static QLibrary* const module =
        new QLibrary(PrivateLibraryFolder() + '/' + QLatin1String(LabelPrinting::kModuleFile));
    using Entry = LabelPrinting* (*)();
    const auto entry = reinterpret_cast<Entry>(module->resolve(LabelPrinting::kEntry));
    return entry != nullptr ? entry() : nullptr;
}

} // namespace

LabelPrinting* LabelPrinting::Current() {
    if (g_replacement != nullptr) {
        return g_replacement;
    }
    static LabelPrinting* const module = LoadModule();
    return module;
}

void LabelPrinting::Replace(LabelPrinting* replacement) {
    g_replacement = replacement;
}
