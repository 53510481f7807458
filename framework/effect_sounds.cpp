#include "framework/effect_sounds.h"

namespace {

class SilentSound final : public CEffectSound {
public:
    void SetVolume(std::uint32_t) override {}
    void Play() override {}
    void Stop() override {}
};

SilentSound Silence;
CEffectSound* Charge = &Silence;
CEffectSound* Fall = &Silence;

}  // namespace

void SetEffectSounds(CEffectSound* charge, CEffectSound* fall) {
    Charge = charge != nullptr ? charge : &Silence;
    Fall = fall != nullptr ? fall : &Silence;
}

CEffectSound& ChargeSound() {
    return *Charge;
}

CEffectSound& FallSound() {
    return *Fall;
}
