// A 3-second looping output buffer cut into 16 blocks, refilled from a PCM
// stream by its own worker thread as play passes the end of each block.
#pragma once

#include "platform/Audio.h"
#include "sound/AudioStream.h"
#include "sound/SoundBuffer.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class CSoundDevice;

class CDSoundStreamBuffer final : public CDSoundBuffer {
public:
    static constexpr std::uint32_t kBlocks = 16;
    // Blocks decoded ahead of play; the sixteenth is the one being played.
    static constexpr std::int32_t kBlocksAhead = 15;

    CDSoundStreamBuffer() = default;
    // Stops the sound and ends and joins the worker.
    ~CDSoundStreamBuffer() override;
    CDSoundStreamBuffer(const CDSoundStreamBuffer&) = delete;
    CDSoundStreamBuffer& operator=(const CDSoundStreamBuffer&) = delete;

    // Makes the output buffer for `reader`'s format and starts the worker. The
    // reader is not owned and must outlive this buffer. A second call replaces
    // the first buffer and its worker.
    bool Create(const CSoundDevice& device, CAudioStream* reader);

    bool Play() override;
    bool Stop() override;
    bool IsPlaying() override;
    bool SetVolume(std::int32_t hundredthsDb) override;
    bool GetVolume(std::int32_t& out) override;
    bool IsCreated() override;

    std::uint32_t GetBlockBytes() const { return blockBytes_; }

private:
    bool FillBlock();
    void StreamLoop();
    void EndWorker();
    // Goes back to the loop start; false when the stream has nothing to give.
    bool RestartLoop();

    std::mutex lock_;  // guards everything below and every call on buffer_
    CAudioStream* reader_ = nullptr;
    std::unique_ptr<platform::AudioBuffer> buffer_;
    std::shared_ptr<platform::AudioNotifier> notifier_;
    std::thread worker_;
    platform::PcmFormat format_{};
    std::uint32_t bufferBytes_ = 0;
    std::uint32_t blockBytes_ = 0;
    std::uint32_t writeOffset_ = 0;
    // Byte counts of the stream (samples times the block align).
    std::uint64_t position_ = 0;
    std::uint64_t loopStart_ = 0;
    std::uint64_t loopEnd_ = 0;
    std::uint64_t end_ = 0;
    std::uint64_t readSinceRestart_ = 0;
    std::int32_t loopCount_ = 0;
    std::int32_t blocksQueued_ = 0;
};
