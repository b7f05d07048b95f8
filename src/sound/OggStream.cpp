#include "sound/OggStream.h"

#include "data/Log.h"

#include <vorbis/vorbisfile.h>

#include <climits>
#include <cstdio>

namespace {

// libvorbisfile's data source: the member window of an open file. A read never
// passes the member's end, whatever the file holds after it.
std::size_t ArchiveOggRead(void* buf, std::size_t size, std::size_t count, void* data) {
    auto* src = static_cast<OggDataSource*>(data);
    if (!src->file || size == 0 || count == 0) return 0;
    if (count > SIZE_MAX / size) count = SIZE_MAX / size;
    const std::uint64_t avail = src->position < src->size ? src->size - src->position : 0;
    const std::uint64_t want = std::min<std::uint64_t>(static_cast<std::uint64_t>(size) * count, avail);
    if (want == 0) return 0;
    if (std::fseek(src->file.get(), static_cast<long>(src->offset + src->position), SEEK_SET) != 0) return 0;
    const std::size_t got = std::fread(buf, 1, static_cast<std::size_t>(want), src->file.get());
    src->position += got;
    return got / size;
}

int ArchiveOggSeek(void* data, ogg_int64_t offset, int whence) {
    auto* src = static_cast<OggDataSource*>(data);
    if (!src->file) return -1;
    ogg_int64_t base = 0;
    switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = static_cast<ogg_int64_t>(src->position); break;
    case SEEK_END: base = src->size; break;
    default: return -1;
    }
    if (offset < -base || offset > INT64_MAX / 2) return -1;
    src->position = static_cast<std::uint64_t>(base + offset);
    return 0;
}

int ArchiveOggClose(void* data) {
    auto* src = static_cast<OggDataSource*>(data);
    src->file.reset();
    src->offset = src->size = 0;
    src->position = 0;
    return 0;
}

long ArchiveOggTell(void* data) {
    auto* src = static_cast<OggDataSource*>(data);
    return static_cast<long>(src->position);
}

const ov_callbacks g_archiveOggCallbacks = {ArchiveOggRead, ArchiveOggSeek, ArchiveOggClose,
                                            ArchiveOggTell};

// Holes in a stream are skipped; this many in a row mean there is nothing left.
constexpr int kMaxHoles = 64;

}  // namespace

bool OpenArchiveMember(OggDataSource& source, const std::string& path) {
    source = OggDataSource{};
    ArchiveEntry entry;
    FileHandle f = FindArchiveMember(path, entry);
    if (!f) return false;
    if (entry.flags != 0) {
        LogMessage("%s is stored packed in its archive; sounds must be stored plain", path.c_str());
        return false;
    }
    if (std::fseek(f.get(), 0, SEEK_END) != 0) return false;
    const long fileSize = std::ftell(f.get());
    const std::uint32_t size = std::min(entry.allocSize, entry.storedSize);
    if (fileSize < 0 || static_cast<std::uint64_t>(entry.offset) + size > static_cast<std::uint64_t>(fileSize)) {
        LogMessage("%s reaches past the end of its archive", path.c_str());
        return false;
    }
    source.file = std::move(f);
    source.offset = entry.offset;
    source.size = size;
    return true;
}

COggStream::COggStream() : decoder_(std::make_unique<OggVorbis_File>()) {}

COggStream::~COggStream() { Close(); }

void COggStream::Close() {
    std::lock_guard lock(mutex_);
    if (!open_) return;
    ov_clear(decoder_.get());  // closes the file through the close callback
    open_ = false;
    source_ = OggDataSource{};
}

bool COggStream::IsOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

bool COggStream::Open(const std::string& path) {
    if (IsOpen()) return false;
    OggDataSource source;
    if (!OpenArchiveMember(source, path)) return false;
    return OpenHandle(std::move(source));
}

bool COggStream::OpenHandle(OggDataSource source) {
    std::lock_guard lock(mutex_);
    if (open_ || !source.file) return false;
    source_ = std::move(source);
    if (ov_open_callbacks(&source_, decoder_.get(), nullptr, 0, g_archiveOggCallbacks) < 0) {
        source_ = OggDataSource{};
        return false;
    }
    if (!ov_seekable(decoder_.get())) {
        ov_clear(decoder_.get());
        source_ = OggDataSource{};
        return false;
    }
    const vorbis_info* info = ov_info(decoder_.get(), -1);
    const ogg_int64_t total = ov_pcm_total(decoder_.get(), -1);
    if (!info || info->channels < 1 || info->channels > 255 || info->rate < 1 || info->rate > 1000000 ||
        total < 0) {
        ov_clear(decoder_.get());
        source_ = OggDataSource{};
        return false;
    }
    const auto channels = static_cast<std::uint16_t>(info->channels);
    format_.channels = channels;
    format_.rate = static_cast<std::uint32_t>(info->rate);
    format_.bytesPerSecond = format_.rate * channels * 2;
    format_.blockAlign = static_cast<std::uint16_t>(channels * 2);
    format_.bitsPerSample = 16;
    totalSamples_ = static_cast<std::uint32_t>(std::min<ogg_int64_t>(total, UINT32_MAX));
    bitstream_ = -1;
    end_ = false;
    open_ = true;
    return true;
}

bool COggStream::Read(void* dst, std::uint32_t bytes, std::uint32_t* got) {
    std::lock_guard lock(mutex_);
    if (!open_) return false;
    auto* out = static_cast<char*>(dst);
    std::uint32_t remaining = bytes;
    int holes = 0;
    while (remaining > 0) {
        int bitstream = 0;
        const long r = ov_read(decoder_.get(), out, static_cast<int>(std::min<std::uint32_t>(remaining, INT_MAX)),
                               0, 2, 1, &bitstream);
        if (r == OV_HOLE && ++holes < kMaxHoles) continue;  // a gap in the data: go past it
        if (r < 1) {
            end_ = true;
            break;
        }
        if (bitstream != bitstream_) {
            // A chained stream whose next link has another layout cannot be
            // played as this one: it ends here.
            const vorbis_info* info = ov_info(decoder_.get(), bitstream);
            if (bitstream_ != -1 &&
                (!info || info->channels != format_.channels || info->rate != static_cast<long>(format_.rate))) {
                end_ = true;
                break;
            }
            bitstream_ = bitstream;
        }
        holes = 0;
        remaining -= static_cast<std::uint32_t>(r);
        out += r;
    }
    if (got) *got = bytes - remaining;
    return true;
}

bool COggStream::Seek(std::uint32_t sample) {
    std::lock_guard lock(mutex_);
    if (!open_) return false;
    if (ov_pcm_seek(decoder_.get(), sample) != 0) return false;
    end_ = false;
    return true;
}

std::uint32_t COggStream::Tell() {
    std::lock_guard lock(mutex_);
    if (!open_) return 0;
    const ogg_int64_t t = ov_pcm_tell(decoder_.get());
    return t < 0 ? 0 : static_cast<std::uint32_t>(std::min<ogg_int64_t>(t, UINT32_MAX));
}

bool COggStream::SetLoopCount(std::int32_t n) {
    if (n < -1) return false;
    loopCount_ = n;
    return true;
}

double COggStream::GetTotalSeconds() {
    std::lock_guard lock(mutex_);
    return open_ ? ov_time_total(decoder_.get(), -1) : 0.0;
}

double COggStream::GetSeconds() {
    std::lock_guard lock(mutex_);
    return open_ ? ov_time_tell(decoder_.get()) : 0.0;
}
