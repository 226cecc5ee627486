// The registry file reader on any bytes: it never fails, and every key and value it reports can
// be found again by its own name.
#include "core/registryfile.h"

#include "fuzzinput.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 64 * 1024)
        return 0;
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const RegistryFileModel model = parseRegistryFile(content);
    FUZZ_CHECK(model.skippedLines >= 0);
    for (const RegistryKey &key : model.keys) {
        const RegistryKey *found = findRegistryKey(model, key.root, key.path);
        FUZZ_CHECK(found != nullptr);
        for (const RegistryValue &value : found->values) {
            const RegistryValue *v = findRegistryValue(*found, value.name);
            FUZZ_CHECK(v != nullptr);
            FUZZ_CHECK(v->name.compare(value.name, Qt::CaseInsensitive) == 0);
        }
    }
    return 0;
}
