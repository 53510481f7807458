#include "sound/sound_effects.h"

#include "resources/resources.h"

std::span<const unsigned char> SoundResource(const char* type, int id) {
    std::optional<ResourceBytes> bytes = FindResource(type, id);
    if (!bytes || !bytes->data) return {};
    return {bytes->data, bytes->size};
}

SoundEffects::SoundEffects()
    : ChargeSound(SoundResource("WAVE", kChargeSoundId)),
      FallSound(SoundResource("WAVE", kFallSoundId)),
      Music(SoundResource("MUSIC", kMusicId)) {}
