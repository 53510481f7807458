#pragma once

#include "graphics/textures.h"

/// The pictures carried inside the program ("IMAGE" resources 129 to 135); a missing one gives
/// empty bytes.
PictureSource EmbeddedPictures();
