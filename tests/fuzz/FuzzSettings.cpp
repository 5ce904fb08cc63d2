// The settings store: any bytes as registry.ini. Reading the player paths either gives a text or
// the registry's wrong-type error; a path written afterwards reads back exactly.
//
// Input: the file's bytes, then 0xFF and the path to write (UTF-8).

#include "FuzzTarget.h"
#include "Registry.h"
#include "SanitizerDefaults.h"

#include <QCoreApplication>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_settings";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::size_t split = input.find('\xFF');
    const std::string_view file = input.substr(0, split);
    const std::string_view path =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

    const QString ini = fuzz::folder() + QStringLiteral("registry.ini");
    fuzz::writeFile(ini, file.data(), file.size());
    IniRegistryStore store(ini);
    SetRegistryStore(&store);
    TRegistry registry;
    registry.setRootKey(TRootKey::HKEY_LOCAL_MACHINE);
    const QString key = QStringLiteral("Software\\Cinaxo\\Configuration\\");
    if (registry.OpenKey(key, true)) {
        for (const char *value : {"MicroDVDPath", "BSPlayerPath", "MediaPlayerPath"}) {
            try {
                registry.ReadString(QString::fromLatin1(value));
            } catch (const ERegistryException &) {
            }
        }
        const QString written = QString::fromUtf8(path.data(), qsizetype(path.size()));
        bool stored = true;
        try {
            registry.WriteString(QStringLiteral("MicroDVDPath"), written);
        } catch (const ERegistryException &) {
            stored = false;
        }
        if (stored) {
            TRegistry again;
            again.setRootKey(TRootKey::HKEY_LOCAL_MACHINE);
            FUZZ_CHECK(again.OpenKey(key, false));
            const QString back = again.ReadString(QStringLiteral("MicroDVDPath"));
            if (back != written) {
                std::fprintf(stderr, "wrote [%s], read back [%s]\n", qPrintable(written), qPrintable(back));
                FUZZ_CHECK(back == written);
            }
        }
    }
    SetRegistryStore(nullptr);
    return 0;
}
