#include "sound/sound_effects.h"

#include "resources/resources.h"

std::span<const unsigned char> WaveResource(int id) {
    std::optional<ResourceBytes> bytes = FindResource("WAVE", id);
    if (!bytes || !bytes->data) return {};
    return {bytes->data, bytes->size};
}

SoundEffects::SoundEffects()
    : ChargeSound(WaveResource(kChargeSoundId)), FallSound(WaveResource(kFallSoundId)) {}
