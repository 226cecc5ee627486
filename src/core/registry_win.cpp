#include "registry.h"

#include <qt_windows.h>

namespace
{

class WindowsRegistrySource final : public RegistrySource
{
public:
    std::optional<RegistryData> queryValue(
        quint32 root, const QString &keyName, const QString &valueName, qsizetype capacity) override
    {
        // The predefined handles are 32-bit values sign-extended to the pointer's width.
        const HKEY rootKey = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
        const QByteArray key = keyName.toLocal8Bit();
        const QByteArray name = valueName.toLocal8Bit();

        // Reading needs no more than the right to query values; asking for all access would fail
        // under HKEY_LOCAL_MACHINE for every user who is not an administrator.
        HKEY opened = nullptr;
        if (RegOpenKeyExA(rootKey, key.constData(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
            return std::nullopt;

        QByteArray buffer(capacity, '\0');
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD type = 0;
        const LONG rc = RegQueryValueExA(
            opened, name.constData(), nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()), &size);
        RegCloseKey(opened);
        if (rc != ERROR_SUCCESS || size > static_cast<DWORD>(buffer.size()))
            return std::nullopt;
        buffer.truncate(static_cast<qsizetype>(size));
        return RegistryData { static_cast<quint32>(type), buffer };
    }
};

} // namespace

std::unique_ptr<RegistrySource> createWindowsRegistrySource()
{
    return std::make_unique<WindowsRegistrySource>();
}
