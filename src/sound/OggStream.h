// Ogg Vorbis decoded to 16-bit PCM, read in place from a loose data file or an
// archive member: every read and seek of the decoder stays inside the member.
#pragma once

#include "data/PackFile.h"
#include "sound/AudioStream.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

struct OggVorbis_File;

// The member window the decoder reads through. Positions are relative to the
// member's first byte.
struct OggDataSource {
    FileHandle file;
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    std::uint64_t position = 0;
};

// Finds a data file loose or in an archive and describes its window. False
// when nothing is found or the member cannot be read in place (stored with
// scrambling or compression, or reaching past the end of its archive).
bool OpenArchiveMember(OggDataSource& source, const std::string& path);

class COggStream final : public CAudioStream {
public:
    COggStream();
    ~COggStream() override;
    COggStream(const COggStream&) = delete;
    COggStream& operator=(const COggStream&) = delete;

    void Close() override;
    bool IsOpen() const override;
    bool Read(void* dst, std::uint32_t bytes, std::uint32_t* got) override;
    bool Seek(std::uint32_t sample) override;
    std::uint32_t Tell() override;
    bool IsEnd() const override { return end_.load(); }
    void GetFormat(platform::PcmFormat& out) const override { out = format_; }
    std::uint32_t GetTotalSamples() const override { return totalSamples_; }
    std::uint32_t GetLoopStart() const override { return 0; }
    std::uint32_t GetLoopEnd() const override { return GetTotalSamples(); }
    std::int32_t GetLoopCount() const override { return loopCount_.load(); }
    bool IsLong() const override { return GetTotalSamples() > 44100; }
    // n < -1 is refused.
    bool SetLoopCount(std::int32_t n);
    double GetTotalSeconds();
    double GetSeconds();

    // False if already open, if nothing is found, or if it is no Ogg Vorbis
    // stream the decoder can seek in.
    bool Open(const std::string& path);
    bool OpenHandle(OggDataSource source);

private:
    mutable std::mutex mutex_;  // the decoder is used by the worker and the main thread
    OggDataSource source_;
    std::unique_ptr<OggVorbis_File> decoder_;
    bool open_ = false;
    int bitstream_ = -1;
    platform::PcmFormat format_{};
    std::uint32_t totalSamples_ = 0;
    std::atomic<std::int32_t> loopCount_{0};
    std::atomic<bool> end_{false};
};
