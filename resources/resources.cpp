#include "resources/resources.h"

#include <array>
#include <cstdint>

// Each file of assets/ is pulled into a read-only section of this object by the assembler
// (.incbin), with its length stored beside it. BRIVEL_ASSET_DIR is the absolute path of
// assets/ at build time; the build system also names the files as dependencies of this source,
// so that changing an asset rebuilds it.
#define BRIVEL_EMBED(symbol, file)                              \
    ".pushsection .rodata.brivel_resources, \"a\", @progbits\n" \
    ".balign 16\n"                                              \
    ".type " #symbol                                            \
    ", @object\n"                                               \
    ".hidden " #symbol                                          \
    "\n"                                                        \
    ".global " #symbol "\n" #symbol                             \
    ":\n"                                                       \
    ".incbin \"" BRIVEL_ASSET_DIR "/" file                      \
    "\"\n"                                                      \
    ".L" #symbol                                                \
    "_end:\n"                                                   \
    ".size " #symbol ", .L" #symbol "_end - " #symbol           \
    "\n"                                                        \
    ".balign 8\n"                                               \
    ".type " #symbol                                            \
    "_size, @object\n"                                          \
    ".hidden " #symbol                                          \
    "_size\n"                                                   \
    ".global " #symbol "_size\n" #symbol                        \
    "_size:\n"                                                  \
    ".quad .L" #symbol "_end - " #symbol                        \
    "\n"                                                        \
    ".size " #symbol                                            \
    "_size, 8\n"                                                \
    ".popsection\n"

asm(BRIVEL_EMBED(brivel_wood, "wood.jpg"));
asm(BRIVEL_EMBED(brivel_board, "board.jpg"));
asm(BRIVEL_EMBED(brivel_flag_red, "flag_red.jpg"));
asm(BRIVEL_EMBED(brivel_flag_white, "flag_white.jpg"));
asm(BRIVEL_EMBED(brivel_medal, "medal.jpg"));
asm(BRIVEL_EMBED(brivel_menu, "menu.jpg"));
asm(BRIVEL_EMBED(brivel_settings, "settings.jpg"));
asm(BRIVEL_EMBED(brivel_charge, "charge.wav"));
asm(BRIVEL_EMBED(brivel_clack, "clack.wav"));
asm(BRIVEL_EMBED(brivel_fall, "fall.wav"));
asm(BRIVEL_EMBED(brivel_music, "music.ogg"));

#define BRIVEL_DECLARE(symbol)               \
    extern "C" const unsigned char symbol[]; \
    extern "C" const std::uint64_t symbol##_size;

BRIVEL_DECLARE(brivel_wood)
BRIVEL_DECLARE(brivel_board)
BRIVEL_DECLARE(brivel_flag_red)
BRIVEL_DECLARE(brivel_flag_white)
BRIVEL_DECLARE(brivel_medal)
BRIVEL_DECLARE(brivel_menu)
BRIVEL_DECLARE(brivel_settings)
BRIVEL_DECLARE(brivel_charge)
BRIVEL_DECLARE(brivel_clack)
BRIVEL_DECLARE(brivel_fall)
BRIVEL_DECLARE(brivel_music)

namespace {

struct Entry {
    std::string_view type;
    int id;
    const unsigned char* data;
    const std::uint64_t* size;
};

const std::array<Entry, 11> kResources{{
    {"IMAGE", 129, brivel_wood, &brivel_wood_size},
    {"IMAGE", 130, brivel_board, &brivel_board_size},
    {"IMAGE", 131, brivel_flag_red, &brivel_flag_red_size},
    {"IMAGE", 132, brivel_flag_white, &brivel_flag_white_size},
    {"IMAGE", 133, brivel_medal, &brivel_medal_size},
    {"IMAGE", 134, brivel_menu, &brivel_menu_size},
    {"IMAGE", 135, brivel_settings, &brivel_settings_size},
    {"WAVE", 134, brivel_charge, &brivel_charge_size},
    {"WAVE", 135, brivel_clack, &brivel_clack_size},
    {"WAVE", 136, brivel_fall, &brivel_fall_size},
    {"MUSIC", 137, brivel_music, &brivel_music_size},
}};

}  // namespace

std::optional<ResourceBytes> FindResource(std::string_view type, int id) {
    for (const Entry& entry : kResources) {
        if (entry.type == type && entry.id == id) {
            return ResourceBytes{entry.data, static_cast<std::size_t>(*entry.size)};
        }
    }
    return std::nullopt;
}
