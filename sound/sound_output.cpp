#include "sound/sound_output.h"

#include "sound/music.h"
#include "sound/sound.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <algorithm>

namespace {

std::mutex sharedLock;
std::weak_ptr<SoundOutput> shared;  ///< guarded by sharedLock

}  // namespace

std::shared_ptr<SoundOutput> SoundOutput::Acquire() {
    std::scoped_lock lock(sharedLock);
    std::shared_ptr<SoundOutput> output = shared.lock();
    if (!output) {
        output.reset(new SoundOutput());
        shared = output;
    }
    return output;
}

SoundOutput::SoundOutput() {
    // The system's default device; none on a machine without sound, and then the game is silent.
    ALCdevice* alDevice = alcOpenDevice(nullptr);
    if (!alDevice) return;
    ALCcontext* alContext = alcCreateContext(alDevice, nullptr);
    if (!alContext || !alcMakeContextCurrent(alContext)) {
        if (alContext) alcDestroyContext(alContext);
        alcCloseDevice(alDevice);
        return;
    }
    device_ = alDevice;
    context_ = alContext;
}

SoundOutput::~SoundOutput() {
    if (!context_) return;
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(static_cast<ALCcontext*>(context_));
    alcCloseDevice(static_cast<ALCdevice*>(device_));
}

void SoundOutput::Register(CSound* player) {
    std::scoped_lock lock(callLock_);
    players_.push_back(player);
}

void SoundOutput::Unregister(CSound* player) {
    std::scoped_lock lock(dispatchLock_, callLock_);
    players_.erase(std::remove(players_.begin(), players_.end(), player), players_.end());
}

void SoundOutput::WakeSoundThread() {
    {
        std::scoped_lock lock(wakeLock_);
        ++wakeCount_;
    }
    wake_.notify_all();
}

std::uint64_t SoundOutput::WakeCount() {
    std::scoped_lock lock(wakeLock_);
    return wakeCount_;
}

void SoundOutput::WaitForWake(std::uint64_t seen, std::chrono::milliseconds timeout) {
    std::unique_lock lock(wakeLock_);
    wake_.wait_for(lock, timeout, [&] { return wakeCount_ != seen; });
}

void SoundOutput::WaitForWake(std::uint64_t seen) {
    std::unique_lock lock(wakeLock_);
    wake_.wait(lock, [&] { return wakeCount_ != seen; });
}

bool SoundOutput::ReleaseEndedPlays() {
    std::scoped_lock dispatch(dispatchLock_);
    bool anyGoing = false;
    ended_.clear();
    {
        std::scoped_lock lock(callLock_);
        for (CSound* player : players_)
            anyGoing |= player->CollectEndedPlays(ended_);
    }
    // Called without CallLock, so that a player may play again from its own notice.
    for (CSound* player : ended_)
        player->OnPlayDone();
    return anyGoing;
}

void SoundOutput::SetMusic(CMusic* music) {
    std::scoped_lock lock(dispatchLock_);
    music_ = music;
}

bool SoundOutput::FeedMusic() {
    std::scoped_lock lock(dispatchLock_);
    return music_ != nullptr && music_->Feed();
}
