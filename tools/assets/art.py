"""Drawing helpers for the game's pictures: smooth noise, wood, lettering, shapes.

Everything is drawn in float RGB arrays (0..255) with numpy, or on PIL images, from fixed seeds,
so the same packages give the same pictures.
"""

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"


def font(name, size):
    return ImageFont.truetype(FONT_DIR + name, size)


def smooth_noise(rng, height, width, cells_y, cells_x):
    """Value noise in 0..1: a random grid of cells_y x cells_x, smoothly enlarged."""
    grid = rng.random((cells_y + 3, cells_x + 3)).astype(np.float32)
    image = Image.fromarray(grid, "F").resize(
        (width, height), Image.BICUBIC, box=(1, 1, cells_x + 1, cells_y + 1))
    return np.asarray(image, dtype=np.float64)


def fractal_noise(rng, height, width, cells_y, cells_x, octaves=4):
    """Sum of octaves of smooth noise, roughly 0..1."""
    total = np.zeros((height, width))
    weight_sum = 0.0
    weight = 1.0
    for _ in range(octaves):
        total += weight * smooth_noise(rng, height, width, cells_y, cells_x)
        weight_sum += weight
        weight *= 0.5
        cells_y, cells_x = cells_y * 2, cells_x * 2
    return total / weight_sum


def mix(a, b, t):
    """Blend colours a and b (RGB triples) by t (an array of 0..1)."""
    a = np.asarray(a, dtype=np.float64)
    b = np.asarray(b, dtype=np.float64)
    t = np.clip(t, 0.0, 1.0)[..., None]
    return a * (1.0 - t) + b * t


