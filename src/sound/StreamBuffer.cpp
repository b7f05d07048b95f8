#include "sound/StreamBuffer.h"

#include "data/Log.h"
#include "sound/SoundDevice.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <system_error>

CDSoundStreamBuffer::~CDSoundStreamBuffer() {
    EndWorker();
    std::lock_guard lock(lock_);
    buffer_.reset();
}

void CDSoundStreamBuffer::EndWorker() {
    {
        std::lock_guard lock(lock_);
        if (buffer_) buffer_->Stop();
    }
    if (notifier_) notifier_->Quit();
    if (worker_.joinable()) {
        if (worker_.get_id() == std::this_thread::get_id()) worker_.detach();
        else worker_.join();
    }
}

bool CDSoundStreamBuffer::Create(const CSoundDevice& device, CAudioStream* reader) {
    platform::AudioDevice* out = device.GetDirectSound();
    if (!out || !reader) return false;
    platform::PcmFormat format;
    reader->GetFormat(format);
    if (format.blockAlign == 0) return false;
    // 3/16 s, a whole number of sample frames.
    std::uint64_t block = (static_cast<std::uint64_t>(format.rate) * format.blockAlign * 3) >> 4;
    block = (block + format.blockAlign - 1) / format.blockAlign * format.blockAlign;
    if (block == 0 || block * kBlocks > UINT32_MAX / 2) return false;
    const auto blockBytes = static_cast<std::uint32_t>(block);
    const std::uint32_t bufferBytes = blockBytes * kBlocks;

    std::unique_ptr<platform::AudioBuffer> buffer = out->CreateBuffer(format, bufferBytes);
    if (!buffer) return false;
    auto notifier = std::make_shared<platform::AudioNotifier>();
    std::array<std::uint32_t, kBlocks> positions;
    for (std::uint32_t i = 0; i < kBlocks; ++i) positions[i] = blockBytes * (i + 1);
    if (!buffer->SetNotifications(positions, notifier)) return false;

    // A worker of an earlier Create must not outlive the buffer it served.
    EndWorker();
    {
        std::lock_guard lock(lock_);
        reader_ = reader;
        buffer_ = std::move(buffer);
        notifier_ = notifier;
        format_ = format;
        blockBytes_ = blockBytes;
        bufferBytes_ = bufferBytes;
        writeOffset_ = 0;
        position_ = 0;
        blocksQueued_ = 0;
    }
    notifier->BindConsumer();
    try {
        worker_ = std::thread([this, notifier] {
            while (notifier->Wait() == platform::AudioNotifier::Wake::Notified) StreamLoop();
        });
    } catch (const std::system_error&) {
        LogMessage("cannot start a sound worker");
        std::lock_guard lock(lock_);
        buffer_.reset();
        return false;
    }
    return true;
}

bool CDSoundStreamBuffer::Play() {
    std::lock_guard lock(lock_);
    if (!buffer_ || !reader_) return false;
    buffer_->Stop();
    buffer_->SetPosition(0);
    // Notifications of the sound before are not this one's.
    notifier_->ClearPending();
    reader_->Seek(0);
    writeOffset_ = 0;
    position_ = 0;
    readSinceRestart_ = 0;
    const std::uint64_t align = format_.blockAlign;
    loopStart_ = reader_->GetLoopStart() * align;
    loopEnd_ = reader_->GetLoopEnd() * align;
    end_ = reader_->GetTotalSamples() * align;
    loopCount_ = reader_->GetLoopCount();
    blocksQueued_ = 0;
    for (int i = 0; i < kBlocksAhead; ++i) FillBlock();
    // The last block is refilled before play reaches it; until then it must
    // hold nothing of an earlier sound.
    std::span<std::uint8_t> first, second;
    if (buffer_->Lock(writeOffset_, blockBytes_, first, second)) {
        std::memset(first.data(), format_.bitsPerSample == 8 ? 0x80 : 0, first.size());
        buffer_->Unlock();
    }
    return buffer_->Play(platform::PlayMode::Looping);
}

bool CDSoundStreamBuffer::Stop() {
    std::lock_guard lock(lock_);
    return buffer_ && buffer_->Stop();
}

bool CDSoundStreamBuffer::IsPlaying() {
    std::lock_guard lock(lock_);
    return buffer_ && buffer_->IsPlaying();
}

bool CDSoundStreamBuffer::SetVolume(std::int32_t hundredthsDb) {
    std::lock_guard lock(lock_);
    return buffer_ && buffer_->SetVolume(hundredthsDb);
}

bool CDSoundStreamBuffer::GetVolume(std::int32_t& out) {
    std::lock_guard lock(lock_);
    if (!buffer_) return false;
    out = buffer_->GetVolume();
    return true;
}

bool CDSoundStreamBuffer::IsCreated() {
    std::lock_guard lock(lock_);
    return buffer_ != nullptr;
}

bool CDSoundStreamBuffer::RestartLoop() {
    if (loopStart_ >= loopEnd_) {
        if (loopCount_ < 0) return false;
        loopCount_ = 0;
    }
    // A loop that gave nothing since its last start would give nothing again.
    if (readSinceRestart_ == 0 && position_ == loopStart_) {
        loopCount_ = 0;
        return false;
    }
    if (!reader_->Seek(static_cast<std::uint32_t>(loopStart_ / format_.blockAlign))) return false;
    position_ = loopStart_;
    readSinceRestart_ = 0;
    if (loopCount_ > 0) --loopCount_;
    return true;
}

bool CDSoundStreamBuffer::FillBlock() {
    std::span<std::uint8_t> first, second;
    if (!buffer_->Lock(writeOffset_, blockBytes_, first, second)) return false;
    std::uint32_t filled = 0;
    while (filled < blockBytes_) {
        if (loopCount_ != 0 && (position_ == loopEnd_ || reader_->IsEnd())) {
            if (!RestartLoop()) break;
        }
        const std::uint64_t limit = loopCount_ != 0 ? loopEnd_ : end_;
        const std::uint64_t n = std::min<std::uint64_t>(limit > position_ ? limit - position_ : 0,
                                                        blockBytes_ - filled);
        if (n == 0) break;
        if (loopCount_ == 0 && reader_->IsEnd()) break;
        std::uint32_t got = 0;
        if (!reader_->Read(first.data() + filled, static_cast<std::uint32_t>(n), &got)) break;
        filled += got;
        position_ += got;
        readSinceRestart_ += got;
        if (got == 0 && !reader_->IsEnd()) break;  // a stream that stalls gives nothing now
    }
    if (filled > 0) ++blocksQueued_;
    std::memset(first.data() + filled, format_.bitsPerSample == 8 ? 0x80 : 0, blockBytes_ - filled);
    writeOffset_ += blockBytes_;
    if (writeOffset_ >= bufferBytes_) writeOffset_ = 0;
    buffer_->Unlock();
    return true;
}

void CDSoundStreamBuffer::StreamLoop() {
    std::lock_guard lock(lock_);
    if (!buffer_) return;
    if (blocksQueued_ > 0) --blocksQueued_;
    // The last block with sound has played: a stream that decoded shorter than
    // it said it was ends here too.
    if (blocksQueued_ == 0 && loopCount_ == 0 && (position_ >= end_ || reader_->IsEnd())) buffer_->Stop();
    if (blocksQueued_ < kBlocksAhead) FillBlock();
}
