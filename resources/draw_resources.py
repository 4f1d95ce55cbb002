#!/usr/bin/python3
"""Draws the security pictures of the program and the rank icons of the demo site.

Run with Debian's python3 (python3-pil) and fonts-wqy-microhei installed:

    /usr/bin/python3 resources/draw_resources.py

Writes the pictures and sounds built into the program (resources/picture_*.{gif,bmp,jpg},
resources/sound_*.wav), the program icon (resources/icon/zembrik_<size>.png and zembrik.ico) and
tools/demo_site/rank_icons/{b,s}_*.gif. The outputs are committed; the build only embeds them.
Shapes are drawn at four times the final size and averaged down, then reduced to a small fixed
palette, so the same input gives the same bytes on every run. Sounds are synthesised without
randomness for the same reason.
"""

import io
import math
import os
import struct
import wave

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


# The query button: a dark red face with rounded corners. The button takes the colour of a
# picture's top-left pixel as transparent, so the corners get a colour of their own that appears
# nowhere else in the picture.
QUERY_FACE_TOP = (178, 34, 30)
QUERY_FACE_BOTTOM = (122, 14, 12)
QUERY_EDGE = (96, 8, 8)
QUERY_CORNER = (240, 240, 240)
YELLOW = (255, 222, 0)


def vertical_gradient(size, top, bottom):
    w, h = size
    column = Image.new("RGB", (1, h))
    for y in range(h):
        t = y / max(h - 1, 1)
        column.putpixel((0, y), tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    return column.resize((w, h), Image.Resampling.NEAREST)


def draw_magnifier(draw, cx, cy, radius, stroke, fill):
    """A ring centred on (cx, cy) with a handle running to the lower right."""
    draw.ellipse([cx - radius, cy - radius, cx + radius, cy + radius], outline=fill,
                 width=round(stroke))
    a = math.radians(45)
    start = (cx + radius * math.cos(a), cy + radius * math.sin(a))
    end = (cx + radius * 2.0 * math.cos(a), cy + radius * 2.0 * math.sin(a))
    handle = stroke * 1.35
    draw.line([start, end], fill=fill, width=round(handle))
    draw.ellipse([end[0] - handle / 2, end[1] - handle / 2, end[0] + handle / 2,
                  end[1] + handle / 2], fill=fill)


def picture_query_button(text_colour):
    w, h = 90 * SCALE, 26 * SCALE
    face = vertical_gradient((w, h), QUERY_FACE_TOP, QUERY_FACE_BOTTOM)
    # A lighter upper half gives the face a slight sheen.
    sheen = vertical_gradient((w, h // 2), (204, 66, 58), QUERY_FACE_TOP)
    face.paste(sheen, (0, 0))
    shape = Image.new("L", (w, h), 0)
    ImageDraw.Draw(shape).rounded_rectangle([0, 0, w - 1, h - 1], radius=4 * SCALE, fill=255)
    big = Image.new("RGB", (w, h), QUERY_EDGE)
    inner = Image.new("L", (w, h), 0)
    ImageDraw.Draw(inner).rounded_rectangle([SCALE, SCALE, w - 1 - SCALE, h - 1 - SCALE],
                                            radius=3 * SCALE, fill=255)
    big.paste(face, mask=inner)
    draw = ImageDraw.Draw(big)
    draw_magnifier(draw, 26 * SCALE, 11.5 * SCALE, 4.6 * SCALE, 1.9 * SCALE, WHITE)
    font = ImageFont.truetype(FONT_PATH, 15 * SCALE)
    box = draw.textbbox((0, 0), "查询", font=font)
    x = 40 * SCALE - box[0]
    y = (h - (box[3] - box[1])) / 2 - box[1]
    draw.text((x, y), "查询", font=font, fill=text_colour, stroke_width=SCALE // 4,
              stroke_fill=text_colour)
    small = big.resize((90, 26), Image.Resampling.BOX)
    # Pixels mostly outside the rounded face become the corner colour; the rest keep the face's
    # blend with its edge. The corner colour is added to the palette after quantising so that
    # no face pixel can share it.
    outside = shape.resize((90, 26), Image.Resampling.BOX).point(lambda v: 255 if v < 128 else 0)
    image = small.quantize(colors=63, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = image.getpalette()[: 3 * 63]
    palette += [0, 0, 0] * (63 - len(palette) // 3) + list(QUERY_CORNER)
    image.putpalette(palette)
    image.paste(63, mask=outside)
    return gif_bytes(image)


# The round buttons: a glossy blue disc on a transparent ground.
def bmp_rgba_bytes(image):
    """A 32-bit BMP with a BITMAPV5HEADER whose bit fields include an alpha mask, so that
    readers which honour the header keep the transparency. Colours are not premultiplied;
    fully transparent pixels are white, the buttons' ground, for readers that ignore alpha."""
    image = image.convert("RGBA")
    w, h = image.size
    rows = []
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = image.getpixel((x, y))
            rows.append(bytes((b, g, r, a)) if a else b"\xff\xff\xff\x00")
    pixels = b"".join(rows)
    header = struct.pack(
        "<IiiHHIIiiII" + "IIII" + "I" + "36s" + "III" + "IIII",
        124, w, h, 1, 32, 3, len(pixels), 2835, 2835, 0, 0,
        0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000,
        0x73524742,  # LCS_sRGB
        bytes(36), 0, 0, 0,
        4, 0, 0, 0)  # LCS_GM_IMAGES, no profile
    offset = 14 + len(header)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return file_header + header + pixels


def glossy_disc(size):
    """A blue disc, lighter towards the top, with a dark rim and a white highlight arc."""
    s = size * SCALE
    big = Image.new("RGBA", (s, s), (255, 255, 255, 0))
    draw = ImageDraw.Draw(big)
    draw.ellipse([0, 0, s - 1, s - 1], fill=(22, 70, 160, 255))
    body = vertical_gradient((s, s), (96, 166, 240), (26, 92, 196))
    mask = Image.new("L", (s, s), 0)
    inset = 1.2 * SCALE
    ImageDraw.Draw(mask).ellipse([inset, inset, s - 1 - inset, s - 1 - inset], fill=255)
    big.paste(body, mask=mask)
    # The gloss: a soft white ellipse over the upper part of the disc.
    gloss = Image.new("L", (s, s), 0)
    gd = ImageDraw.Draw(gloss)
    gd.ellipse([s * 0.16, s * 0.07, s * 0.84, s * 0.52], fill=110)
    gd.ellipse([s * 0.16, s * 0.30, s * 0.84, s * 0.75], fill=0)
    big.paste((255, 255, 255, 255), mask=Image.composite(gloss, Image.new("L", (s, s), 0), mask))
    return big


def picture_instructions_button():
    big = glossy_disc(30)
    s = 30 * SCALE
    draw_magnifier(ImageDraw.Draw(big), s * 0.44, s * 0.45, s * 0.17, 2.4 * SCALE,
                   WHITE + (255,))
    return bmp_rgba_bytes(big.resize((30, 30), Image.Resampling.BOX))


def picture_about_button():
    big = glossy_disc(30)
    s = 30 * SCALE
    draw = ImageDraw.Draw(big)
    stem = 3.6 * SCALE
    draw.ellipse([s / 2 - stem * 0.62, s * 0.20, s / 2 + stem * 0.62, s * 0.20 + stem * 1.24],
                 fill=WHITE + (255,))
    draw.rounded_rectangle([s / 2 - stem / 2, s * 0.40, s / 2 + stem / 2, s * 0.78],
                           radius=stem * 0.3, fill=WHITE + (255,))
    # Serifs: a short foot across the bottom and a flag to the upper left.
    draw.rectangle([s / 2 - stem * 1.05, s * 0.78 - stem * 0.55, s / 2 + stem * 1.05, s * 0.78],
                   fill=WHITE + (255,))
    draw.rectangle([s / 2 - stem * 1.0, s * 0.40, s / 2, s * 0.40 + stem * 0.55],
                   fill=WHITE + (255,))
    return bmp_rgba_bytes(big.resize((30, 30), Image.Resampling.BOX))


# Review flowers for the header cells and the given-reviews labels.
LIGHT_BLUE = (0xCB, 0xE3, 0xEF)  # 0xEFE3CB as 0x00BBGGRR
STEM_GREEN = (52, 150, 48)
LEAF_GREEN = (76, 176, 60)
BUD_GREY = (78, 78, 82)
BUD_DARK = (50, 50, 54)


def draw_leaf(draw, x, y, length, width, angle, fill):
    """A pointed leaf from (x, y) along `angle` degrees (0 is to the right, y grows down)."""
    a = math.radians(angle)
    dx, dy = math.cos(a), math.sin(a)
    nx, ny = -dy, dx
    points = []
    for i in range(13):
        t = i / 12
        bulge = width / 2 * math.sin(math.pi * t)
        points.append((x + dx * length * t + nx * bulge, y + dy * length * t + ny * bulge))
    for i in range(11, 0, -1):
        t = i / 12
        bulge = width / 2 * math.sin(math.pi * t)
        points.append((x + dx * length * t - nx * bulge, y + dy * length * t - ny * bulge))
    draw.polygon(points, fill=fill)


def draw_flower(draw, cx, petal, centre):
    """An upright flower centred in a 20 × 21 cell at x = cx: five petals round a centre on a
    straight stem with one leaf. Coordinates are in cell pixels times SCALE."""
    u = SCALE
    head_y = 6.6 * u
    draw.line([(cx, head_y), (cx, 21 * u)], fill=STEM_GREEN, width=round(1.5 * u))
    draw_leaf(draw, cx, 16 * u, 5.2 * u, 2.6 * u, -35, LEAF_GREEN)
    draw_leaf(draw, cx, 18.5 * u, 4.2 * u, 2.2 * u, 210, LEAF_GREEN)
    r, d = 2.7 * u, 2.9 * u
    dark = tuple(max(c - 50, 0) for c in petal)
    for k in range(5):
        a = math.radians(-90 + 72 * k)
        px, py = cx + d * math.cos(a), head_y + d * math.sin(a)
        draw.ellipse([px - r - 0.4 * u, py - r - 0.4 * u, px + r + 0.4 * u, py + r + 0.4 * u],
                     fill=dark)
    for k in range(5):
        a = math.radians(-90 + 72 * k)
        px, py = cx + d * math.cos(a), head_y + d * math.sin(a)
        draw.ellipse([px - r, py - r, px + r, py + r], fill=petal)
    c = 1.9 * u
    draw.ellipse([cx - c, head_y - c, cx + c, head_y + c], fill=centre)


def draw_wilted(draw, cx):
    """A stem rising from the bottom, bending over to the right and hanging a closed dark grey
    bud head down."""
    u = SCALE
    points = []
    # Up from the base, then a curve over the top and down (a quadratic and a half circle).
    for i in range(11):
        t = i / 10
        points.append((cx - 2.2 * u, 21 * u - 12 * u * t))
    top_cx, top_cy, rr = cx + 1.0 * u, 9 * u, 3.2 * u
    for i in range(1, 15):
        a = math.radians(180 + 190 * i / 14)
        points.append((top_cx + rr * math.cos(a), top_cy + rr * 0.9 * math.sin(a)))
    draw.line(points, fill=STEM_GREEN, width=round(1.5 * u), joint="curve")
    draw_leaf(draw, cx - 1.3 * u, 17 * u, 4.6 * u, 2.2 * u, 200, LEAF_GREEN)
    draw_leaf(draw, cx - 1.1 * u, 15 * u, 4.0 * u, 2.0 * u, -20, LEAF_GREEN)
    # The bud hangs from the stem's end, pointing down and slightly to the right.
    ex, ey = points[-1]
    sepal = [(ex - 1.6 * u, ey + 0.8 * u), (ex + 1.6 * u, ey + 0.4 * u),
             (ex + 0.3 * u, ey - 0.4 * u)]
    bud = []
    length, half = 7.6 * u, 2.6 * u
    a = math.radians(96)
    dx, dy = math.cos(a), math.sin(a)
    nx, ny = -dy, dx
    for i in range(25):
        t = i / 24
        w = half * math.sin(math.pi * t ** 0.8) if t < 1 else 0
        bud.append((ex + dx * length * t + nx * w, ey + dy * length * t + ny * w))
    for i in range(23, 0, -1):
        t = i / 24
        w = half * math.sin(math.pi * t ** 0.8)
        bud.append((ex + dx * length * t - nx * w, ey + dy * length * t - ny * w))
    draw.polygon(bud, fill=BUD_DARK)
    inner = [(ex + (x - ex) * 0.78 + dx * 0.6 * u, ey + (y - ey) * 0.78 + dy * 0.6 * u)
             for x, y in bud]
    draw.polygon(inner, fill=BUD_GREY)
    draw.polygon(sepal, fill=STEM_GREEN)


def jpeg_bytes(image):
    out = io.BytesIO()
    image.save(out, format="JPEG", quality=95, subsampling=0, optimize=False)
    return out.getvalue()


def picture_review(kind, width, ground):
    """A review flower in the right-hand 20 pixels of a width × 21 picture."""
    big = Image.new("RGB", (width * SCALE, 21 * SCALE), ground)
    draw = ImageDraw.Draw(big)
    cx = (width - 10) * SCALE
    if kind == "good":
        draw_flower(draw, cx, (222, 30, 36), (255, 206, 60))
    elif kind == "neutral":
        draw_flower(draw, cx, (250, 200, 20), (214, 120, 20))
    else:
        draw_wilted(draw, cx)
    return jpeg_bytes(big.resize((width, 21), Image.Resampling.BOX))


# Sounds.
def wav_bytes(channels, rate, sample_bytes, frames):
    out = io.BytesIO()
    with wave.open(out, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(sample_bytes)
        w.setframerate(rate)
        w.writeframes(frames)
    return out.getvalue()


def sound_pass_over():
    """A soft rising two-note chime: sine tones with a gentle attack and a decaying tail."""
    rate = 22050
    count = round(rate * 0.261)
    samples = []
    for n in range(count):
        t = n / rate
        attack = min(t / 0.006, 1.0)
        tail = min((count - 1 - n) / (rate * 0.010), 1.0)
        v = 0.0
        for start, freq in ((0.0, 1046.5), (0.045, 1568.0)):
            if t >= start:
                u = t - start
                v += math.sin(2 * math.pi * freq * u) * math.exp(-u / 0.055) * min(u / 0.004, 1)
        samples.append(round(7000 * attack * tail * v))
    return wav_bytes(1, rate, 2, struct.pack(f"<{count}h", *samples))


def sound_click():
    """A short click: a burst of noise and a fast-decaying 2 kHz knock, then silence. 8-bit
    samples are unsigned with 128 as silence; both channels carry the same signal."""
    rate = 44100
    count = round(rate * 0.133)
    lcg = 12345
    data = bytearray()
    for n in range(count):
        t = n / rate
        lcg = (lcg * 1103515245 + 12345) & 0x7FFFFFFF
        noise = lcg / 0x3FFFFFFF - 1.0
        v = 0.55 * noise * math.exp(-t / 0.0015) + 0.6 * math.sin(2 * math.pi * 2000 * t) * \
            math.exp(-t / 0.006)
        s = max(0, min(255, 128 + round(100 * v)))
        data += bytes((s, s))
    return wav_bytes(2, rate, 1, bytes(data))


# The program icon: the blue shield of the security pictures carrying a white magnifier.
ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 96, 128, 256)


def program_icon(size):
    scale = 8
    s = size * scale
    big = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    margin = s * 0.04
    draw_shield(big, margin + s * 0.03, margin, s - 2 * margin - s * 0.06, s - 2 * margin, "blue")
    draw = ImageDraw.Draw(big)
    # Strokes stay at least about 1.7 pixels wide so the magnifier reads at 16 pixels.
    stroke = max(s * 0.075, 1.7 * scale)
    draw_magnifier(draw, s * 0.45, s * 0.42, s * 0.17, stroke, WHITE + (255,))
    return big.resize((size, size), Image.Resampling.BOX)


def png_bytes(image):
    out = io.BytesIO()
    image.save(out, format="PNG", optimize=False)
    return out.getvalue()


def ico_bytes(images):
    """An ICO holding each image: 32-bit DIBs with an AND mask below 256 pixels, PNG at 256,
    the way Windows itself stores icons."""
    entries, blobs = [], []
    for image in images:
        w, h = image.size
        if w >= 256:
            blob = png_bytes(image)
        else:
            pixels = bytearray()
            mask = bytearray()
            mask_stride = ((w + 31) // 32) * 4
            for y in range(h - 1, -1, -1):
                row_mask = bytearray(mask_stride)
                for x in range(w):
                    r, g, b, a = image.getpixel((x, y))
                    pixels += bytes((b, g, r, a))
                    if a == 0:
                        row_mask[x // 8] |= 0x80 >> (x % 8)
                mask += row_mask
            header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0,
                                 len(pixels) + len(mask), 0, 0, 0, 0)
            blob = header + bytes(pixels) + bytes(mask)
        entries.append((w, h))
        blobs.append(blob)
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for (w, h), blob in zip(entries, blobs):
        directory += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return directory + b"".join(blobs)


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
    write(os.path.join(HERE, "picture_query_button.gif"), picture_query_button(WHITE))
    write(os.path.join(HERE, "picture_query_button_hover.gif"), picture_query_button(YELLOW))
    write(os.path.join(HERE, "picture_instructions_button.bmp"), picture_instructions_button())
    write(os.path.join(HERE, "picture_about_button.bmp"), picture_about_button())
    for kind in ("good", "neutral", "bad"):
        write(os.path.join(HERE, f"picture_{kind}_header.jpg"),
              picture_review(kind, 40, LIGHT_BLUE))
    for kind in ("neutral", "bad"):
        write(os.path.join(HERE, f"picture_{kind}_given.jpg"), picture_review(kind, 20, WHITE))
    write(os.path.join(HERE, "sound_pass_over.wav"), sound_pass_over())
    write(os.path.join(HERE, "sound_click.wav"), sound_click())
    icons = [program_icon(size) for size in ICON_SIZES]
    for size, image in zip(ICON_SIZES, icons):
        write(os.path.join(HERE, "icon", f"zembrik_{size}.png"), png_bytes(image))
    write(os.path.join(HERE, "icon", "zembrik.ico"), ico_bytes(icons))
    icons = os.path.join(ROOT, "tools", "demo_site", "rank_icons")
    for side, ranks in (("b", ("red", "blue", "cap")), ("s", ("red", "blue", "cap", "crown"))):
        for rank in ranks:
            for count in range(1, 6):
                write(os.path.join(icons, f"{side}_{rank}_{count}.gif"),
                      rank_icon(rank, count, side == "b"))


if __name__ == "__main__":
    main()
