#include "OsFlags.h"

#include <QGuiApplication>

namespace {
IOsFlags *g_flags = nullptr;
} // namespace

IOsFlags &OsFlags()
{
    static RealOsFlags real;
    return g_flags ? *g_flags : real;
}

void SetOsFlags(IOsFlags *flags)
{
    g_flags = flags;
}

bool RealOsFlags::LayeredWindowsAvailable() const
{
    // The window systems without a screen keep the opacity but never show it.
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}
