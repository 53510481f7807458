#include "screens/menu_tick.h"

#include "framework/screen.h"
#include "game/flag.h"

void MenuScreenTick(CScreen* screen) {
    for (int step = 0; step < kFlagStepsPerTick; ++step)
        StepFlag(Flag);
    RedrawScreen(screen);
}

void ResetMenuFlag() {
    ResetFlag(Flag, 0, 0, 0.05, 0.012, 0.004, 0.00002);
}
