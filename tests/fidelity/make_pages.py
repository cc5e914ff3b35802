#!/usr/bin/python3
"""Writes the fidelity test pages: small EMF recordings, one family of
records each, as office suites and report tools write them (see README.md
beside this script). Run it from anywhere; the pages go to pages/ beside it.

    /usr/bin/python3 tests/fidelity/make_pages.py
"""
import math
import os
import struct

WIDTH, HEIGHT = 768, 576  # pixels at 96 dpi; the frame is exact in 0.01 mm

# Record types.
EMR_HEADER, EMR_EOF = 1, 14
EMR_SETBKMODE, EMR_SETPOLYFILLMODE, EMR_SETROP2, EMR_SETSTRETCHBLTMODE = 18, 19, 20, 21
EMR_SETTEXTALIGN, EMR_SETTEXTCOLOR = 22, 24
EMR_MOVETOEX, EMR_SAVEDC, EMR_RESTOREDC, EMR_SETWORLDTRANSFORM = 27, 33, 34, 35
EMR_SELECTOBJECT, EMR_CREATEPEN, EMR_CREATEBRUSHINDIRECT, EMR_DELETEOBJECT = 37, 38, 39, 40
EMR_ELLIPSE, EMR_RECTANGLE, EMR_LINETO = 42, 43, 54
EMR_BEGINPATH, EMR_ENDPATH, EMR_FILLPATH, EMR_STROKEANDFILLPATH, EMR_STROKEPATH = 59, 60, 62, 63, 64
EMR_WIDENPATH, EMR_SELECTCLIPPATH = 66, 67
EMR_BITBLT, EMR_STRETCHBLT, EMR_MASKBLT, EMR_STRETCHDIBITS = 76, 77, 78, 81
EMR_EXTCREATEFONTINDIRECTW, EMR_EXTTEXTOUTA, EMR_EXTTEXTOUTW = 82, 83, 84
EMR_ALPHABLEND, EMR_TRANSPARENTBLT = 114, 116
GM_COMPATIBLE, GM_ADVANCED = 1, 2
TA_BASELINE = 24

SRCCOPY, SRCPAINT, SRCAND, SRCINVERT = 0xCC0020, 0xEE0086, 0x8800C6, 0x660046
ETO_GLYPH_INDEX = 0x10
DSTCOPY = 0xAA0029
TRANSPARENT = 1
RGN_AND, RGN_COPY = 1, 5
SYMBOL_CHARSET, SHIFTJIS_CHARSET, HANGUL_CHARSET, GB2312_CHARSET = 2, 128, 129, 134
HEBREW_CHARSET, GREEK_CHARSET, RUSSIAN_CHARSET, EASTEUROPE_CHARSET = 177, 161, 204, 238
R2_NOT, R2_XORPEN, R2_MASKPEN, R2_MERGEPEN, R2_NOTXORPEN, R2_COPYPEN = 6, 7, 9, 15, 10, 13
WHITE_BRUSH, NULL_BRUSH, BLACK_PEN, NULL_PEN = 0x80000000, 0x80000005, 0x80000007, 0x80000008


def rgb(r, g, b):
    return r | g << 8 | b << 16


