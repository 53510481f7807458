"""The game's seven pictures: wood, board, two flags, medal, menu and settings backgrounds."""

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

import art
import layout

WARM_LIGHT = (222, 160, 96)
WARM_DARK = (120, 62, 26)


def wood_grain():
    """1024 x 256 of warm plank wood; the board's sides show horizontal bands of it."""
    rgb = art.wood(256, 1024, seed=129, light=WARM_LIGHT, dark=WARM_DARK, rings=26.0,
                   waviness=0.6)
    return art.to_image(rgb)


# Board geometry in pixels of the 1024 x 1024 picture: 9/128 and 55/512 of the side.
BOARD_SIZE = 1024
MARGIN = 72
SQUARE = 110


def _frame(rgb):
    """Mitred frame: top and bottom rails with grain along x, the stiles with grain along y."""
    rail = art.wood(MARGIN, BOARD_SIZE, seed=1301, light=(200, 112, 60), dark=(118, 56, 26),
                    rings=40.0)
    stile = np.transpose(art.wood(MARGIN, BOARD_SIZE, seed=1302, light=(200, 112, 60),
                                  dark=(118, 56, 26), rings=40.0), (1, 0, 2))
    yy, xx = np.mgrid[0:BOARD_SIZE, 0:BOARD_SIZE]
    distance_x = np.minimum(xx, BOARD_SIZE - 1 - xx)
    distance_y = np.minimum(yy, BOARD_SIZE - 1 - yy)
    in_frame = (distance_x < MARGIN) | (distance_y < MARGIN)
    use_rail = distance_y <= distance_x
    rails = np.zeros_like(rgb)
    rails[:MARGIN] = rail
    rails[-MARGIN:] = rail[::-1]
    stiles = np.zeros_like(rgb)
    stiles[:, :MARGIN] = stile
    stiles[:, -MARGIN:] = stile[:, ::-1]
    frame = np.where(use_rail[..., None], rails, stiles)
    rgb[in_frame] = frame[in_frame]
    # Rounded outer edge, a mitre line at each corner, a gold inlay near the squares.
    edge = np.minimum(distance_x, distance_y).astype(np.float64)
    rgb *= np.where(in_frame, 0.72 + 0.28 * np.clip(edge / 10.0, 0, 1), 1.0)[..., None]
    mitre = in_frame & (np.abs(distance_x - distance_y) < 1)
    rgb[mitre] *= 0.55
    inlay = in_frame & (np.minimum(distance_x, distance_y) >= MARGIN - 14) & (
        np.minimum(distance_x, distance_y) < MARGIN - 10)
    inlay &= (distance_x >= MARGIN - 14) & (distance_y >= MARGIN - 14)
    rgb[inlay] = (222, 178, 82)
    channel = in_frame & (np.minimum(distance_x, distance_y) >= MARGIN - 3)
    channel &= (distance_x >= MARGIN - 3) & (distance_y >= MARGIN - 3)
    rgb[channel] = (45, 22, 8)


def _squares(rgb):
    inner = BOARD_SIZE - 2 * MARGIN
    maple = art.wood(inner, inner, seed=1303, light=(246, 222, 170), dark=(214, 170, 108),
                     rings=22.0)
    walnut = np.transpose(art.wood(inner, inner, seed=1304, light=(120, 70, 38),
                                   dark=(66, 34, 16), rings=26.0), (1, 0, 2))
    for row in range(8):
        for column in range(8):
            # Row 0 is at the picture's bottom edge (Red's home edge); a1 is dark.
            x0 = MARGIN + column * SQUARE
            y0 = BOARD_SIZE - MARGIN - (row + 1) * SQUARE
            dark = (row + column) % 2 == 0
            source = walnut if dark else maple
            sx, sy = x0 - MARGIN, y0 - MARGIN
            rgb[y0:y0 + SQUARE, x0:x0 + SQUARE] = source[sy:sy + SQUARE, sx:sx + SQUARE]
            # A hairline where two squares meet, as in an inlaid board.
            rgb[y0:y0 + SQUARE, x0] *= 0.8
            rgb[y0, x0:x0 + SQUARE] *= 0.8


