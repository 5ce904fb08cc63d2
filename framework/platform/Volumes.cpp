#include "Volumes.h"

#include <QDir>
#include <QStorageInfo>

namespace {
IVolumes *g_volumes = nullptr;
}

IVolumes &Volumes()
{
    static RealVolumes real;
    return g_volumes ? *g_volumes : real;
}

void SetVolumes(IVolumes *volumes)
{
    g_volumes = volumes;
}

std::vector<MountedVolume> RealVolumes::MountedVolumes()
{
    std::vector<MountedVolume> volumes;
    const QString listed = qEnvironmentVariable("CINAXO_TEST_VOLUMES");
    if (!listed.isEmpty()) {
        for (const QString &root : listed.split(QLatin1Char(':'), Qt::SkipEmptyParts))
            volumes.push_back({QDir::cleanPath(root), QDir(root).dirName()});
        return volumes;
    }
    for (const QStorageInfo &storage : QStorageInfo::mountedVolumes()) {
        if (!storage.isValid() || !storage.isReady())
            continue;
        MountedVolume volume{storage.rootPath(), storage.name()};
        if (volume.name.isEmpty())
            volume.name = QDir(volume.rootPath).dirName();
        volumes.push_back(volume);
    }
    return volumes;
}
