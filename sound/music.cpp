#include "sound/music.h"

#include "sound/sound_output.h"
#include "sound/vorbis_stream.h"

#include <AL/al.h>
#include <cstdio>

namespace {

void ReportUndecodable() {
    std::fprintf(stderr, "brivel: the music cannot be decoded; the game plays on without it\n");
}

}  // namespace

CMusic::CMusic(std::span<const unsigned char> ogg) {
    std::shared_ptr<SoundOutput> shared = SoundOutput::Acquire();
    if (!shared->IsOpen()) return;  // no device: silent, as the effects are
    output_ = std::move(shared);
    stream_ = VorbisStream::Open(ogg);
    if (!stream_) {
        ReportUndecodable();
        return;
    }
    if (!CreateSource()) {
        stream_.reset();
        return;
    }
    samples_.resize(static_cast<std::size_t>(kMusicFramesPerBuffer * stream_->Channels()));
    output_->SetMusic(this);
}

bool CMusic::CreateSource() {
    std::scoped_lock lock(output_->CallLock());
    alGetError();
    alGenSources(1, &source_);
    if (alGetError() != AL_NO_ERROR) return false;
    alGenBuffers(kMusicBuffers, buffers_.data());
    if (alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &source_);
        return false;
    }
    // The music sits at the listener: no distance or direction changes its level.
    alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(source_, AL_GAIN, 0);
    idle_.assign(buffers_.begin(), buffers_.end());
    return true;
}

CMusic::~CMusic() {
    if (!stream_) return;
    output_->SetMusic(nullptr);  // waits while the sound thread feeds
    std::scoped_lock lock(output_->CallLock());
    alSourceStop(source_);
    alSourcei(source_, AL_BUFFER, 0);
    alDeleteSources(1, &source_);
    alDeleteBuffers(kMusicBuffers, buffers_.data());
}

void CMusic::SetLevel(double level) {
    level_ = level;
    if (stream_) output_->WakeSoundThread();
}

bool CMusic::Feed() {
    if (!stream_ || failed_) return false;
    double level = level_;
    if (level <= 0) {
        if (playing_) StopAndEmpty();
        return false;
    }
    ReclaimPlayedBuffers(static_cast<float>(level));
    while (!idle_.empty()) {
        if (!QueueNext(idle_.back())) {
            GiveUp();
            return false;
        }
        idle_.pop_back();
    }
    KeepPlaying();
    return true;
}

void CMusic::ReclaimPlayedBuffers(float gain) {
    std::scoped_lock lock(output_->CallLock());
    alSourcef(source_, AL_GAIN, gain);
    ALint processed = 0;
    alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0; --processed) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source_, 1, &buffer);
        idle_.push_back(buffer);
    }
}

void CMusic::KeepPlaying() {
    std::scoped_lock lock(output_->CallLock());
    ALint state = AL_STOPPED;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    // The first start, or a queue that ran dry while the machine was busy.
    if (state != AL_PLAYING) alSourcePlay(source_);
    playing_ = true;
}

bool CMusic::QueueNext(unsigned int buffer) {
    if (!stream_->Read(samples_)) return false;
    ALenum format = stream_->Channels() == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    std::scoped_lock lock(output_->CallLock());
    alBufferData(buffer, format, samples_.data(),
                 static_cast<ALsizei>(samples_.size() * sizeof(std::int16_t)), stream_->Rate());
    alSourceQueueBuffers(source_, 1, &buffer);
    return true;
}

void CMusic::StopAndEmpty() {
    std::scoped_lock lock(output_->CallLock());
    // A stopped source has played all its buffers; taking the queue away gives them all back.
    alSourceStop(source_);
    alSourcei(source_, AL_BUFFER, 0);
    idle_.assign(buffers_.begin(), buffers_.end());
    playing_ = false;
}

void CMusic::GiveUp() {
    ReportUndecodable();
    StopAndEmpty();
    level_ = 0;
    failed_ = true;
}