def _coordinates(image):
    """Files a to h and ranks 1 to 8 engraved in gold on the frame."""
    draw = ImageDraw.Draw(image)
    face = art.font("DejaVuSerif-Bold.ttf", 30)
    for k in range(8):
        centre = MARGIN + (k + 0.5) * SQUARE
        for text, xy in ((chr(ord("a") + k), (centre, BOARD_SIZE - MARGIN / 2 + 2)),
                         (str(k + 1), (MARGIN / 2 - 4, BOARD_SIZE - centre))):
            draw.text((xy[0] + 2, xy[1] + 2), text, font=face, fill=(40, 18, 6), anchor="mm")
            draw.text(xy, text, font=face, fill=(232, 190, 96), anchor="mm")


def board():
    """1024 x 1024: the 8 x 8 squares inside a 72-pixel wooden frame."""
    rgb = np.zeros((BOARD_SIZE, BOARD_SIZE, 3))
    _frame(rgb)
    _squares(rgb)
    image = art.to_image(rgb)
    _coordinates(image)
    return image


# The flag pictures are drawn at twice the size of the cloth as it is shown (1.54 : 1, its pole
# edge on the left) and then squeezed into 1024 x 512.
FLAG_DESIGN = (2048, 1332)


def _cloth(field, seed):
    width, height = FLAG_DESIGN
    rng = np.random.default_rng(seed)
    rgb = np.broadcast_to(np.asarray(field, dtype=np.float64), (height, width, 3)).copy()
    weave = art.fractal_noise(rng, height, width, 40, 60, 2) - 0.5
    rgb *= (1.0 + 0.07 * weave)[..., None]
    return rgb


def _hoist_and_stripes(rgb, stripe, sleeve):
    width, height = FLAG_DESIGN
    # The sleeve round the pole, sewn with a seam, and two stripes along the fly.
    rgb[:, :90] = rgb[:, :90] * 0.55 + np.asarray(sleeve) * 0.45
    rgb[:, 88:96] *= 0.6
    for top in (110, height - 110 - 70):
        rgb[top:top + 70, 96:] = np.asarray(stripe, dtype=np.float64)
        rgb[top + 8:top + 10, 96:] *= 0.8
        rgb[top + 60:top + 62, 96:] *= 0.8


def red_flag():
    width, height = FLAG_DESIGN
    rgb = _cloth((178, 20, 28), seed=131)
    _hoist_and_stripes(rgb, (236, 186, 70), (120, 12, 18))
    cx, cy = width * 0.47, height * 0.5
    ring = art.mask_of((width, height), lambda d: d.ellipse(
        (cx - 380, cy - 380, cx + 380, cy + 380), outline=255, width=46), 1.5)
    star = art.mask_of((width, height), lambda d: d.polygon(
        art.star_points(cx, cy + 18, 310, 125), fill=255), 1.5)
    gold_rgb = art.gold(height, width, (255, 226, 130), (236, 182, 60), (196, 130, 34))
    rgb = art.paste_rgb(rgb, gold_rgb, np.maximum(ring, star))
    return art.downsample(rgb, (1024, 512))


def white_flag():
    width, height = FLAG_DESIGN
    rgb = _cloth((236, 232, 214), seed=132)
    _hoist_and_stripes(rgb, (122, 128, 30), (200, 196, 176))
    cx, cy = width * 0.47, height * 0.52
    olive = np.broadcast_to(np.array([96.0, 104, 22]), rgb.shape)
    ring = art.mask_of((width, height), lambda d: d.ellipse(
        (cx - 380, cy - 380, cx + 380, cy + 380), outline=255, width=46), 1.5)
    rgb = art.paste_rgb(rgb, olive, ring)

    def crown(d):
        base_top, base_bottom = cy + 80, cy + 180
        d.rectangle((cx - 215, base_top, cx + 215, base_bottom), fill=255)
        d.polygon([(cx - 215, base_top), (cx - 232, cy - 140), (cx - 110, cy - 5),
                   (cx, cy - 215), (cx + 110, cy - 5), (cx + 232, cy - 140),
                   (cx + 215, base_top)], fill=255)
        for x, y in ((cx - 232, cy - 162), (cx, cy - 242), (cx + 232, cy - 162)):
            d.ellipse((x - 36, y - 36, x + 36, y + 36), fill=255)

    shape = art.mask_of((width, height), crown, 1.5)
    rgb = art.paste_rgb(rgb, olive, shape)
    jewels = art.mask_of((width, height), lambda d: [d.ellipse(
        (cx + dx - 27, cy + 130 - 27, cx + dx + 27, cy + 130 + 27), fill=255)
        for dx in (-130, 0, 130)], 1)
    rgb = art.paste_rgb(rgb, np.broadcast_to(np.array([236.0, 200, 90]), rgb.shape), jewels)
    return art.downsample(rgb, (1024, 512))


