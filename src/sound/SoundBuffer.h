// What a channel plays its sound through.
#pragma once

#include <cstdint>

class CDSoundBuffer {
public:
    virtual ~CDSoundBuffer() = default;
    // Starts from the beginning.
    virtual bool Play() = 0;
    virtual bool Stop() = 0;
    virtual bool IsPlaying() = 0;
    // Hundredths of a decibel, platform::kVolumeSilent..kVolumeFull.
    virtual bool SetVolume(std::int32_t hundredthsDb) = 0;
    virtual bool GetVolume(std::int32_t& out) = 0;
    virtual bool IsCreated() = 0;
};
