#include "sound/sound_output.h"

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
    device = alDevice;
    context = alContext;
}

SoundOutput::~SoundOutput() {
    if (!context) return;
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(static_cast<ALCcontext*>(context));
    alcCloseDevice(static_cast<ALCdevice*>(device));
}

void SoundOutput::Register(CSound* player) {
    std::scoped_lock lock(callLock);
    players.push_back(player);
}

void SoundOutput::Unregister(CSound* player) {
    std::scoped_lock lock(dispatchLock, callLock);
    players.erase(std::remove(players.begin(), players.end(), player), players.end());
}

void SoundOutput::WakeSoundThread() {
    {
        std::scoped_lock lock(wakeLock);
        ++wakeCount;
    }
    wake.notify_all();
}

std::uint64_t SoundOutput::WakeCount() {
    std::scoped_lock lock(wakeLock);
    return wakeCount;
}

void SoundOutput::WaitForWake(std::uint64_t seen, std::chrono::milliseconds timeout) {
    std::unique_lock lock(wakeLock);
    wake.wait_for(lock, timeout, [&] { return wakeCount != seen; });
}

void SoundOutput::WaitForWake(std::uint64_t seen) {
    std::unique_lock lock(wakeLock);
    wake.wait(lock, [&] { return wakeCount != seen; });
}

bool SoundOutput::ReleaseEndedPlays() {
    std::scoped_lock dispatch(dispatchLock);
    bool anyGoing = false;
    ended.clear();
    {
        std::scoped_lock lock(callLock);
        for (CSound* player : players)
            anyGoing |= player->CollectEndedPlays(ended);
    }
    // Called without CallLock, so that a player may play again from its own notice.
    for (CSound* player : ended)
        player->OnPlayDone();
    return anyGoing;
}
