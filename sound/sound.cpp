#include "sound/sound.h"

#include "sound/sound_output.h"

#include <AL/al.h>
#include <algorithm>

#include <type_traits>

static_assert(std::is_same_v<ALuint, unsigned int>, "sources and buffers are kept as unsigned int");

CSound::CSound(std::span<const unsigned char> wave) {
    std::optional<WaveSamples> samples = ReadWave(wave);
    if (!samples || samples->data.empty()) return;
    format = samples->format;
    dataLength = static_cast<std::uint32_t>(samples->data.size());
    std::shared_ptr<SoundOutput> shared = SoundOutput::Acquire();
    if (!shared->IsOpen()) return;
    output = std::move(shared);
    if (!LoadSamples(*samples)) {
        output.reset();
        return;
    }
    output->Register(this);
}

bool CSound::LoadSamples(const WaveSamples& samples) {
    std::scoped_lock lock(output->CallLock());
    alGetError();
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) return false;
    ALenum alFormat = format.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    alBufferData(buffer, alFormat, samples.data.data(), static_cast<ALsizei>(samples.data.size()),
                 static_cast<ALsizei>(format.samplesPerSecond));
    if (alGetError() == AL_NO_ERROR) return true;
    alDeleteBuffers(1, &buffer);
    buffer = 0;
    return false;
}

CSound::~CSound() {
    if (!output) return;
    output->Unregister(this);
    std::scoped_lock lock(output->CallLock());
    for (const LivePlay& play : plays) {
        alSourceStop(play.source);
        alDeleteSources(1, &play.source);
    }
    plays.clear();
    alDeleteBuffers(1, &buffer);
}

int CSound::PlaysGoing() const {
    if (!output) return 0;
    std::scoped_lock lock(output->CallLock());
    return static_cast<int>(plays.size());
}

float CSound::Gain() const {
    return static_cast<float>(volume & 0xFFFFu) / static_cast<float>(kFullVolume);
}

const CSound::LivePlay* CSound::FindNewestPlay() const {
    if (newestPlay == 0 || plays.empty() || plays.back().number != newestPlay) return nullptr;
    return &plays.back();
}

void CSound::SetVolume(std::uint32_t level) {
    if (!output) {
        volume = level;
        return;
    }
    std::scoped_lock lock(output->CallLock());
    volume = level;
    if (const LivePlay* newest = FindNewestPlay()) alSourcef(newest->source, AL_GAIN, Gain());
}

void CSound::Play() {
    if (!output) return;
    {
        std::scoped_lock lock(output->CallLock());
        alGetError();
        ALuint source = 0;
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR) return;  // out of sources: this play is dropped
        alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
        alSourcef(source, AL_GAIN, Gain());
        alSourcePlay(source);
        if (alGetError() != AL_NO_ERROR) {
            alDeleteSources(1, &source);
            return;
        }
        plays.push_back({++playsStarted, source});
        newestPlay = playsStarted;
    }
    output->WakeSoundThread();
}

void CSound::Stop() {
    if (!output) return;
    std::scoped_lock lock(output->CallLock());
    // The stopped source reports itself ended; the sound thread releases it like any other.
    if (const LivePlay* newest = FindNewestPlay()) alSourceStop(newest->source);
    newestPlay = 0;
}

void CSound::OnPlayDone() {
    if (!output) return;
    std::scoped_lock lock(output->CallLock());
    if (!FindNewestPlay()) newestPlay = 0;
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
    plays.erase(std::remove_if(plays.begin(), plays.end(), hasEnded), plays.end());
    return !plays.empty();
}
