#pragma once
// A list of mounted volumes of a test's own, and how often it was asked.

#include "Volumes.h"

class FakeVolumes : public IVolumes
{
public:
    FakeVolumes() { SetVolumes(this); }
    ~FakeVolumes() override { SetVolumes(nullptr); }
    std::vector<MountedVolume> MountedVolumes() override
    {
        ++queries;
        return volumes;
    }
    std::vector<MountedVolume> volumes;
    int queries = 0;
};
