#pragma once

#include <QIcon>

/// The game's icon: a red piece on its board square, drawn at the usual icon sizes.
QIcon GameIcon();
