#!/usr/bin/python3
"""Draws the security pictures of the program and the rank icons of the demo site.

Run with Debian's python3 (python3-pil) and fonts-wqy-microhei installed:

    /usr/bin/python3 resources/draw_resources.py

Writes resources/picture_{pending,danger,unknown,safe}.gif and
tools/demo_site/rank_icons/{b,s}_*.gif. The outputs are committed; the build only embeds them.
Shapes are drawn at four times the final size and averaged down, then reduced to a small fixed
palette, so the same input gives the same bytes on every run.
"""

import io
import math
import os

from PIL import Image, ImageDraw, ImageFont

SCALE = 4
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
FONT_PATH = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

WHITE = (255, 255, 255)
LIGHT_GREY = (236, 236, 236)
FRAME_GREY = (206, 206, 206)

# (light half, base, dark rim, text) for each shield colour.
SHIELD_COLOURS = {
    "green": ((92, 190, 84), (46, 154, 52), (24, 104, 30), (30, 140, 40)),
    "blue": ((88, 150, 232), (38, 104, 204), (20, 62, 142), (30, 90, 200)),
    "red": ((236, 96, 80), (206, 40, 32), (140, 20, 16), (214, 30, 24)),
}


def shield_points(left, top, width, height, steps=24):
    """Outline of a heater shield: a gently arched top, straight upper sides, and lower sides
    curving in to a point at the bottom centre."""
    points = []
    shoulder = top + height * 0.10
    side_end = top + height * 0.48
    bottom = (left + width / 2, top + height)
    # Top edge, from the left shoulder over the middle to the right shoulder.
    for i in range(steps + 1):
        t = i / steps
        x = left + width * t
        y = shoulder - height * 0.10 * math.sin(math.pi * t)
        points.append((x, y))
    # Right side down, then a quadratic curve into the point.
    points.append((left + width, side_end))
    for i in range(1, steps + 1):
        t = i / steps
        cx, cy = left + width, top + height * 0.80
        x = (1 - t) ** 2 * (left + width) + 2 * (1 - t) * t * cx + t * t * bottom[0]
        y = (1 - t) ** 2 * side_end + 2 * (1 - t) * t * cy + t * t * bottom[1]
        points.append((x, y))
    # Mirror for the left side, up to the left shoulder.
    for i in range(steps - 1, -1, -1):
        t = i / steps
        cx, cy = left, top + height * 0.80
        x = (1 - t) ** 2 * left + 2 * (1 - t) * t * cx + t * t * bottom[0]
        y = (1 - t) ** 2 * side_end + 2 * (1 - t) * t * cy + t * t * bottom[1]
        points.append((x, y))
    points.append((left, side_end))
    return points


def draw_shield(image, left, top, width, height, colour):
    """A shield with a dark rim, a lighter left half and a base-coloured right half."""
    light, base, rim, _ = SHIELD_COLOURS[colour]
    draw = ImageDraw.Draw(image)
    draw.polygon(shield_points(left, top, width, height), fill=rim)
    inset = width * 0.07
    inner = shield_points(left + inset, top + inset, width - 2 * inset, height - 2.1 * inset)
    draw.polygon(inner, fill=light)
    right_half = Image.new("L", image.size, 0)
    mask = ImageDraw.Draw(right_half)
    mask.polygon(inner, fill=255)
    mask.rectangle([0, 0, left + width / 2, image.size[1]], fill=0)
    image.paste(base, mask=right_half)


def draw_screen(draw, cx, cy, size):
    """A white monitor: a framed screen with a shine line, a neck and a foot."""
    w, h = size, size * 0.68
    x0, y0 = cx - w / 2, cy - h / 2 - size * 0.10
    r = size * 0.08
    draw.rounded_rectangle([x0, y0, x0 + w, y0 + h], radius=r, fill=WHITE)
    line = size * 0.11
    draw.rectangle([x0 + line, y0 + line, x0 + w - line, y0 + h - line * 1.3], fill=(0, 0, 0, 0))
    neck_top = y0 + h
    draw.rectangle([cx - size * 0.07, neck_top, cx + size * 0.07, neck_top + size * 0.16],
                   fill=WHITE)
    draw.rounded_rectangle([cx - size * 0.30, neck_top + size * 0.14, cx + size * 0.30,
                            neck_top + size * 0.24], radius=size * 0.04, fill=WHITE)


def screen_layer(size_px, cx, cy, size):
    """The monitor drawn on its own layer, so the screen's inside shows the shield through."""
    layer = Image.new("RGBA", size_px, (0, 0, 0, 0))
    draw_screen(ImageDraw.Draw(layer), cx, cy, size)
    return layer