class Page:
    def __init__(self):
        self.records = []
        self.handles = 1

    def add(self, kind, payload=b""):
        payload += b"\0" * (-len(payload) % 4)
        self.records.append(struct.pack("<II", kind, 8 + len(payload)) + payload)

    def ints(self, kind, *values):
        self.add(kind, struct.pack("<%di" % len(values), *values))

    def handle(self):
        self.handles += 1
        return self.handles - 1

    def select(self, handle):
        self.add(EMR_SELECTOBJECT, struct.pack("<I", handle))

    def brush(self, color, style=0, hatch=0):
        h = self.handle()
        self.add(EMR_CREATEBRUSHINDIRECT, struct.pack("<IIIi", h, style, color, hatch))
        self.select(h)
        return h

    def pen(self, color, width=1, style=0):
        h = self.handle()
        self.add(EMR_CREATEPEN, struct.pack("<IIiiI", h, style, width, 0, color))
        self.select(h)
        return h

    def font(self, face, height, charset=1, weight=400, escapement=0):
        h = self.handle()
        name = face.encode("utf-16-le")[:62].ljust(64, b"\0")
        logfont = struct.pack("<iiiii8B", -height, 0, escapement, escapement, weight,
                              0, 0, 0, charset, 0, 0, 4, 0) + name
        # LOGFONTW followed by the rest of an ELOGFONTEXDV, as writers store it.
        self.add(EMR_EXTCREATEFONTINDIRECTW, struct.pack("<I", h) + logfont + b"\0" * 228)
        self.select(h)
        return h

    def rect(self, l, t, r, b):
        self.ints(EMR_RECTANGLE, l, t, r, b)

    def ellipse(self, l, t, r, b):
        self.ints(EMR_ELLIPSE, l, t, r, b)

    def line(self, x0, y0, x1, y1):
        self.ints(EMR_MOVETOEX, x0, y0)
        self.ints(EMR_LINETO, x1, y1)

    def text(self, x, y, codes, advance, options=0, wide=True, graphics_mode=GM_COMPATIBLE):
        """codes: str (wide) or bytes (8-bit); one advance per unit."""
        data = codes.encode("utf-16-le") if wide else bytes(codes)
        count = len(data) // 2 if wide else len(data)
        string_at = 76
        dx_at = string_at + len(data) + (-len(data) % 4)
        payload = struct.pack("<4iIff", x, y - advance, x + advance * count, y + advance, graphics_mode, 0, 0)
        payload += struct.pack("<iiIII4iI", x, y, count, string_at, options, 0, 0, -1, -1, dx_at)
        payload += data + b"\0" * (-len(data) % 4)
        payload += struct.pack("<%di" % count, *([advance] * count))
        self.add(EMR_EXTTEXTOUTA if not wide else EMR_EXTTEXTOUTW, payload)

    def stripes(self, l, t, r, b, color=rgb(40, 60, 160)):
        """A background that shows whether a picture over it is see-through."""
        self.select(NULL_PEN)
        self.brush(color)
        for x in range(l, r, 16):
            self.rect(x, t, min(x + 8, r), b)
        self.select(BLACK_PEN)

    def finish(self, path):
        body = b"".join(self.records)
        eof = struct.pack("<IIIII", EMR_EOF, 20, 0, 16, 20)
        frame = (0, 0, WIDTH * 2540 // 96 - 1, HEIGHT * 2540 // 96 - 1)
        size = 108 + len(body) + len(eof)
        header = struct.pack("<II4i4iIIIIHHIII", EMR_HEADER, 108, 0, 0, WIDTH - 1, HEIGHT - 1, *frame,
                             0x464D4520, 0x10000, size, len(self.records) + 2, self.handles, 0, 0, 0, 0)
        header += struct.pack("<iiiiIIIii", 960, 960, 254, 254, 0, 0, 0, 254000, 254000)
        with open(path, "wb") as out:
            out.write(header + body + eof)


def bitmap_info(width, height, bits, compression=0, masks=None, colors=None, v5_alpha_mask=None):
    if v5_alpha_mask is not None:
        r, g, b = masks
        header = struct.pack("<IiiHHIIiiII", 124, width, height, 1, bits, 3, 0, 2835, 2835, 0, 0)
        header += struct.pack("<IIII", r, g, b, v5_alpha_mask) + struct.pack("<I", 0x73524742) + b"\0" * 68
        return header
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, 0, 2835, 2835,
                         len(colors) if colors else 0, 0)
    if masks:
        header += struct.pack("<III", *masks)
    for c in colors or []:
        header += struct.pack("<BBBB", c[2], c[1], c[0], 0)
    return header


def rows_bottom_up(rows, top_down=False):
    return b"".join(rows if top_down else reversed(rows))


def pixels32(width, height, pixel, order=(2, 1, 0, 3)):
    """pixel(x, y) -> (r, g, b, a) stored in the byte order given (blue first by default)."""
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            value = pixel(x, y)
            row += bytes(value[i] for i in order)
        rows.append(bytes(row))
    return rows


def pixels24(width, height, pixel):
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (-len(row) % 4)
        rows.append(bytes(row))
    return rows


