#include "sound/sound.h"

#include "sound/sound_output.h"

#include <AL/al.h>
#include <algorithm>

#include <type_traits>

static_assert(std::is_same_v<ALuint, unsigned int>, "sources and buffers are kept as unsigned int");

CSound::CSound(std::span<const unsigned char> wave) {
    std::optional<WaveSamples> samples = ReadWave(wave);
    if (!samples || samples->data.empty()) return;
    format_ = samples->format;
    dataLength_ = static_cast<std::uint32_t>(samples->data.size());
    std::shared_ptr<SoundOutput> shared = SoundOutput::Acquire();
    if (!shared->IsOpen()) return;
    output_ = std::move(shared);
    if (!LoadSamples(*samples)) {
        output_.reset();
        return;
    }
    output_->Register(this);
}

bool CSound::LoadSamples(const WaveSamples& samples) {
    std::scoped_lock lock(output_->CallLock());
    alGetError();
    alGenBuffers(1, &buffer_);
    if (alGetError() != AL_NO_ERROR) return false;
    ALenum alFormat = format_.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    alBufferData(buffer_, alFormat, samples.data.data(), static_cast<ALsizei>(samples.data.size()),
                 static_cast<ALsizei>(format_.samplesPerSecond));
    if (alGetError() == AL_NO_ERROR) return true;
    alDeleteBuffers(1, &buffer_);
    buffer_ = 0;
    return false;
}

CSound::~CSound() {
    if (!output_) return;
    output_->Unregister(this);
    std::scoped_lock lock(output_->CallLock());
    for (const LivePlay& play : plays_) {
        alSourceStop(play.source);
        alDeleteSources(1, &play.source);
    }
    plays_.clear();
    alDeleteBuffers(1, &buffer_);
}

int CSound::PlaysGoing() const {
    if (!output_) return 0;
    std::scoped_lock lock(output_->CallLock());
    return static_cast<int>(plays_.size());
}

float CSound::Gain() const {
    return static_cast<float>(volume_ & 0xFFFFu) / static_cast<float>(kFullVolume);
}

const CSound::LivePlay* CSound::FindNewestPlay() const {
    if (newestPlay_ == 0 || plays_.empty() || plays_.back().number != newestPlay_) return nullptr;
    return &plays_.back();
}

void CSound::SetVolume(std::uint32_t level) {
    if (!output_) {
        volume_ = level;
        return;
    }
    std::scoped_lock lock(output_->CallLock());
    volume_ = level;
    if (const LivePlay* newest = FindNewestPlay()) alSourcef(newest->source, AL_GAIN, Gain());
}

void CSound::Play() {
    if (!output_) return;
    {
        std::scoped_lock lock(output_->CallLock());
        alGetError();
        ALuint source = 0;
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR) return;  // out of sources: this play is dropped
        alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer_));
        alSourcef(source, AL_GAIN, Gain());
        alSourcePlay(source);
        if (alGetError() != AL_NO_ERROR) {
            alDeleteSources(1, &source);
            return;
        }
        plays_.push_back({++playsStarted_, source});
        newestPlay_ = playsStarted_;
    }
    output_->WakeSoundThread();
}

void CSound::Stop() {
    if (!output_) return;
    std::scoped_lock lock(output_->CallLock());
    // The stopped source reports itself ended; the sound thread releases it like any other.
    if (const LivePlay* newest = FindNewestPlay()) alSourceStop(newest->source);
    newestPlay_ = 0;
}

void CSound::OnPlayDone() {
    if (!output_) return;
    std::scoped_lock lock(output_->CallLock());
    if (!FindNewestPlay()) newestPlay_ = 0;
}

bool CSound::CollectEndedPlays(std::vector<CSound*>& ended) {
    auto hasEnded = [&](const LivePlay& play) {
        ALint state = AL_STOPPED;
        alGetSourcei(play.source, AL_SOURCE_STATE, &state);
        if (state != AL_STOPPED) return false;
        alDeleteSources(1, &play.source);
        ended.push_back(this);
        return true;
    };
    plays_.erase(std::remove_if(plays_.begin(), plays_.end(), hasEnded), plays_.end());
    return !plays_.empty();
}