def draw_mark(draw, kind, cx, cy, size):
    """White sign on a result shield: ! for danger, ? for unknown, a tick for safe."""
    stroke = size * 0.20
    if kind == "danger":
        draw.rounded_rectangle([cx - stroke / 2, cy - size * 0.52, cx + stroke / 2, cy + size * 0.18],
                               radius=stroke / 2, fill=WHITE)
        draw.ellipse([cx - stroke * 0.62, cy + size * 0.32, cx + stroke * 0.62,
                      cy + size * 0.32 + stroke * 1.24], fill=WHITE)
    elif kind == "unknown":
        r = size * 0.30
        box = [cx - r, cy - size * 0.55, cx + r, cy - size * 0.55 + 2 * r]
        draw.arc(box, start=180, end=405, fill=WHITE, width=int(stroke))
        draw.line([(cx + r * math.cos(math.radians(45)) - stroke * 0.1,
                    cy - size * 0.55 + r + r * math.sin(math.radians(45))),
                   (cx, cy + size * 0.04), (cx, cy + size * 0.18)], fill=WHITE, width=int(stroke),
                  joint="curve")
        draw.ellipse([cx - stroke * 0.62, cy + size * 0.32, cx + stroke * 0.62,
                      cy + size * 0.32 + stroke * 1.24], fill=WHITE)
    else:
        w = int(stroke * 1.05)
        points = [(cx - size * 0.42, cy - size * 0.02), (cx - size * 0.12, cy + size * 0.30),
                  (cx + size * 0.46, cy - size * 0.34)]
        draw.line(points, fill=WHITE, width=w, joint="curve")
        for x, y in (points[0], points[2]):
            draw.ellipse([x - w / 2, y - w / 2, x + w / 2, y + w / 2], fill=WHITE)


def finish(big, size, colours):
    """Averages the big drawing down to its final size and reduces it to a fixed palette."""
    small = big.convert("RGB").resize(size, Image.Resampling.BOX)
    return small.quantize(colors=colours, method=Image.Quantize.MEDIANCUT,
                          dither=Image.Dither.NONE)


def gif_bytes(image, version=b"87a", transparency=None):
    out = io.BytesIO()
    options = {"optimize": False}
    if transparency is not None:
        options["transparency"] = transparency
    image.save(out, format="GIF", **options)
    data = bytearray(out.getvalue())
    if transparency is None:
        # Pillow writes 87a unless an 89a feature is used; the pending picture is an 89a file.
        data[3:6] = version
    return bytes(data)


def picture_pending():
    w, h = 160 * SCALE, 46 * SCALE
    big = Image.new("RGBA", (w, h), LIGHT_GREY + (255,))
    draw = ImageDraw.Draw(big)
    draw.rectangle([0, 0, w - 1, h - 1], outline=FRAME_GREY, width=SCALE)
    shield_w, shield_h = 36 * SCALE, 40 * SCALE
    gap = (w - 3 * shield_w) / 4
    for i, colour in enumerate(("green", "blue", "red")):
        left = gap + i * (shield_w + gap)
        top = 3 * SCALE
        draw_shield(big, left, top, shield_w, shield_h, colour)
        monitor = screen_layer((w, h), left + shield_w / 2, top + shield_h * 0.46, 17 * SCALE)
        big.alpha_composite(monitor)
    return gif_bytes(finish(big, (160, 46), 48), version=b"89a")


def picture_result(kind, colour, words):
    w, h = 160 * SCALE, 46 * SCALE
    big = Image.new("RGB", (w, h), WHITE)
    shield_w, shield_h = 36 * SCALE, 40 * SCALE
    left, top = 3 * SCALE, 3 * SCALE
    draw_shield(big, left, top, shield_w, shield_h, colour)
    draw = ImageDraw.Draw(big)
    draw_mark(draw, kind, left + shield_w / 2, top + shield_h * 0.44, 18 * SCALE)
    font = ImageFont.truetype(FONT_PATH, 16 * SCALE)
    text_colour = SHIELD_COLOURS[colour][3]
    x = left + shield_w + 5 * SCALE
    box = draw.textbbox((0, 0), words, font=font, stroke_width=SCALE // 2)
    y = (h - (box[3] - box[1])) / 2 - box[1]
    draw.text((x, y), words, font=font, fill=text_colour, stroke_width=SCALE // 2,
              stroke_fill=text_colour)
    return gif_bytes(finish(big, (160, 46), 32))


# Rank icons: hearts (red), diamonds (blue), crowns (cap) and gold crowns (crown), 1 to 5 of
# them in a row, 16 pixels high. Buyer icons are a lighter shade of the seller ones, so the two
# sets never share bytes.
ICON = 16


def heart(draw, x, y, s, fill, dark):
    r = s * 0.26
    points = []
    for i in range(0, 361, 6):
        t = math.radians(i)
        hx = 16 * math.sin(t) ** 3
        hy = 13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t)
        points.append((x + s / 2 + hx * s / 36, y + s * 0.44 - hy * s / 36))
    draw.polygon(points, fill=dark)
    inner = [(x + s / 2 + (px - x - s / 2) * 0.82, y + s * 0.47 + (py - y - s * 0.44) * 0.82)
             for px, py in points]
    draw.polygon(inner, fill=fill)
    draw.ellipse([x + s * 0.24, y + s * 0.22, x + s * 0.24 + r, y + s * 0.22 + r * 0.8],
                 fill=(255, 255, 255))


