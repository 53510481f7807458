"""The game's icon: a Red piece before a White one on a corner of the game's own board.

Drawn once at 1024 x 1024 and shrunk to each size that a desktop asks for, so every size is the
same picture. The pieces have the colours the game lights them with.
"""

import numpy as np
from PIL import Image

import art
import pictures

SIZES = (16, 32, 48, 64, 128, 256)
DESIGN = 1024


def _board_tile():
    """Two by two squares of the board picture, a dark one at the bottom left, enlarged."""
    board = pictures.board()
    left = pictures.MARGIN
    bottom = pictures.BOARD_SIZE - pictures.MARGIN
    crop = board.crop((left, bottom - 2 * pictures.SQUARE, left + 2 * pictures.SQUARE, bottom))
    return art.to_array(crop.resize((DESIGN, DESIGN), Image.LANCZOS))


def _piece(rgb, centre, radius, top, side, rim):
    """A flat round piece seen from above and in front: a lit side band under an oval top."""
    cx, cy = centre
    squash = 0.62
    height = radius * 0.42
    top_box = (cx - radius, cy - radius * squash, cx + radius, cy + radius * squash)
    low_box = (top_box[0], top_box[1] + height, top_box[2], top_box[3] + height)
    shadow = art.mask_of((DESIGN, DESIGN), lambda d: d.ellipse(
        (low_box[0] + 30, low_box[1] + 40, low_box[2] + 50, low_box[3] + 50), fill=255), 26)
    rgb[:] = art.paste_rgb(rgb, np.zeros_like(rgb), 0.55 * shadow)

    def body(d):
        d.ellipse(low_box, fill=255)
        d.rectangle((top_box[0], cy, top_box[2], cy + height), fill=255)

    xx = np.arange(DESIGN, dtype=np.float64)[None, :]
    across = np.clip((xx - (cx - radius)) / (2 * radius), 0, 1)
    # The side is lit from the left and falls into shade on the right.
    side_rgb = art.mix(side[0], side[1], np.broadcast_to(across ** 1.4, (DESIGN, DESIGN)))
    rgb[:] = art.paste_rgb(rgb, side_rgb, art.mask_of((DESIGN, DESIGN), body, 1.5))
    yy = np.arange(DESIGN, dtype=np.float64)[:, None]
    light = np.clip(((xx - top_box[0]) + (yy - top_box[1])) / (3.2 * radius), 0, 1)
    top_rgb = art.mix(top[0], top[1], light)
    face = art.mask_of((DESIGN, DESIGN), lambda d: d.ellipse(top_box, fill=255), 1.5)
    rgb[:] = art.paste_rgb(rgb, top_rgb, face)
    inset = radius * 0.22
    groove = art.mask_of((DESIGN, DESIGN), lambda d: d.ellipse(
        (top_box[0] + inset, top_box[1] + inset * squash, top_box[2] - inset,
         top_box[3] - inset * squash), outline=255, width=max(4, int(radius * 0.06))), 1.5)
    rgb[:] = art.paste_rgb(rgb, np.broadcast_to(np.asarray(rim, dtype=np.float64), rgb.shape),
                           0.7 * groove)


def design():
    """The icon at 1024 x 1024 as RGBA: a rounded tile, transparent outside."""
    rgb = _board_tile()
    _piece(rgb, (640, 360), 250, top=((250, 250, 170), (200, 196, 96)),
           side=((214, 210, 110), (120, 116, 40)), rim=(150, 146, 60))
    _piece(rgb, (400, 590), 300, top=((255, 140, 130), (196, 46, 44)),
           side=((210, 70, 64), (96, 14, 16)), rim=(120, 20, 20))
    # A dark rim round the tile, like the channel round the board's squares.
    radius = 170
    outer = art.mask_of((DESIGN, DESIGN), lambda d: d.rounded_rectangle(
        (8, 8, DESIGN - 9, DESIGN - 9), radius, fill=255), 2)
    inner = art.mask_of((DESIGN, DESIGN), lambda d: d.rounded_rectangle(
        (44, 44, DESIGN - 45, DESIGN - 45), radius - 36, fill=255), 2)
    frame = np.broadcast_to(np.array([70.0, 34, 12]), rgb.shape)
    rgb = art.paste_rgb(frame, rgb, inner)
    alpha = np.clip(np.rint(outer * 255), 0, 255).astype(np.uint8)
    image = art.to_image(rgb)
    image.putalpha(Image.fromarray(alpha, "L"))
    return image


def sizes(image):
    """The icon at every size, shrunk with premultiplied alpha so its edge keeps no fringe."""
    premultiplied = image.convert("RGBa")
    return [(size, premultiplied.resize((size, size), Image.LANCZOS).convert("RGBA"))
            for size in SIZES]