def medal():
    """256 x 256: a gold medal with a star, on the dark blue of the game's backdrop."""
    size = 1024
    rgb = art.vertical_gradient(size, size, [(0, (10, 18, 70)), (1, (0, 0, 60))])
    yy, xx = np.mgrid[0:size, 0:size].astype(np.float64)
    c = size / 2
    r = np.hypot(xx - c, yy - c) / (size * 0.46)
    # Light from the top-left over a domed disc.
    light = 0.75 + 0.35 * ((c - xx) + (c - yy)) / size
    disc = art.gold(size, size, (255, 230, 140), (232, 176, 58), (170, 108, 24))
    disc *= light[..., None]
    rim = (r > 0.86) & (r <= 1.0)
    disc[rim] *= 0.82
    disc[(r > 0.84) & (r <= 0.87)] *= 0.6
    inside = art.mask_of((size, size), lambda d: d.ellipse(
        (c - size * 0.46, c - size * 0.46, c + size * 0.46, c + size * 0.46), fill=255), 2)
    rgb = art.paste_rgb(rgb, disc, inside)
    shadow = art.mask_of((size, size), lambda d: d.polygon(
        art.star_points(c + 10, c + 22, 300, 120), fill=255), 6)
    rgb = art.paste_rgb(rgb, np.broadcast_to(np.array([110.0, 64, 10]), rgb.shape),
                        0.7 * shadow)
    star = art.mask_of((size, size), lambda d: d.polygon(
        art.star_points(c, c + 12, 300, 120), fill=255), 2)
    star_rgb = art.gold(size, size, (255, 246, 190), (246, 200, 84), (200, 136, 36))
    rgb = art.paste_rgb(rgb, star_rgb, star)
    return art.downsample(rgb, (256, 256))


# The menu pictures are drawn at 1536 x 1024 (the shape they are shown in: 1024 pixels per
# canvas unit on both axes) and squeezed into 1024 x 512.
MENU_DESIGN = (1536, 1024)


def design_point(u, v):
    return layout.to_pixels(u, v, MENU_DESIGN)


def _sky():
    width, height = MENU_DESIGN
    rgb = art.vertical_gradient(height, width, [
        (0.0, (10, 16, 52)), (0.45, (34, 46, 104)), (0.72, (120, 88, 120)),
        (0.86, (236, 150, 84)), (1.0, (250, 196, 120))])
    rng = np.random.default_rng(1340)
    clouds = art.fractal_noise(rng, height, width, 3, 6, 5)
    clouds = np.clip((clouds - 0.52) * 3.0, 0, 1)
    band = np.exp(-((np.arange(height) / height - 0.62) / 0.16) ** 2)[:, None]
    tint = art.vertical_gradient(height, width, [(0.0, (70, 70, 120)), (0.7, (230, 140, 110)),
                                                 (1.0, (255, 200, 150))])
    rgb = art.paste_rgb(rgb, tint, 0.55 * clouds * band)
    stars = rng.random((height, width)) > 0.9992
    fade = (np.arange(height) / height < 0.4)[:, None]
    rgb[stars & fade] = (220, 220, 240)
    return rgb


