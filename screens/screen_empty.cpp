#include "screens/screen_empty.h"

#include "framework/scene.h"
#include "screens/screen_main.h"

CScreenEmpty ScreenEmpty;

std::unique_ptr<CScene> CScreenEmpty::CreateScene() {
    return std::make_unique<CScene>();
}

void CScreenEmpty::OnLButtonDown(std::int32_t, std::int32_t) {
    OnBack();
}

void CScreenEmpty::OnBack() {
    SwitchScreen(&ScreenMain);
}
