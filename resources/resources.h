#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

/// The pictures, sounds and music the program carries inside itself, found by type name and id
/// ("IMAGE" 129 to 135: baseline JPEGs; "WAVE" 134 to 136: 16-bit mono 44100 Hz PCM files with
/// the canonical 44-byte header; "MUSIC" 137: the game's music, Ogg Vorbis). Built into the
/// executable, so the lookup needs no file, no working directory and no installation beside
/// the program. Safe from any thread.

/// Bytes of a resource carried inside the program. They live, unchanged, as long as the program.
struct ResourceBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

/// Finds a resource by type name ("IMAGE", "WAVE", "MUSIC", matched exactly) and integer id;
/// std::nullopt if there is none.
std::optional<ResourceBytes> FindResource(std::string_view type, int id);
