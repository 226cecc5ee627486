#include "cupslibrary.h"

#include <QLibrary>

namespace
{

template <typename Function> bool resolve(QLibrary &library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

} // namespace

const CupsLibrary *CupsLibrary::get(QString *why)
{
    static QString failure;
    static const CupsLibrary *const loaded = []() -> const CupsLibrary * {
        static QLibrary library(QStringLiteral("cups"), 2);
        static CupsLibrary cups {};
        // Loaded once for the life of the process, as a linked library would be: unloading it at
        // exit would also drop the roots of what it keeps (its settings, its connections).
        library.setLoadHints(QLibrary::PreventUnloadHint);
        if (!library.load()) {
            failure = library.errorString();
            return nullptr;
        }
        const bool all = resolve(library, "cupsGetNamedDest", cups.getNamedDest)
            && resolve(library, "cupsFreeDests", cups.freeDests)
            && resolve(library, "cupsGetOption", cups.getOption)
            && resolve(library, "cupsAddOption", cups.addOption)
            && resolve(library, "cupsFreeOptions", cups.freeOptions)
            && resolve(library, "cupsPrintFile2", cups.printFile2)
            && resolve(library, "cupsLastErrorString", cups.lastErrorString)
            && resolve(library, "cupsServer", cups.server) && resolve(library, "ippPort", cups.ippPort)
            && resolve(library, "cupsEncryption", cups.encryption)
            && resolve(library, "httpConnect2", cups.httpConnect2)
            && resolve(library, "httpClose", cups.httpClose);
        if (!all) {
            failure = library.errorString();
            return nullptr;
        }
        return &cups;
    }();
    if (!loaded && why)
        *why = failure;
    return loaded;
}