def _hills(rgb):
    width, height = MENU_DESIGN
    x = np.arange(width, dtype=np.float64)
    far = 860 + 26 * np.sin(x / 190.0) + 14 * np.sin(x / 61.0 + 1.0)
    near = 960 - 90 * np.exp(-((x - 1080) / 330.0) ** 2) + 10 * np.sin(x / 97.0)
    yy = np.arange(height, dtype=np.float64)[:, None]
    far_mask = np.clip(yy - far[None, :], 0, 1)
    rgb[:] = art.paste_rgb(rgb, np.broadcast_to(np.array([60.0, 44, 70]), rgb.shape), far_mask)
    rng = np.random.default_rng(1341)
    grass = art.fractal_noise(rng, height, width, 20, 40, 3)
    ground = art.mix((26, 40, 20), (58, 72, 30), grass * 0.9 + (yy / height - 0.8))
    near_mask = np.clip(yy - near[None, :], 0, 1)
    rgb[:] = art.paste_rgb(rgb, ground, near_mask)


def _flagpole(rgb):
    """A pole under the cloth's edge, leaning with it, with a gold finial on top."""
    width, height = MENU_DESIGN
    bottom = np.array(design_point(*layout.flag_point(0, -0.36)))
    top = np.array(design_point(*layout.flag_point(0, layout.FLAG_HEIGHT + 0.02)))
    pole = art.mask_of((width, height), lambda d: d.line(
        (tuple(bottom), tuple(top)), fill=255, width=12), 0.7)
    shine = art.mask_of((width, height), lambda d: d.line(
        (tuple(bottom - (3, 0)), tuple(top - (3, 0))), fill=255, width=3), 0.7)
    shadow = art.mask_of((width, height), lambda d: d.line(
        (tuple(bottom + (18, 0)), tuple(top + (18, 0))), fill=255, width=12), 6)
    rgb[:] = art.paste_rgb(rgb, np.zeros_like(rgb), 0.25 * shadow)
    rgb[:] = art.paste_rgb(rgb, np.broadcast_to(np.array([112.0, 84, 60]), rgb.shape), pole)
    rgb[:] = art.paste_rgb(rgb, np.broadcast_to(np.array([220.0, 190, 150]), rgb.shape),
                           0.8 * shine)
    x, y = top
    ball = art.mask_of((width, height), lambda d: d.ellipse(
        (x - 15, y - 30, x + 15, y), fill=255), 0.8)
    spike = art.mask_of((width, height), lambda d: d.polygon(
        [(x - 6, y - 24), (x + 6, y - 24), (x, y - 58)], fill=255), 0.8)
    golden = art.gold(height, width, (255, 236, 150), (230, 170, 50), (150, 96, 20))
    rgb[:] = art.paste_rgb(rgb, golden, np.maximum(ball, spike))
    # A mound of earth where the pole stands.
    mound = art.mask_of((width, height), lambda d: d.ellipse(
        (bottom[0] - 60, bottom[1] - 12, bottom[0] + 60, bottom[1] + 18), fill=255), 3)
    rgb[:] = art.paste_rgb(rgb, np.broadcast_to(np.array([48.0, 36, 22]), rgb.shape), mound)


def _backdrop():
    rgb = _sky()
    _hills(rgb)
    _flagpole(rgb)
    return rgb


def _panel(rgb, u_range, v_range, seed):
    width, height = MENU_DESIGN
    left, top = design_point(u_range[0], v_range[1])
    right, bottom = design_point(u_range[1], v_range[0])
    face = art.wood(height, width, seed=seed, light=(120, 64, 30), dark=(58, 27, 10),
                    rings=16.0, waviness=0.7)
    art.bevel_panel(rgb, (round(left), round(top), round(right), round(bottom)), 34, face)


def _cap_gradient(centre_y, cap, top=(255, 244, 186), bottom=(226, 160, 48)):
    """Gold running from pale at the top of the capitals to deep at their baseline."""
    width, height = MENU_DESIGN
    rows = np.clip((np.arange(height) - (centre_y - cap / 2)) / cap, 0, 1)[:, None]
    return art.mix(top, bottom, np.broadcast_to(rows, (height, width)))


def _title(rgb, text, v_centre, size):
    face = art.font("DejaVuSerif-Bold.ttf", size)
    centre = design_point(0.34, v_centre)
    fill = _cap_gradient(centre[1], size * 0.73, (255, 246, 190), (214, 138, 30))
    art.lettering(rgb, text, face, centre, fill, stroke=6, shadow=(10, 0.7))


