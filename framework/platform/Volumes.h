#pragma once
// The volumes mounted on this machine. Every call asks afresh, so a disc put in a moment ago is seen;
// tests put a fake in its place.

#include <QString>
#include <vector>

struct MountedVolume
{
    // The mount point, "/" for the root volume.
    QString rootPath;
    // The volume's label; the mount point's last folder when it has none.
    QString name;
};

class IVolumes
{
public:
    virtual ~IVolumes() = default;
    virtual std::vector<MountedVolume> MountedVolumes() = 0;
};

IVolumes &Volumes();
// Installs `volumes` (not owned) until it is reset with nullptr.
void SetVolumes(IVolumes *volumes);

// The ready volumes that QStorageInfo lists. When CINAXO_TEST_VOLUMES is set (only the end-to-end
// tests set it), its folders, separated by ':', pose as the mounted volumes instead, each named after
// its last folder.
class RealVolumes : public IVolumes
{
public:
    std::vector<MountedVolume> MountedVolumes() override;
};
