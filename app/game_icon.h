#pragma once

#include <QIcon>

#include <array>

/// The game's application id: the name of its launcher (com.quenlo.Brivel.desktop) and of its
/// icon in the desktop's icon theme.
inline constexpr char kApplicationId[] = "com.quenlo.Brivel";

/// The pixel sizes at which the game's icon is drawn, carried and installed.
inline constexpr std::array<int, 6> kGameIconSizes = {16, 32, 48, 64, 128, 256};

/// The game's icon, a Red piece before a White one on the board: the same pictures as the
/// launcher's icon, at every size of kGameIconSizes.
QIcon GameIcon();
