"""Where things sit on the menu and settings pictures, in canvas units.

The canvas is 1.5 wide and 1 high with its origin at the bottom-left; the 1024 x 512 menu
pictures are stretched over it. The click areas below are the ones the menu and settings
screens test (all bounds exclusive); the art script letters each label inside its area and the
contact sheet outlines them.
"""

import math

CANVAS_WIDTH = 1.5
PICTURE_SIZE = (1024, 512)

# (label, (u_min, u_max), (v_min, v_max))
MENU_ITEMS = [
    ("1 PLAYER", (0.16, 0.51), (0.62, 0.69)),
    ("2 PLAYERS", (0.14, 0.57), (0.52, 0.58)),
    ("NETWORK", (0.14, 0.52), (0.41, 0.47)),
    ("WINNERS", (0.18, 0.53), (0.29, 0.36)),
    ("SETTINGS", (0.15, 0.52), (0.18, 0.25)),
]

SETTINGS_ITEMS = [
    ("ROTATE BOARD", (0.06, 0.59), (0.36, 0.41)),
    ("BACK", (0.08, 0.24), (0.26, 0.32)),
    ("MAIN MENU", (0.17, 0.51), (0.17, 0.22)),
]

# Slider lines: (label, v); each runs from u = SLIDER_U[0] (level 0) to SLIDER_U[1] (level 1).
SLIDERS = [("SOUND", 0.67), ("MUSIC", 0.58), ("MOUSE", 0.49)]
SLIDER_U = (0.35, 0.58)
# A knob is 0.02 wide and 0.04 high, centred on its line.
KNOB_HALF = (0.01, 0.02)

# The "On"/"Off" word the settings screen writes: baseline origin and letter scales.
SWITCH_WORD_ORIGIN = (0.51, 0.38)
SWITCH_WORD_SCALE = (0.05, 0.06)
# Fixed-pitch face: every glyph advances 0.602 em (DejaVu Sans Mono Bold); capitals reach 0.73 em.
# Box of the longer word, "Off": (u_min, v_min, u_max, v_max).
SWITCH_WORD_BOX = (0.51, 0.38, 0.51 + 3 * 0.602 * 0.05, 0.38 + 0.73 * 0.06)

# The flag: its pole edge starts at FLAG_ORIGIN and the cloth is FLAG_SCALE canvas units long
# and 0.65 x FLAG_SCALE high, turned clockwise by FLAG_TURN radians about the origin.
FLAG_ORIGIN = (0.714, 0.31)
FLAG_SCALE = 0.715
FLAG_HEIGHT = 0.65
FLAG_TURN = 0.05


def flag_point(along, up):
    """Canvas point of the resting cloth, `along` and `up` in cloth units (0..1, 0..0.65)."""
    c, s = math.cos(FLAG_TURN), math.sin(FLAG_TURN)
    x = along * c + up * s
    y = up * c - along * s
    return FLAG_ORIGIN[0] + x * FLAG_SCALE, FLAG_ORIGIN[1] + y * FLAG_SCALE


def flag_corners():
    """The resting cloth's corners: pole bottom, pole top, free top, free bottom."""
    return [flag_point(0, 0), flag_point(0, FLAG_HEIGHT), flag_point(1, FLAG_HEIGHT),
            flag_point(1, 0)]


def to_pixels(u, v, size=PICTURE_SIZE):
    """Canvas (u, v) to picture pixels (x from the left, y from the top)."""
    return u / CANVAS_WIDTH * size[0], (1.0 - v) * size[1]


def area_pixels(us, vs, size=PICTURE_SIZE):
    """A canvas area as a pixel box (left, top, right, bottom)."""
    left, bottom = to_pixels(us[0], vs[0], size)
    right, top = to_pixels(us[1], vs[1], size)
    return left, top, right, bottom
