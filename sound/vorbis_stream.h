#pragma once

#include <cstdint>
#include <memory>
#include <span>

/// One Ogg Vorbis piece read from bytes in memory, decoded a little at a time into 16-bit
/// samples and played round and round: the piece's end is followed at once by its start.
///
/// Threads: one thread at a time (the sound thread once playing). Ownership: the stream reads
/// the bytes it was given in place; they must outlive it.

class VorbisStream {
public:
    /// The stream of the piece in `bytes`; null when they are not an Ogg Vorbis stream of one
    /// or two channels.
    static std::unique_ptr<VorbisStream> Open(std::span<const unsigned char> bytes);
    VorbisStream(const VorbisStream&) = delete;
    VorbisStream& operator=(const VorbisStream&) = delete;
    ~VorbisStream();

    /// 1 mono, 2 stereo.
    int Channels() const { return channels_; }
    /// Frames per second.
    int Rate() const { return rate_; }
    /// Frames of the whole piece, once round.
    std::int64_t Frames() const { return frames_; }

    /// Fills `out` (interleaved, whole frames) with the next samples, going back to the
    /// piece's start at its end. False when the data cannot be decoded any further; `out` is
    /// then not to be played.
    bool Read(std::span<std::int16_t> out);

private:
    struct Decoder;
    explicit VorbisStream(std::unique_ptr<Decoder> decoder);
    bool Rewind();

    std::unique_ptr<Decoder> decoder_;
    int channels_ = 0;
    int rate_ = 0;
    std::int64_t frames_ = 0;
};