def _item(rgb, text, u_range, v_range, size=50, margin=0.006, u_centre=None, v_centre=None):
    """Letters a label inside its click area (centred on u_centre if given, else on the area)
    and checks that it fits there."""
    face = art.font("DejaVuSerif-Bold.ttf", size)
    if u_centre is None:
        u_centre = (u_range[0] + u_range[1]) / 2
    if v_centre is None:
        v_centre = (v_range[0] + v_range[1]) / 2
    centre = design_point(u_centre, v_centre)
    fill = _cap_gradient(centre[1], size * 0.73)
    ink = art.lettering(rgb, text, face, centre, fill, stroke=3, shadow=(4, 0.6))
    area = layout.area_pixels(u_range, v_range, MENU_DESIGN)
    inset = margin * 1024
    fits = (ink[0] >= area[0] + inset and ink[2] <= area[2] - inset
            and ink[1] >= area[1] + inset and ink[3] <= area[3] - inset)
    if not fits:
        raise SystemExit(f"label {text!r} {ink} does not fit its area {area}")
    return ink


def menu():
    """1024 x 512: title, the five items inside their click areas, the flagpole."""
    rgb = _backdrop()
    _panel(rgb, (0.06, 0.62), (0.12, 0.75), seed=1342)
    _title(rgb, "BRIVEL", 0.87, 132)
    # One column of labels on a common centre line, each still inside its own area.
    for text, us, vs in layout.MENU_ITEMS:
        _item(rgb, text, us, vs, u_centre=0.345)
    return art.downsample(rgb, layout.PICTURE_SIZE)


def _slider(rgb, v):
    start = design_point(layout.SLIDER_U[0], v)
    end = design_point(layout.SLIDER_U[1], v)
    art.groove(rgb, start, end, width=12)
    for x in (start[0], end[0]):
        art.groove(rgb, (x, start[1] - 16), (x, start[1] + 16), width=4)


def _switch_window(rgb):
    """A dark recess where the screen writes "On" or "Off"."""
    width, height = MENU_DESIGN
    left, bottom = design_point(layout.SWITCH_WORD_BOX[0] - 0.012,
                                layout.SWITCH_WORD_BOX[1] - 0.009)
    right, top = design_point(layout.SWITCH_WORD_BOX[2] + 0.012,
                              layout.SWITCH_WORD_BOX[3] + 0.009)
    lip = art.mask_of((width, height), lambda d: d.rounded_rectangle(
        (left - 3, top - 3, right + 3, bottom + 3), 10, fill=255), 1)
    rgb[:] = art.paste_rgb(rgb, np.broadcast_to(np.array([170.0, 118, 64]), rgb.shape), lip)
    hole = art.mask_of((width, height), lambda d: d.rounded_rectangle(
        (left, top, right, bottom), 8, fill=255), 1)
    rgb[:] = art.paste_rgb(rgb, np.broadcast_to(np.array([22.0, 12, 6]), rgb.shape), hole)


def settings():
    """1024 x 512: title, three slider lines with labels, the switch and the two ways out."""
    rgb = _backdrop()
    _panel(rgb, (0.03, 0.64), (0.12, 0.76), seed=1350)
    _title(rgb, "SETTINGS", 0.87, 104)
    size = 40
    for text, v in layout.SLIDERS:
        _item(rgb, text, (0.06, 0.33), (v - 0.03, v + 0.03), size, margin=0.0)
        _slider(rgb, v)
    # The switch label sits as low in its area as it can, on the line of the word beside it.
    label, us, vs = layout.SETTINGS_ITEMS[0]
    _item(rgb, label, (us[0], layout.SWITCH_WORD_BOX[0] - 0.015), vs, 38, margin=0.003,
          v_centre=0.389)
    _switch_window(rgb)
    for label, us, vs in layout.SETTINGS_ITEMS[1:]:
        _item(rgb, label, us, vs, size, margin=0.003)
    return art.downsample(rgb, layout.PICTURE_SIZE)


ALL = [
    (129, "wood.jpg", wood_grain),
    (130, "board.jpg", board),
    (131, "flag_red.jpg", red_flag),
    (132, "flag_white.jpg", white_flag),
    (133, "medal.jpg", medal),
    (134, "menu.jpg", menu),
    (135, "settings.jpg", settings),
]
