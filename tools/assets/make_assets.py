"""Writes the game's pictures, sounds, music and icon into assets/ (run through tools/make_assets.sh)."""

import pathlib
import sys

import icon
import music
import pictures
import sounds

ASSETS = pathlib.Path(__file__).resolve().parents[2] / "assets"


def main():
    ASSETS.mkdir(exist_ok=True)
    for resource_id, name, make in pictures.ALL:
        image = make()
        # Baseline JPEG, full colour resolution so the squares and letters keep sharp edges.
        image.save(ASSETS / name, "JPEG", quality=92, subsampling=0, progressive=False,
                   optimize=False)
        print(f"IMAGE {resource_id} {name} {image.size[0]}x{image.size[1]}")
    for resource_id, name, make, file_size in sounds.ALL:
        samples = make((file_size - sounds.HEADER_BYTES) // 2)
        sounds.write(ASSETS / name, samples)
        written = (ASSETS / name).stat().st_size
        if written != file_size:
            sys.exit(f"{name}: {written} bytes, expected {file_size}")
        print(f"WAVE {resource_id} {name} {written} bytes")
    seconds, size = music.write_ogg(ASSETS / "music.ogg")
    print(f"MUSIC 137 music.ogg {seconds:.1f} s {size} bytes")
    # The window's icon and the launcher's, one picture at every size a desktop asks for.
    for size, image in icon.sizes(icon.design()):
        name = f"icon_{size}.png"
        image.save(ASSETS / name, "PNG", optimize=True)
        print(f"ICON {name} {size}x{size}")


if __name__ == "__main__":
    main()
