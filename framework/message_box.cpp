#include "framework/message_box.h"

namespace {
CMessageBox* Box = nullptr;
}

void SetMessageBox(CMessageBox* box) {
    Box = box;
}

void ShowMessage(std::string_view text) {
    if (Box != nullptr) Box->Show(text);
}