def diamond(draw, x, y, s, fill, dark):
    top, girdle, bottom = y + s * 0.14, y + s * 0.40, y + s * 0.94
    outline = [(x + s * 0.24, top), (x + s * 0.76, top), (x + s * 0.98, girdle),
               (x + s * 0.5, bottom), (x + s * 0.02, girdle)]
    draw.polygon(outline, fill=dark)
    inner = [(x + s * 0.28, top + s * 0.07), (x + s * 0.72, top + s * 0.07),
             (x + s * 0.88, girdle), (x + s * 0.5, bottom - s * 0.12), (x + s * 0.12, girdle)]
    draw.polygon(inner, fill=fill)
    draw.polygon([(x + s * 0.28, top + s * 0.07), (x + s * 0.5, top + s * 0.07),
                  (x + s * 0.40, girdle), (x + s * 0.12, girdle)], fill=(255, 255, 255))


def crown(draw, x, y, s, fill, dark):
    base_top, base_bottom = y + s * 0.70, y + s * 0.90
    outline = [(x + s * 0.04, y + s * 0.26), (x + s * 0.28, y + s * 0.52),
               (x + s * 0.5, y + s * 0.14), (x + s * 0.72, y + s * 0.52),
               (x + s * 0.96, y + s * 0.26), (x + s * 0.88, base_top),
               (x + s * 0.12, base_top)]
    draw.polygon(outline, fill=dark)
    inner = [(x + s * 0.12, y + s * 0.40), (x + s * 0.29, y + s * 0.60),
             (x + s * 0.5, y + s * 0.28), (x + s * 0.71, y + s * 0.60),
             (x + s * 0.88, y + s * 0.40), (x + s * 0.83, base_top - s * 0.05),
             (x + s * 0.17, base_top - s * 0.05)]
    draw.polygon(inner, fill=fill)
    draw.rectangle([x + s * 0.12, base_top, x + s * 0.88, base_bottom], fill=dark)
    for px, py in ((0.04, 0.26), (0.5, 0.14), (0.96, 0.26)):
        r = s * 0.075
        draw.ellipse([x + s * px - r, y + s * py - r, x + s * px + r, y + s * py + r], fill=dark)


RANKS = {
    "red": (heart, (226, 36, 40), (160, 16, 24)),
    "blue": (diamond, (56, 128, 232), (24, 70, 170)),
    "cap": (crown, (52, 110, 220), (22, 56, 150)),
    "crown": (crown, (246, 190, 30), (196, 120, 10)),
}


def lighter(colour, amount=0.22):
    return tuple(int(c + (255 - c) * amount) for c in colour)


def rank_icon(rank, count, buyer):
    shape, fill, dark = RANKS[rank]
    if buyer:
        fill, dark = lighter(fill), lighter(dark, 0.12)
    s = ICON * SCALE
    step = (ICON + 1) * SCALE
    w = count * step - SCALE
    big = Image.new("RGB", (w, s), WHITE)
    draw = ImageDraw.Draw(big)
    for i in range(count):
        shape(draw, i * step, 0, s, fill, dark)
    small = big.resize((w // SCALE, ICON), Image.Resampling.BOX)
    image = small.quantize(colors=16, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    # The white ground is transparent; edges keep their blend with white, as on the site.
    palette = image.getpalette()[: 3 * 16]
    colours = [tuple(palette[i:i + 3]) for i in range(0, len(palette), 3)]
    white = colours.index(WHITE) if WHITE in colours else None
    return gif_bytes(image, transparency=white)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    write(os.path.join(HERE, "picture_pending.gif"), picture_pending())
    write(os.path.join(HERE, "picture_danger.gif"),
          picture_result("danger", "red", "安全等级：危险"))
    write(os.path.join(HERE, "picture_unknown.gif"),
          picture_result("unknown", "blue", "安全等级：未知"))
    write(os.path.join(HERE, "picture_safe.gif"), picture_result("safe", "green", "安全等级：安全"))
    icons = os.path.join(ROOT, "tools", "demo_site", "rank_icons")
    for side, ranks in (("b", ("red", "blue", "cap")), ("s", ("red", "blue", "cap", "crown"))):
        for rank in ranks:
            for count in range(1, 6):
                write(os.path.join(icons, f"{side}_{rank}_{count}.gif"),
                      rank_icon(rank, count, side == "b"))


if __name__ == "__main__":
    main()
