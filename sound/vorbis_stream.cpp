#include "sound/vorbis_stream.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>

namespace {

/// The bytes being read and the reader's place in them.
struct MemoryFile {
    std::span<const unsigned char> bytes;
    std::size_t position = 0;
};

size_t ReadMemory(void* out, size_t size, size_t count, void* source) {
    auto* file = static_cast<MemoryFile*>(source);
    if (size == 0) return 0;
    std::size_t items = std::min(count, (file->bytes.size() - file->position) / size);
    if (items == 0) return 0;  // an empty piece has no bytes to copy from at all
    std::memcpy(out, file->bytes.data() + file->position, items * size);
    file->position += items * size;
    return items;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence) {
    auto* file = static_cast<MemoryFile*>(source);
    auto size = static_cast<ogg_int64_t>(file->bytes.size());
    ogg_int64_t base = whence == SEEK_SET   ? 0
                       : whence == SEEK_CUR ? static_cast<ogg_int64_t>(file->position)
                                            : size;
    ogg_int64_t target = base + offset;
    if (target < 0 || target > size) return -1;
    file->position = static_cast<std::size_t>(target);
    return 0;
}

long TellMemory(void* source) {
    return static_cast<long>(static_cast<MemoryFile*>(source)->position);
}

// The decoder's end of each sample in memory: little-endian 16-bit, signed.
constexpr int kLittleEndian = 0;
constexpr int kSixteenBits = 2;
constexpr int kSigned = 1;

}  // namespace

struct VorbisStream::Decoder {
    MemoryFile file;
    OggVorbis_File vorbis{};
    bool open = false;
    ~Decoder() {
        if (open) ov_clear(&vorbis);
    }
};

std::unique_ptr<VorbisStream> VorbisStream::Open(std::span<const unsigned char> bytes) {
    auto decoder = std::make_unique<Decoder>();
    decoder->file.bytes = bytes;
    // Closing is ov_clear's alone; the bytes are not the library's to close.
    ov_callbacks callbacks{ReadMemory, SeekMemory, nullptr, TellMemory};
    if (ov_open_callbacks(&decoder->file, &decoder->vorbis, nullptr, 0, callbacks) != 0) {
        return nullptr;
    }
    decoder->open = true;
    const vorbis_info* info = ov_info(&decoder->vorbis, -1);
    if (info == nullptr || info->channels < 1 || info->channels > 2 || info->rate <= 0) {
        return nullptr;
    }
    auto stream = std::unique_ptr<VorbisStream>(new VorbisStream(std::move(decoder)));
    stream->channels_ = info->channels;
    stream->rate_ = static_cast<int>(info->rate);
    stream->frames_ = ov_pcm_total(&stream->decoder_->vorbis, -1);
    if (stream->frames_ <= 0) return nullptr;
    return stream;
}

VorbisStream::VorbisStream(std::unique_ptr<Decoder> decoder) : decoder_(std::move(decoder)) {}

VorbisStream::~VorbisStream() = default;

bool VorbisStream::Read(std::span<std::int16_t> out) {
    auto* bytes = reinterpret_cast<char*>(out.data());
    std::size_t wanted = out.size() * sizeof(std::int16_t);
    std::size_t filled = 0;
    bool rewoundWithoutSamples = false;
    while (filled < wanted) {
        int section = 0;
        long got = ov_read(&decoder_->vorbis, bytes + filled, static_cast<int>(wanted - filled),
                           kLittleEndian, kSixteenBits, kSigned, &section);
        if (got == OV_HOLE) continue;  // a gap in the data: decoding goes on after it
        if (got < 0) return false;
        if (got == 0) {
            // The end: the start follows without a gap. A piece with no samples at all would
            // go round for ever.
            if (rewoundWithoutSamples || !Rewind()) return false;
            rewoundWithoutSamples = true;
            continue;
        }
        rewoundWithoutSamples = false;
        filled += static_cast<std::size_t>(got);
    }
    return true;
}

bool VorbisStream::Rewind() {
    return ov_pcm_seek(&decoder_->vorbis, 0) == 0;
}
