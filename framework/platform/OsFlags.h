#pragma once
// What the program asks about the operating system it runs on: the platform and version of the
// system, and whether pop-up windows can be made translucent. Tests put a fake in its place.

constexpr int VER_PLATFORM_WIN32s = 0;
constexpr int VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr int VER_PLATFORM_WIN32_NT = 2;

struct TOSVersionInfo
{
    int PlatformId = VER_PLATFORM_WIN32_NT;
    int MajorVersion = 10;
    int MinorVersion = 0;
};

class IOsFlags
{
public:
    virtual ~IOsFlags() = default;
    virtual TOSVersionInfo Version() const = 0;
    // The system offers layered windows with a constant opacity.
    virtual bool LayeredWindowsAvailable() const = 0;
};

IOsFlags &OsFlags();
void SetOsFlags(IOsFlags *flags);

// A current NT-class system, version 10.0; window opacity wherever the window system takes it.
class RealOsFlags : public IOsFlags
{
public:
    TOSVersionInfo Version() const override { return {}; }
    bool LayeredWindowsAvailable() const override;
};
