#include "graphics/flag_mesh.h"

void FillFlagIndices(FlagIndexTable& indices) {
    for (int k = 0; k < kFlagStripCount; ++k) {
        for (int j = 0; j < kFlagColumns; ++j) {
            indices[k][2 * j] = static_cast<std::uint32_t>(k * kFlagColumns + j);
            indices[k][2 * j + 1] = static_cast<std::uint32_t>((k + 1) * kFlagColumns + j);
        }
    }
}

void FillFlagTexCoords(FlagTexCoordTable& texCoords) {
    for (int i = 0; i < kFlagRows; ++i) {
        for (int j = 0; j < kFlagColumns; ++j) {
            const int point = i * kFlagColumns + j;
            texCoords[2 * point] = static_cast<float>(i * (1.0 / 19));
            texCoords[2 * point + 1] = static_cast<float>(j * (1.0 / 12));
        }
    }
}
