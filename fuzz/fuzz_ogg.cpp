// The Ogg reader over arbitrary bytes lying inside a member window: opening,
// reading to the end and seeking back must never read outside the window or
// crash, whatever the bytes.
#include "sound/OggStream.h"

#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Junk on both sides of the member, as in an archive.
    std::FILE* f = std::tmpfile();
    if (!f) return 0;
    const std::vector<std::uint8_t> junk(64, 0x4F);
    std::fwrite(junk.data(), 1, junk.size(), f);
    std::fwrite(data, 1, size, f);
    std::fwrite(junk.data(), 1, junk.size(), f);
    OggDataSource source;
    source.file.reset(f);
    source.offset = static_cast<std::uint32_t>(junk.size());
    source.size = static_cast<std::uint32_t>(size);
    COggStream s;
    if (!s.OpenHandle(std::move(source))) return 0;
    std::vector<std::uint8_t> pcm(16384);
    for (int i = 0; i < 256 && !s.IsEnd(); ++i) s.Read(pcm.data(), static_cast<std::uint32_t>(pcm.size()), nullptr);
    s.Seek(0);
    s.Read(pcm.data(), 4096, nullptr);
    return 0;
}
