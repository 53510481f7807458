"""One PNG of the menu and settings pictures as the game shows them (3:2), with the click
areas, the slider lines, the knobs' reach, the place of the "On"/"Off" word and the resting
flag outlined over them. Usage: contact_sheet.py [output.png]"""

import pathlib
import sys

from PIL import Image, ImageDraw, ImageFont

import layout

ROOT = pathlib.Path(__file__).resolve().parents[2]
SCALE = 800  # pixels per canvas unit on the sheet
SHOWN = (round(layout.CANVAS_WIDTH * SCALE), SCALE)
AREA, SLIDER, WORD, FLAG = (60, 255, 90), (0, 220, 255), (255, 80, 255), (255, 230, 0)
LABEL_FONT = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 14)


def point(u, v):
    return layout.to_pixels(u, v, SHOWN)


def outline_area(draw, text, us, vs, colour):
    box = layout.area_pixels(us, vs, SHOWN)
    draw.rectangle(box, outline=colour, width=2)
    draw.text((box[2] + 4, box[1]), text, font=LABEL_FONT, fill=colour)


def outline_flag(draw):
    corners = [point(u, v) for u, v in layout.flag_corners()]
    draw.polygon(corners, outline=FLAG, width=3)
    draw.line([corners[0], corners[1]], fill=(255, 120, 0), width=5)  # the pole edge
    draw.text((corners[2][0] - 150, corners[2][1] + 6), "flag at rest", font=LABEL_FONT,
              fill=FLAG)


def menu_panel():
    image = Image.open(ROOT / "assets/menu.jpg").convert("RGB").resize(SHOWN, Image.LANCZOS)
    draw = ImageDraw.Draw(image)
    for text, us, vs in layout.MENU_ITEMS:
        outline_area(draw, text, us, vs, AREA)
    outline_flag(draw)
    return image


def settings_panel():
    image = Image.open(ROOT / "assets/settings.jpg").convert("RGB").resize(SHOWN, Image.LANCZOS)
    draw = ImageDraw.Draw(image)
    for text, us, vs in layout.SETTINGS_ITEMS:
        outline_area(draw, text, us, vs, AREA)
    for text, v in layout.SLIDERS:
        draw.line([point(layout.SLIDER_U[0], v), point(layout.SLIDER_U[1], v)], fill=SLIDER,
                  width=2)
        # Where the knob can be grabbed, from level 0 to level 1.
        reach_u = (layout.SLIDER_U[0] - layout.KNOB_HALF[0],
                   layout.SLIDER_U[1] + layout.KNOB_HALF[0])
        reach_v = (v - layout.KNOB_HALF[1], v + layout.KNOB_HALF[1])
        outline_area(draw, text + " knob", reach_u, reach_v, SLIDER)
    word = layout.SWITCH_WORD_BOX
    outline_area(draw, '"Off"', (word[0], word[2]), (word[1], word[3]), WORD)
    outline_flag(draw)
    return image


def main():
    output = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "build/contact_sheet.png"
    panels = [("134 main menu", menu_panel()), ("135 settings", settings_panel())]
    gap, title = 24, 36
    sheet = Image.new("RGB", (2 * SHOWN[0] + 3 * gap, SHOWN[1] + 2 * title + 2 * gap),
                      (40, 40, 44))
    draw = ImageDraw.Draw(sheet)
    heading = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 22)
    for k, (name, panel) in enumerate(panels):
        x = gap + k * (SHOWN[0] + gap)
        draw.text((x, gap // 2), name, font=heading, fill=(235, 235, 235))
        sheet.paste(panel, (x, gap + title))
    draw.text((gap, SHOWN[1] + gap + title + 8), "green: click areas   cyan: slider lines and "
              "where a knob can be grabbed   magenta: the On/Off word   yellow: the flag at "
              "rest, orange its pole edge", font=heading, fill=(235, 235, 235))
    output.parent.mkdir(parents=True, exist_ok=True)
    sheet.save(output)
    print(output)


if __name__ == "__main__":
    main()
