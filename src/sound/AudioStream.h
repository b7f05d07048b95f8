// A source of PCM for the streaming buffer: sequential reads, seeks by sample,
// and the loop settings the buffer follows.
#pragma once

#include "platform/Audio.h"

#include <cstdint>

class CAudioStream {
public:
    virtual ~CAudioStream() = default;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Reads up to `bytes`; fewer only at the end of the stream. `got` (if
    // given) receives the count. False when not open.
    virtual bool Read(void* dst, std::uint32_t bytes, std::uint32_t* got) = 0;
    // To a sample frame; clears the end flag.
    virtual bool Seek(std::uint32_t sample) = 0;
    virtual std::uint32_t Tell() = 0;
    virtual bool IsEnd() const = 0;
    virtual void GetFormat(platform::PcmFormat& out) const = 0;
    virtual std::uint32_t GetTotalSamples() const = 0;
    virtual std::uint32_t GetLoopStart() const = 0;
    virtual std::uint32_t GetLoopEnd() const = 0;
    // -1 endless, 0 once, n: n more times.
    virtual std::int32_t GetLoopCount() const = 0;
    virtual bool IsLong() const = 0;
};
