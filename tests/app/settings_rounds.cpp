#include "tests/app/settings_rounds.h"

#include <array>
#include <cstdio>
#include <string>

namespace {

constexpr std::array<const char*, 4> kGameKeys{"cx", "cy", "sound", "music"};

template <typename Visit>
void ForEachKey(Visit visit) {
    for (const char* key : kGameKeys)
        visit(std::string_view(key));
    for (int filler = 0; filler < kRoundFillerKeys; ++filler) {
        char key[16];
        std::snprintf(key, sizeof key, "filler%03d", filler);
        visit(std::string_view(key));
    }
}

}  // namespace

void WriteRound(CSettingsStore& store, std::int32_t round) {
    ForEachKey([&](std::string_view key) { store.Write(key, round); });
}

std::optional<std::int32_t> StoredRound(const SettingReader& read) {
    int keys = 0;
    int absent = 0;
    std::optional<std::int32_t> first;
    bool mixed = false;
    ForEachKey([&](std::string_view key) {
        ++keys;
        std::optional<std::int32_t> value = read(key);
        if (!value) {
            ++absent;
            return;
        }
        if (!first) first = value;
        mixed = mixed || *value != *first;
    });
    if (absent == keys) return -1;
    if (absent > 0 || mixed) return std::nullopt;
    return first;
}