def wood(height, width, seed, light, dark, rings=14.0, waviness=1.0):
    """Plank wood with its grain running along the width.

    Growth rings are wavy bands across the height; each band fades from light early wood to a
    narrow dark late-wood line, and fine fibres streak along the grain.
    """
    rng = np.random.default_rng(seed)
    y = np.arange(height, dtype=np.float64)[:, None] / max(height, width)
    warp = fractal_noise(rng, height, width, 2, 3, 3) - 0.5
    figure = fractal_noise(rng, height, width, 3, 10, 3) - 0.5
    spacing = fractal_noise(rng, height, width, 6, 2, 2) - 0.5
    grain = y * rings + waviness * (2.2 * warp + 0.6 * figure) + 1.2 * spacing
    ring = grain - np.floor(grain)
    late_wood = np.clip((ring - 0.62) / 0.38, 0.0, 1.0) ** 1.6
    fibres = fractal_noise(rng, height, width, max(4, height // 3), max(2, width // 90), 2)
    pores = rng.random((height, width))
    shade = 0.55 * late_wood + 0.45 * (fibres - 0.5) + 0.25 * (warp + 0.5) - 0.06
    shade += 0.06 * (pores > 0.985)
    # Broad patches of lighter and darker heartwood, so that no two stretches look alike.
    tone = 1.0 + 0.22 * (fractal_noise(rng, height, width, 2, 4, 2) - 0.5)
    return mix(light, dark, shade) * tone[..., None]


def to_image(rgb):
    return Image.fromarray(np.clip(np.rint(rgb), 0, 255).astype(np.uint8), "RGB")


def to_array(image):
    return np.asarray(image.convert("RGB"), dtype=np.float64)


def vertical_gradient(height, width, stops):
    """Colour stops [(position 0..1 from the top, colour)], linearly blended."""
    positions = np.array([p for p, _ in stops])
    colours = np.array([c for _, c in stops], dtype=np.float64)
    t = np.linspace(0.0, 1.0, height)
    column = np.stack([np.interp(t, positions, colours[:, k]) for k in range(3)], axis=1)
    return np.repeat(column[:, None, :], width, axis=1)


def paste_rgb(base, layer, mask):
    """base*(1-mask) + layer*mask, mask 0..1 of base's height and width."""
    m = np.clip(mask, 0.0, 1.0)[..., None]
    return base * (1.0 - m) + layer * m


def mask_of(size, draw_fn, blur=0.0):
    """A 0..1 mask from a drawing function given an ImageDraw on an 'L' image."""
    image = Image.new("L", size, 0)
    draw_fn(ImageDraw.Draw(image))
    if blur:
        image = image.filter(ImageFilter.GaussianBlur(blur))
    return np.asarray(image, dtype=np.float64) / 255.0


def gold(height, width, top=(255, 236, 150), middle=(240, 190, 70), bottom=(170, 110, 30)):
    return vertical_gradient(height, width, [(0.0, top), (0.55, middle), (1.0, bottom)])


def lettering(canvas, text, face, centre, fill, outline=(45, 22, 8), stroke=3,
              shadow=(6, 0.6), xscale=1.0):
    """Letters whose ink box is centred on `centre`; returns the ink box (left, top, right,
    bottom) in canvas pixels, outline included.

    fill is an (h, w, 3) array the size of the canvas (a gradient) or an RGB triple. xscale
    widens the letters for pictures that are shown squeezed.
    """
    height, width = canvas.shape[:2]
    box = face.getbbox(text, anchor="ls", stroke_width=stroke)
    text_w, text_h = box[2] - box[0], box[3] - box[1]
    pad = stroke + 4
    tile = Image.new("L", (text_w + 2 * pad, text_h + 2 * pad), 0)
    body = Image.new("L", tile.size, 0)
    origin = (pad - box[0], pad - box[1])
    ImageDraw.Draw(tile).text(origin, text, font=face, fill=255, anchor="ls",
                              stroke_width=stroke, stroke_fill=255)
    ImageDraw.Draw(body).text(origin, text, font=face, fill=255, anchor="ls")
    if xscale != 1.0:
        new_size = (round(tile.size[0] * xscale), tile.size[1])
        tile = tile.resize(new_size, Image.LANCZOS)
        body = body.resize(new_size, Image.LANCZOS)
    left = round(centre[0] - tile.size[0] / 2)
    top = round(centre[1] - tile.size[1] / 2)
    whole = Image.new("L", (width, height), 0)
    whole.paste(tile, (left, top))
    inside = Image.new("L", (width, height), 0)
    inside.paste(body, (left, top))
    ink = np.asarray(whole, dtype=np.float64) / 255.0
    core = np.asarray(inside, dtype=np.float64) / 255.0
    if shadow:
        offset, strength = shadow
        dropped = Image.new("L", (width, height), 0)
        dropped.paste(whole, (offset, offset))
        dropped = dropped.filter(ImageFilter.GaussianBlur(offset * 0.8))
        canvas[:] = paste_rgb(canvas, np.zeros_like(canvas),
                              strength * np.asarray(dropped, dtype=np.float64) / 255.0)
    fill_rgb = fill if isinstance(fill, np.ndarray) else np.broadcast_to(
        np.asarray(fill, dtype=np.float64), canvas.shape)
    canvas[:] = paste_rgb(canvas, np.broadcast_to(np.asarray(outline, dtype=np.float64),
                                                  canvas.shape), ink)
    canvas[:] = paste_rgb(canvas, fill_rgb, core)
    rows = np.nonzero(ink.max(axis=1) > 0.1)[0]
    cols = np.nonzero(ink.max(axis=0) > 0.1)[0]
    return cols[0], rows[0], cols[-1] + 1, rows[-1] + 1


def bevel_panel(canvas, box, radius, wood_rgb, seed_border=0.0):
    """A wooden signboard: drop shadow, dark rim, bevelled edge, wood face."""
    height, width = canvas.shape[:2]
    left, top, right, bottom = box
    shadow = mask_of((width, height), lambda d: d.rounded_rectangle(
        (left + 10, top + 14, right + 10, bottom + 14), radius, fill=255), blur=12)
    canvas[:] = paste_rgb(canvas, np.zeros_like(canvas), 0.55 * shadow)
    outer = mask_of((width, height), lambda d: d.rounded_rectangle(box, radius, fill=255), 1)
    canvas[:] = paste_rgb(canvas, np.broadcast_to(np.array([40.0, 20, 8]), canvas.shape), outer)
    rim = 8
    inner_box = (left + rim, top + rim, right - rim, bottom - rim)
    light_edge = mask_of((width, height), lambda d: d.rounded_rectangle(
        (left + 3, top + 3, right - 5, bottom - 5), radius - 3, fill=255), 1)
    canvas[:] = paste_rgb(canvas, np.broadcast_to(np.array([150.0, 100, 55]), canvas.shape),
                          light_edge * 0.9)
    dark_edge = mask_of((width, height), lambda d: d.rounded_rectangle(
        (left + 6, top + 6, right - 3, bottom - 3), radius - 3, fill=255), 1)
    canvas[:] = paste_rgb(canvas, np.broadcast_to(np.array([55.0, 30, 12]), canvas.shape),
                          dark_edge * 0.9)
    face = mask_of((width, height), lambda d: d.rounded_rectangle(
        inner_box, radius - rim, fill=255), 1)
    canvas[:] = paste_rgb(canvas, wood_rgb, face)
    # A soft light from the top-left across the face.
    yy, xx = np.mgrid[0:height, 0:width].astype(np.float64)
    glow = 1.0 + 0.18 * (1.0 - ((xx - left) / (right - left) + (yy - top) / (bottom - top)) / 2)
    canvas[:] = canvas * (1 - face[..., None]) + canvas * glow[..., None] * face[..., None]
    return inner_box


def groove(canvas, start, end, width=7):
    """An engraved line: a dark channel with a light lip below it."""
    height, w = canvas.shape[:2]
    dark = mask_of((w, height), lambda d: d.line((start, end), fill=255, width=width), 0.8)
    lip = mask_of((w, height), lambda d: d.line(
        ((start[0], start[1] + width * 0.6), (end[0], end[1] + width * 0.6)), fill=255,
        width=max(2, width // 3)), 0.8)
    canvas[:] = paste_rgb(canvas, np.broadcast_to(np.array([210.0, 160, 95]), canvas.shape),
                          0.55 * lip)
    canvas[:] = paste_rgb(canvas, np.broadcast_to(np.array([25.0, 12, 5]), canvas.shape),
                          0.9 * dark)


def star_points(cx, cy, outer, inner, points=5, xscale=1.0, turn=-np.pi / 2):
    result = []
    for k in range(points * 2):
        r = outer if k % 2 == 0 else inner
        a = turn + k * np.pi / points
        result.append((cx + r * np.cos(a) * xscale, cy + r * np.sin(a)))
    return result


def downsample(rgb, size):
    """Shrink a supersampled drawing to its final pixel size."""
    return to_image(rgb).resize(size, Image.LANCZOS)
