#include "framework/background_music.h"

namespace {

class NoMusic final : public CBackgroundMusic {
public:
    void SetLevel(double) override {}
};

NoMusic Silence;
CBackgroundMusic* Music = &Silence;

}  // namespace

void SetBackgroundMusic(CBackgroundMusic* music) {
    Music = music != nullptr ? music : &Silence;
}

CBackgroundMusic& BackgroundMusic() {
    return *Music;
}
