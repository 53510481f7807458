#include "tests/fakes/framework_fakes.h"

std::optional<std::int32_t> MemorySettingsStore::Read(std::string_view name) {
    auto found = values.find(name);
    if (found == values.end()) return std::nullopt;
    return found->second;
}

void MemorySettingsStore::Write(std::string_view name, std::int32_t value) {
    values.insert_or_assign(std::string(name), value);
    writes.emplace_back(std::string(name), value);
}
