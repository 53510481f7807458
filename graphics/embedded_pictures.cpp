#include "graphics/embedded_pictures.h"

#include "resources/resources.h"

PictureSource EmbeddedPictures() {
    return [](int id) {
        const auto found = FindResource("IMAGE", id);
        if (!found || found->data == nullptr) return PictureBytes{};
        return PictureBytes(found->data, found->size);
    };
}