def pixels1(width, height, bit):
    rows = []
    for y in range(height):
        row = bytearray((width + 7) // 8)
        for x in range(width):
            if bit(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        row += b"\0" * (-len(row) % 4)
        rows.append(bytes(row))
    return rows


def blit_record(kind, dest, rop, info, bits, source=(0, 0), source_size=None, mask=None):
    """EMR_BITBLT, EMR_STRETCHBLT, EMR_MASKBLT, EMR_TRANSPARENTBLT or EMR_ALPHABLEND."""
    x, y, w, h = dest
    fixed = {EMR_BITBLT: 100, EMR_MASKBLT: 128}.get(kind, 108)
    info_at = fixed
    bits_at = info_at + len(info)
    payload = struct.pack("<4i4iI2i6fII", x, y, x + w - 1, y + h - 1, x, y, w, h, rop, source[0], source[1],
                          1, 0, 0, 1, 0, 0, 0, 0)
    payload += struct.pack("<4I", info_at, len(info), bits_at, len(bits))
    tail = b""
    if kind == EMR_MASKBLT:
        mask_info, mask_bits = mask
        mask_at = bits_at + len(bits)
        tail = struct.pack("<iiIIIII", 0, 0, 0, mask_at, len(mask_info), mask_at + len(mask_info), len(mask_bits))
        payload += tail
        return kind, payload + info + bits + mask_info + mask_bits
    if kind != EMR_BITBLT:
        sw, sh = source_size or (w, h)
        payload += struct.pack("<ii", sw, sh)
    return kind, payload + info + bits


def stretch_dibits(page, dest, info, bits, width, height, rop=SRCCOPY):
    x, y, w, h = dest
    payload = struct.pack("<4iiiiiii", x, y, x + w - 1, y + h - 1, x, y, 0, 0, width, height)
    payload += struct.pack("<IIIIIIii", 80, len(info), 80 + len(info), len(bits), 0, rop, w, h)
    page.add(EMR_STRETCHDIBITS, payload + info + bits)


def add(page, record):
    page.add(*record)


def disk_alpha(x, y, size):
    """A soft-edged disk: full inside, fading over the last four pixels."""
    c = (size - 1) / 2
    d = math.hypot(x - c, y - c)
    return max(0, min(255, int(round((c - d) * 64))))


def alpha_page(path):
    p = Page()
    p.stripes(0, 0, WIDTH, HEIGHT)
    p.select(NULL_PEN)
    p.brush(rgb(255, 255, 255))
    p.rect(0, 300, WIDTH, HEIGHT)  # the lower part white
    size = 96

    def logo(x, y):  # premultiplied red disk with a dark ring
        a = disk_alpha(x, y, size)
        ring = abs(math.hypot(x - size / 2, y - size / 2) - 30) < 5
        r, g, b = (20, 20, 20) if ring else (200, 30, 30)
        return (r * a // 255, g * a // 255, b * a // 255, a)

    # Plain 32-bit rows, bottom-up, the alpha in the top byte.
    info = bitmap_info(size, size, 32)
    bits = rows_bottom_up(pixels32(size, size, logo))
    for at in ((40, 40), (40, 340)):
        add(p, blit_record(EMR_ALPHABLEND, (at[0], at[1], size, size), 0x01FF0000, info, bits, source_size=(size, size)))
    # Bit-field masks after the header, rows top-down.
    info = bitmap_info(size, -size, 32, compression=3, masks=(0xFF0000, 0x00FF00, 0x0000FF))
    bits = rows_bottom_up(pixels32(size, size, logo), top_down=True)
    for at in ((180, 40), (180, 340)):
        add(p, blit_record(EMR_ALPHABLEND, (at[0], at[1], 2 * size, 2 * size), 0x01FF0000, info, bits,
                           source_size=(size, size)))
    # A version-5 header naming its alpha mask, with a constant alpha on top.
    info = bitmap_info(size, size, 32, masks=(0xFF0000, 0x00FF00, 0x0000FF), v5_alpha_mask=0xFF000000)
    bits = rows_bottom_up(pixels32(size, size, logo))
    for at in ((420, 40), (420, 340)):
        add(p, blit_record(EMR_ALPHABLEND, (at[0], at[1], size, size), 0x01A00000, info, bits, source_size=(size, size)))
    # Constant alpha alone over a 24-bit picture: dark squares half see-through.
    info = bitmap_info(64, 64, 24)
    bits = rows_bottom_up(pixels24(64, 64, lambda x, y: (0, 0, 0) if (x // 16 + y // 16) % 2 else (120, 0, 120)))
    for at in ((580, 40), (580, 340)):
        add(p, blit_record(EMR_ALPHABLEND, (at[0], at[1], 128, 128), 0x00800000, info, bits, source_size=(64, 64)))
    # A 32-bit picture in StretchDIBits: the fourth byte is not alpha there.
    info = bitmap_info(64, 64, 32)
    bits = rows_bottom_up(pixels32(64, 64, lambda x, y: (30, 90, 30, 0 if x < 32 else 255)))
    stretch_dibits(p, (40, 200, 128, 64), info, bits, 64, 64)
    p.finish(path)


def masked_page(path):
    p = Page()
    p.stripes(0, 0, WIDTH, HEIGHT, rgb(200, 200, 60))
    size = 64

    def shape(x, y):  # a ring and a bar: the icon's opaque part
        d = math.hypot(x - 31.5, y - 31.5)
        return 18 < d < 30 or (26 < x < 38 and 8 < y < 56)

    mono = [(0, 0, 0), (255, 255, 255)]
    mask_info = bitmap_info(size, size, 1, colors=mono)
    mask_bits = rows_bottom_up(pixels1(size, size, lambda x, y: not shape(x, y)))  # white: see-through
    image_info = bitmap_info(size, size, 24)

    def colour(x, y):
        return (20, 40 + 3 * y, 140) if shape(x, y) else (0, 0, 0)

    image_bits = rows_bottom_up(pixels24(size, size, colour))
    # An icon as StretchDIBits records leave it: mask with SRCAND, image with SRCPAINT.
    for i, at in enumerate(((40, 40), (40, 300))):
        scale = 1 + i
        stretch_dibits(p, (at[0], at[1], size * scale, size * scale), mask_info, mask_bits, size, size, SRCAND)
        stretch_dibits(p, (at[0], at[1], size * scale, size * scale), image_info, image_bits, size, size, SRCPAINT)
    # The same pair as blits, the image with SRCINVERT.
    add(p, blit_record(EMR_BITBLT, (240, 40, size, size), SRCAND, mask_info, mask_bits))
    add(p, blit_record(EMR_BITBLT, (240, 40, size, size), SRCINVERT, image_info, image_bits))
    add(p, blit_record(EMR_STRETCHBLT, (240, 300, 3 * size, 3 * size), SRCAND, mask_info, mask_bits,
                       source_size=(size, size)))
    add(p, blit_record(EMR_STRETCHBLT, (240, 300, 3 * size, 3 * size), SRCINVERT, image_info, image_bits,
                       source_size=(size, size)))
    # MaskBlt: the source where the mask is white, the destination elsewhere.
    select_bits = rows_bottom_up(pixels1(size, size, shape))
    photo = rows_bottom_up(pixels24(size, size, lambda x, y: (60 + 2 * x, 20, 100 + 2 * y)))
    add(p, blit_record(EMR_MASKBLT, (480, 300, size, size), (DSTCOPY << 8 & 0xFF000000) | SRCCOPY, image_info, photo,
                       mask=(mask_info, select_bits)))
    p.finish(path)


# The signs the symbol rows show, as the faces' published mappings to
# Unicode give them: the twin page states them in fonts that have them, so the
# reference player can draw the page's expected look.
SYMBOL_SIGNS = [
    ("Symbola", "\U0001F78F\u2751\u2327\U0001F78E\u2713\U0001F5F6\U0001F5F7\U0001F5F9\u26AB\u25FC\u2B9A"
                "\U0001F86A\U0001F87A\u263A\U0001F57F"),
    ("Symbola", "\U0001F78F\u2751\u2327\U0001F78E\u2713\U0001F5F6\U0001F5F7\U0001F5F9\u26AB\u25FC\u2B9A"
                "\U0001F86A\U0001F87A\u263A\U0001F57F"),
    # Symbol's signs: the metric-compatible face draws them under the same codes.
    ("Standard Symbols PS", "abgdpSW\u00b7\u00d6\u00a5\u00b1\u00b3\u00ae\u00de"),
    ("Symbola", "\U0001F5F8\U0001F5F4\U0001F5F5\u2611\u2BBD\u2612\u25A1\u25CF\u25CB"),
    ("Symbola", "\u25B2\u25C0\u25B6\u25C1\u25B7\u25E3\U0001F852\U0001F851\U0001F783\u2BC5"),
    ("Symbola", "\u2714\u2B1C\u23F5\u23F6\u23FA\U0001F5DA\u2B24\U0001F5D9"),
    ("Symbola", "\u2713\U0001F5F6\U0001F5F9\U0001F5F7\U0001F78F\u26AB\u25FC\u2751"),
]


def glyph_numbers(face, signs):
    """The twin draws glyph numbers: the reference player does not join surrogate pairs."""
    import subprocess
    from fontTools.ttLib import TTFont
    path = subprocess.run(["fc-match", "-f", "%{file}", face], capture_output=True, text=True, check=True).stdout
    font = TTFont(path)
    cmap = font.getBestCmap()
    return [font.getGlyphID(cmap[ord(c)]) for c in signs]


def code_glyph_numbers(face, codes):
    """Glyph numbers of a symbol-coded font for its codes, through its own map."""
    import subprocess
    from fontTools.ttLib import TTFont
    path = subprocess.run(["fc-match", "-f", "%{file}", face], capture_output=True, text=True, check=True).stdout
    font = TTFont(path)
    cmap = font.getBestCmap()
    return [font.getGlyphID(cmap[ord(c)]) for c in codes]


def symbol_page(path, twin=False):
    p = Page()
    p.ints(EMR_SETBKMODE, TRANSPARENT)
    p.ints(EMR_SETTEXTCOLOR, rgb(0, 0, 0))
    if twin:
        y = 60
        for face, signs in SYMBOL_SIGNS:
            p.font(face, 36)
            numbers = code_glyph_numbers(face, signs) if face == "Standard Symbols PS" else glyph_numbers(face, signs)
            glyphs = "".join(chr(g) for g in numbers)
            p.text(40, y, glyphs, 44, options=ETO_GLYPH_INDEX)
            y += 70
        p.finish(path)
        return
    rows = [
        ("Wingdings", "".join(chr(0xF000 + c) for c in b"oqx\xa8\xfc\xfb\xfd\xfel\x6e\xd8\xe0\xe8J(")),
        ("Wingdings", "oqx\u00a8\u00fc\u00fb\u00fd\u00fel\u006e\u00d8\u00e0\u00e8J("),
        ("Symbol", "abgdpSW\u00b7\u00d6\u00a5\u00b1\u00b3\u00ae\u00de"),
        ("Wingdings 2", "".join(chr(0xF000 + c) for c in b"POQRST\xa3\x98\x99")),
        ("Wingdings 3", "".join(chr(0xF000 + c) for c in b"ptuvwxgh\x80\x81")),
        ("Webdings", "".join(chr(0xF000 + c) for c in b"ac\x34\x35\x3d\x3e\x6e\x72")),
    ]
    y = 60
    for face, codes in rows:
        p.font(face, 36, SYMBOL_CHARSET)
        p.text(40, y, codes, 44)
        y += 70
    # Eight-bit text in a symbol font: the bytes are the codes.
    p.font("Wingdings", 36, SYMBOL_CHARSET)
    p.text(40, y, b"\xfc\xfb\xfe\xfdolnq", 44, wide=False)
    p.finish(path)


def path_page(path):
    p = Page()
    p.ints(EMR_SETBKMODE, TRANSPARENT)
    p.pen(rgb(0, 0, 0), 2)
    p.font("Arial", 96, weight=700)
    # Outlined, filled, and outlined and filled text.
    p.add(EMR_BEGINPATH)
    p.text(20, 110, "Outline", 62)
    p.add(EMR_ENDPATH)
    p.add(EMR_STROKEPATH, struct.pack("<4i", 0, 0, WIDTH, HEIGHT))
    p.brush(rgb(30, 110, 40))
    p.add(EMR_BEGINPATH)
    p.text(470, 110, "Fill", 62)
    p.add(EMR_ENDPATH)
    p.add(EMR_FILLPATH, struct.pack("<4i", 0, 0, WIDTH, HEIGHT))
    p.brush(rgb(230, 200, 40))
    p.pen(rgb(120, 0, 0), 3)
    p.add(EMR_BEGINPATH)
    p.text(20, 230, "Both", 62)
    p.add(EMR_ENDPATH)
    p.add(EMR_STROKEANDFILLPATH, struct.pack("<4i", 0, 0, WIDTH, HEIGHT))
    # Widened outlines filled.
    p.pen(rgb(0, 0, 0), 5)
    p.brush(rgb(20, 20, 120))
    p.add(EMR_BEGINPATH)
    p.text(360, 230, "Wide", 62)
    p.add(EMR_ENDPATH)
    p.add(EMR_WIDENPATH)
    p.add(EMR_FILLPATH, struct.pack("<4i", 0, 0, WIDTH, HEIGHT))
    # Letters as a clip: stripes seen through them.
    p.add(EMR_SAVEDC)
    p.add(EMR_BEGINPATH)
    p.text(20, 350, "CLIP", 90)
    p.add(EMR_ENDPATH)
    p.add(EMR_SELECTCLIPPATH, struct.pack("<I", RGN_COPY))
    p.stripes(0, 340, 440, 460, rgb(0, 0, 0))
    p.ints(EMR_RESTOREDC, -1)
    # Outlined text under a turning world transform, recorded in the advanced graphics mode.
    p.ints(EMR_SAVEDC)
    angle = math.radians(-20)
    p.add(EMR_SETWORLDTRANSFORM, struct.pack("<6f", math.cos(angle), math.sin(angle), -math.sin(angle),
                                              math.cos(angle), 420, 520))
    p.pen(rgb(0, 0, 120), 2)
    p.font("Times New Roman", 64)
    p.ints(EMR_SETTEXTALIGN, TA_BASELINE)
    p.add(EMR_BEGINPATH)
    p.text(0, 0, "Turned", 40, graphics_mode=GM_ADVANCED)
    p.add(EMR_ENDPATH)
    p.add(EMR_STROKEPATH, struct.pack("<4i", 0, 0, WIDTH, HEIGHT))
    p.ints(EMR_RESTOREDC, -1)
    p.finish(path)


def script_page(path):
    p = Page()
    p.ints(EMR_SETBKMODE, TRANSPARENT)
    rows = [
        ("MS Mincho", SHIFTJIS_CHARSET, "日本語の請求書"),
        ("SimSun", GB2312_CHARSET, "中文发票明细"),
        ("Gulim", HANGUL_CHARSET, "한국어 청구서"),
        ("Arial", RUSSIAN_CHARSET, "Счёт-фактура"),
        ("Times New Roman", GREEK_CHARSET, "Τιμολόγιο"),
        ("Arial CE", EASTEUROPE_CHARSET, "Růžička Žluťoučký"),
    ]
    y = 60
    for face, charset, text in rows:
        p.font(face, 32, charset)
        p.text(40, y, text, 34)
        y += 64
    # Eight-bit text in a Japanese font: Shift-JIS bytes, two per character.
    p.font("MS Gothic", 32, SHIFTJIS_CHARSET)
    data = "合計金額".encode("shift_jis")
    p.text(40, y, data, 17, wide=False)
    p.finish(path)


def rop2_page(path):
    p = Page()
    p.select(NULL_PEN)
    p.brush(rgb(0, 0, 0))
    p.rect(40, 40, 360, 260)
    p.brush(rgb(255, 255, 120))
    p.rect(400, 40, 720, 260)
    p.select(NULL_BRUSH)
    y = 60
    for mode, color in ((R2_NOT, rgb(0, 0, 0)), (R2_XORPEN, rgb(255, 255, 255)), (R2_XORPEN, rgb(255, 0, 0)),
                        (R2_NOTXORPEN, rgb(0, 0, 0)), (R2_MASKPEN, rgb(0, 0, 255)), (R2_MERGEPEN, rgb(0, 255, 0))):
        p.ints(EMR_SETROP2, mode)
        p.pen(color, 7)
        p.line(20, y, 740, y)
        y += 34
    # A rubber-band rectangle drawn twice is gone; drawn once it stays.
    p.ints(EMR_SETROP2, R2_NOT)
    p.pen(rgb(0, 0, 0), 3)
    p.rect(80, 320, 700, 540)
    p.rect(100, 340, 680, 520)
    p.rect(100, 340, 680, 520)
    p.ints(EMR_SETROP2, R2_COPYPEN)
    p.brush(rgb(0, 0, 0))
    p.rect(300, 400, 480, 460)
    p.ints(EMR_SETROP2, R2_NOT)
    p.select(NULL_PEN)
    p.brush(rgb(0, 0, 0))
    p.ellipse(340, 380, 440, 480)
    p.finish(path)


def report_page(path, twin=False):
    """A report page as a report tool prints it: a header band with a
    see-through logo, a table whose last column holds check boxes set in
    Wingdings, and an embedded document's icon drawn as a mask pair."""
    p = Page()
    p.ints(EMR_SETBKMODE, TRANSPARENT)
    p.select(NULL_PEN)
    p.brush(rgb(210, 220, 235))
    p.rect(0, 0, WIDTH, 90)
    p.font("Arial", 30, EASTEUROPE_CHARSET, weight=700)
    p.text(30, 28, "Kontrola dodávek 2026/117", 18)
    size = 72

    def logo(x, y):
        a = disk_alpha(x, y, size)
        inner = math.hypot(x - size / 2, y - size / 2) < 18
        r, g, b = (250, 250, 250) if inner else (20, 90, 170)
        return (r * a // 255, g * a // 255, b * a // 255, a)

    info = bitmap_info(size, size, 32)
    add(p, blit_record(EMR_ALPHABLEND, (WIDTH - size - 30, 9, size, size), 0x01FF0000, info,
                       rows_bottom_up(pixels32(size, size, logo)), source_size=(size, size)))
    p.select(BLACK_PEN)
    p.font("Arial", 16, EASTEUROPE_CHARSET)
    rows = [("Položka", "Množství", "Dodáno"), ("Šrouby M8", "1 200", 0xFE), ("Matice M8", "1 150", 0xFE),
            ("Podložky", "900", 0xA8), ("Hmoždinky", "300", 0xFD), ("Kotvy", "48", 0xFE)]
    y = 120
    for i, (name, amount, mark) in enumerate(rows):
        p.select(NULL_BRUSH)
        p.rect(30, y, 600, y + 34)
        p.line(330, y, 330, y + 34)
        p.line(470, y, 470, y + 34)
        if i == 0:
            p.text(40, y + 8, name, 9)
            p.text(340, y + 8, amount, 9)
            p.text(480, y + 8, mark, 9)
        else:
            p.font("Arial", 16, EASTEUROPE_CHARSET)
            p.text(40, y + 8, name, 9)
            p.text(340, y + 8, amount, 9)
            if twin:
                p.font("Symbola", 22)
                sign = {0xFE: "\U0001F5F9", 0xA8: "\U0001F78E", 0xFD: "\U0001F5F7"}[mark]
                p.text(520, y + 6, chr(glyph_numbers("Symbola", sign)[0]), 22, options=ETO_GLYPH_INDEX)
            else:
                p.font("Wingdings", 22, SYMBOL_CHARSET)
                p.text(520, y + 6, chr(0xF000 + mark), 22)
        y += 34
    mono = [(0, 0, 0), (255, 255, 255)]
    icon = 32

    def sheet(x, y):
        return 6 <= x < 26 and 2 <= y < 30

    mask = bitmap_info(icon, icon, 1, colors=mono)
    stretch_dibits(p, (640, 130, 2 * icon, 2 * icon), mask, rows_bottom_up(pixels1(icon, icon, lambda x, y: not sheet(x, y))),
                   icon, icon, SRCAND)
    image = bitmap_info(icon, icon, 24)
    stretch_dibits(p, (640, 130, 2 * icon, 2 * icon), image,
                   rows_bottom_up(pixels24(icon, icon, lambda x, y: ((40, 80, 160) if y % 6 < 2 and 9 < x < 23 else
                                                                      (230, 230, 230)) if sheet(x, y) else (0, 0, 0))),
                   icon, icon, SRCPAINT)
    p.font("Arial", 14, EASTEUROPE_CHARSET)
    p.text(30, 540, "Stránka 1 / 1", 8)
    p.finish(path)


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pages")
    os.makedirs(out, exist_ok=True)
    for name, make in (("alpha-blend", alpha_page), ("masked-blits", masked_page), ("symbol-fonts", symbol_page),
                       ("text-paths", path_page), ("script-fonts", script_page), ("pen-raster-ops", rop2_page),
                       ("report-logo-checkboxes", report_page)):
        make(os.path.join(out, name + ".emf"))
    twins = os.path.join(out, "twins")
    os.makedirs(twins, exist_ok=True)
    symbol_page(os.path.join(twins, "symbol-fonts.emf"), twin=True)
    report_page(os.path.join(twins, "report-logo-checkboxes.emf"), twin=True)


if __name__ == "__main__":
    main()
