#include "framework/settings_store.h"

namespace {
CSettingsStore* Store = nullptr;
}

void SetSettingsStore(CSettingsStore* store) {
    Store = store;
}

std::int32_t ReadSetting(std::string_view name, std::int32_t fallback) {
    if (Store == nullptr) return fallback;
    return Store->Read(name).value_or(fallback);
}

void WriteSetting(std::string_view name, std::int32_t value) {
    if (Store != nullptr) Store->Write(name, value);
}
