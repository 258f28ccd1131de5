#!/usr/bin/env python3
"""Writes the reader test images into good/, bad/ and tolerated/ next to this script.

Good files are named <what>_c<channels>_<pattern>[_a<alpha>].<ext> and all show the
same 5 x 4 cell picture, top row first:
    row 0: white in every cell
    row 1: red, green, blue, black, white (grey pictures: 0, 85, 170, 255, 0;
           black-and-white pictures: 0, 255, 0, 255, 0)
    rows 2 and 3: black
Lossless files use one pixel per cell; JPEG files 16 x 16 pixels per cell. The
reader test checks the centre of every cell, so the first file row must become
the last image row. _a<alpha> is the alpha of every pixel, or, followed by
_k<alpha>, of every pixel but the black ones, which have the second alpha
(transparency chunks). 16-bit samples are v * 256 + 255, so that only keeping
the high byte gives v. JPEG files need ImageMagick's "convert".
"""
import os
import struct
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 5, 4
RED, GREEN, BLUE, BLACK, WHITE = (255, 0, 0), (0, 255, 0), (0, 0, 255), (0, 0, 0), (255, 255, 255)


def colour_rows():
    return [[WHITE] * W, [RED, GREEN, BLUE, BLACK, WHITE], [BLACK] * W, [BLACK] * W]


def grey_rows(levels=(0, 85, 170, 255, 0)):
    return [[255] * W, list(levels), [0] * W, [0] * W]


def bw_rows():
    return grey_rows((0, 255, 0, 255, 0))


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    with open(os.path.join(HERE, folder, name), "wb") as f:
        f.write(data)


# PNG ------------------------------------------------------------------------

def chunk(kind, body, crc=None):
    if crc is None:
        crc = zlib.crc32(kind + body) & 0xFFFFFFFF
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", crc)


def pack_bits(values, depth):
    out, acc, n = bytearray(), 0, 0
    for v in values:
        acc = (acc << depth) | v
        n += depth
        if n == 8:
            out.append(acc)
            acc, n = 0, 0
    if n:
        out.append(acc << (8 - n))
    return bytes(out)


def png_samples(rows, colour_type, depth, alpha):
    """Raw scanlines (without filter bytes) of a picture given as rows of pixels."""
    lines = []
    for row in rows:
        samples = []
        for p in row:
            if colour_type in (0, 4):
                samples.append(p)
            else:
                samples.extend(p)
            if colour_type in (4, 6):
                samples.append(alpha)
        if depth < 8:
            lines.append(pack_bits([s >> (8 - depth) for s in samples], depth))
        elif depth == 16:
            lines.append(b"".join(struct.pack(">H", s * 256 + 255) for s in samples))
        else:
            lines.append(bytes(samples))
    return lines


def png(rows, colour_type, depth, alpha=200, width=None, height=None, interlace=0, palette=None,
        lines=None, extra=b"", trns=None):
    width = W if width is None else width
    height = H if height is None else height
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, interlace)
    if lines is None:
        lines = png_samples(rows, colour_type, depth, alpha)
    raw = b"".join(b"\0" + line for line in lines)
    body = chunk(b"IHDR", ihdr)
    if palette:
        body += chunk(b"PLTE", bytes(sum(palette, ())))
    if trns is not None:
        body += chunk(b"tRNS", trns)
    return b"\x89PNG\r\n\x1a\n" + body + chunk(b"IDAT", zlib.compress(raw)) + extra + chunk(b"IEND", b"")


def adam7(rows, colour_type, depth, indexed=False):
    """Interlaced scanlines: the seven passes one after another."""
    passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
    lines = []
    for x0, y0, dx, dy in passes:
        for y in range(y0, H, dy):
            sub = [rows[y][x] for x in range(x0, W, dx)]
            if sub:
                lines.append(pack_bits(sub, depth) if indexed else png_samples([sub], colour_type, depth, 200)[0])
    return lines


def indexed_png(rows, palette, depth, interlace=0, trns=None):
    """A palette picture of the given pixels; every colour must be in the palette."""
    index = {p: i for i, p in enumerate(palette)}
    indexed = [[index[p] for p in row] for row in rows]
    lines = adam7(indexed, 3, depth, indexed=True) if interlace else [pack_bits(r, depth) for r in indexed]
    return png(None, 3, depth, palette=palette, lines=lines, interlace=interlace, trns=trns)


def make_png():
    c, g = colour_rows(), grey_rows()
    write("good", "png-grey8_c1_grey.png", png(g, 0, 8))
    write("good", "png-grey16_c1_grey.png", png(g, 0, 16))
    write("good", "png-grey4_c1_grey.png", png(g, 0, 4))
    write("good", "png-grey2_c1_grey.png", png(g, 0, 2))
    write("good", "png-grey1_c1_bw.png", png(bw_rows(), 0, 1))
    write("good", "png-greyalpha_c2_grey_a200.png", png(g, 4, 8))
    write("good", "png-greyalpha16_c2_grey_a200.png", png(g, 4, 16))
    write("good", "png-rgb_c3_colour.png", png(c, 2, 8))
    write("good", "png-rgb16_c3_colour.png", png(c, 2, 16))
    write("good", "png-rgba_c4_colour_a200.png", png(c, 6, 8))
    write("good", "png-rgba16_c4_colour_a200.png", png(c, 6, 16))
    write("good", "png-interlaced_c3_colour.png", png(c, 2, 8, interlace=1, lines=adam7(c, 2, 8)))

    # Palette pictures become RGB, or RGBA with a transparency chunk; so do
    # grey and RGB ones with one transparent colour.
    pal = [BLACK, WHITE, RED, GREEN, BLUE]
    greys = [(v, v, v) for v in (0, 85, 170, 255)]
    grey_colours = [[(v, v, v) for v in row] for row in g]
    write("good", "png-palette1_c3_bw.png", indexed_png([[(v, v, v) for v in row] for row in bw_rows()],
                                                         [BLACK, WHITE], 1))
    write("good", "png-palette2_c3_grey.png", indexed_png(grey_colours, greys, 2))
    write("good", "png-palette4_c3_colour.png", indexed_png(c, pal, 4))
    write("good", "png-palette8_c3_colour.png", indexed_png(c, pal, 8))
    write("good", "png-palette-interlaced_c3_colour.png", indexed_png(c, pal, 4, interlace=1))
    write("good", "png-palette-trns_c4_colour_a200_k0.png", indexed_png(c, pal, 8, trns=bytes([0, 200, 200, 200, 200])))
    # A transparency chunk shorter than the palette leaves the other entries opaque.
    write("good", "png-palette-short-trns_c4_colour_a255_k0.png", indexed_png(c, pal, 4, trns=bytes([0])))
    write("good", "png-grey-trns_c2_grey_a255_k0.png", png(g, 0, 8, trns=struct.pack(">H", 0)))
    write("good", "png-grey16-trns_c2_grey_a255_k0.png", png(g, 0, 16, trns=struct.pack(">H", 255)))
    write("good", "png-rgb-trns_c4_colour_a255_k0.png", png(c, 2, 8, trns=struct.pack(">HHH", 0, 0, 0)))
    write("bad", "png-palette-missing.png", png(None, 3, 8, lines=[bytes(W)] * H))
    whole = png(c, 2, 8)
    write("bad", "png-truncated.png", whole[: len(whole) * 2 // 3])
    damaged = bytearray(whole)
    damaged[20] ^= 0x40  # inside IHDR: its checksum no longer matches
    write("bad", "png-corrupt-header.png", bytes(damaged))
    idat = whole.index(b"IDAT") + 4
    damaged = bytearray(whole)
    for i in range(idat + 2, idat + 12):
        damaged[i] ^= 0xA5
    body = bytes(damaged[idat:whole.index(b"IEND") - 8])
    damaged[idat + len(body): idat + len(body) + 4] = struct.pack(">I", zlib.crc32(b"IDAT" + body) & 0xFFFFFFFF)
    write("bad", "png-corrupt-data.png", bytes(damaged))
    write("bad", "png-huge-claim.png", png(None, 2, 8, width=60000, height=60000, lines=[b"\0" * 30]))
    write("bad", "png-empty.png", b"")
    write("bad", "png-not-a-png.png", b"GIF89a this is not a PNG file at all")

    write("tolerated", "png-trailing-garbage.png", whole + b"garbage after the end")
    text = chunk(b"tEXt", b"Comment\0bad checksum", crc=0x12345678)
    write("tolerated", "png-bad-ancillary-crc.png", png(c, 2, 8, extra=text))


# JPEG -----------------------------------------------------------------------

def ppm(rows, cell, grey):
    out = bytearray()
    for row in rows:
        line = bytearray()
        for p in row:
            line += (bytes([p]) if grey else bytes(p)) * cell
        out += bytes(line) * cell
    magic = b"P5" if grey else b"P6"
    return b"%s\n%d %d\n255\n" % (magic, W * cell, H * cell) + bytes(out)


def convert(data, *options):
    return subprocess.run(["convert", "-", *options, "jpg:-"], input=data, stdout=subprocess.PIPE,
                          check=True).stdout


def make_jpeg():
    colour = ppm(colour_rows(), 16, False)
    grey = ppm(grey_rows(), 16, True)
    rgb = convert(colour, "-quality", "95", "-sampling-factor", "2x2")
    write("good", "jpeg-grey_c1_grey.jpg", convert(grey, "-quality", "95"))
    write("good", "jpeg-colour_c3_colour.jpg", rgb)
    write("good", "jpeg-colour444_c3_colour.jpg", convert(colour, "-quality", "95", "-sampling-factor", "1x1"))
    write("good", "jpeg-progressive_c3_colour.jpg", convert(colour, "-quality", "95", "-interlace", "JPEG"))
    write("good", "jpeg-grey-progressive_c1_grey.jpg", convert(grey, "-quality", "95", "-interlace", "JPEG"))
    # ImageMagick writes CMYK as Adobe programs do: inverted, with an Adobe marker.
    write("good", "jpeg-cmyk_c3_colour.jpg", convert(colour, "-quality", "95", "-colorspace", "CMYK"))

    sos = rgb.index(b"\xff\xda")
    write("bad", "jpeg-truncated-header.jpg", rgb[: sos // 2])
    write("bad", "jpeg-truncated-data.jpg", rgb[: (sos + len(rgb)) // 2])
    damaged = bytearray(rgb)
    sof = damaged.index(b"\xff\xc0")
    damaged[sof + 4] = 3  # sample precision 3 bits: not a JPEG the library can decode
    write("bad", "jpeg-corrupt.jpg", bytes(damaged))
    write("bad", "jpeg-truncated-with-end-marker.jpg", rgb[: (sos + len(rgb)) // 2] + b"\xff\xd9")
    huge = bytearray(rgb)
    struct.pack_into(">HH", huge, sof + 5, 60000, 60000)
    write("bad", "jpeg-huge-claim.jpg", bytes(huge))
    write("bad", "jpeg-empty.jpg", b"")
    write("bad", "jpeg-not-a-jpeg.jpg", b"\x89PNG this is not a JPEG file")

    write("tolerated", "jpeg-extraneous-bytes.jpg", rgb[:sos] + b"\x00\x01\x02" + rgb[sos:])


# BMP ------------------------------------------------------------------------

def bmp(rows, bits, header=40, palette=None, top_down=False, masks=None, compression=None, alpha=None,
        overrides=None, cut=None, palette_entries=None, used=None):
    """A bitmap of the picture. overrides replaces header fields after packing."""
    width, height = len(rows[0]), len(rows)
    core = header == 12
    entry = 3 if core else 4
    pal_bytes = b""
    if palette is not None:
        n = len(palette) if palette_entries is None else palette_entries
        pal = list(palette) + [BLACK] * (n - len(palette))
        pal_bytes = b"".join(bytes((b, g, r)) + (b"" if core else b"\0") for r, g, b in pal[:n])
    if compression is None:
        compression = 3 if masks and header == 40 else (3 if masks else 0)
    mask_bytes = b""
    if masks and header == 40:
        mask_bytes = struct.pack("<III", *masks[:3])
    stride = (width * bits + 31) // 32 * 4
    data = bytearray()
    order = rows if top_down else list(reversed(rows))
    for row in order:
        line = bytearray()
        if bits <= 8:
            line = pack_bits(row, bits) if bits < 8 else bytes(row)
        elif bits == 16:
            rm, gm, bm = masks[:3] if masks else (0x7C00, 0x03E0, 0x001F)
            for r, g, b in row:
                line += struct.pack("<H", scale(r, rm) | scale(g, gm) | scale(b, bm))
        else:
            for r, g, b in row:
                line += bytes((b, g, r))
                if bits == 32:
                    line.append(alpha)
        data += bytes(line) + b"\0" * (stride - len(line))
    info = bytearray()
    if core:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
    else:
        h = -height if top_down else height
        colours = used if used is not None else (len(palette) if palette is not None else 0)
        info = bytearray(struct.pack("<IiiHHIIiiII", header, width, h, 1, bits, compression, len(data), 2835, 2835,
                                     colours, 0))
        if header > 40:
            m = list(masks) if masks else [0, 0, 0, 0]
            info += struct.pack("<IIII", *(m + [0] * (4 - len(m))))
            info += b"BGRs" + b"\0" * (header - len(info) - 4)
    offset = 14 + len(info) + len(mask_bytes) + len(pal_bytes)
    total = offset + len(data)
    head = bytearray(b"BM" + struct.pack("<IHHI", total, 0, 0, offset))
    whole = bytearray(head + info + mask_bytes + pal_bytes + data)
    for pos, fmt, value in overrides or []:
        struct.pack_into(fmt, whole, pos, value)
    return bytes(whole if cut is None else whole[:cut])


def byte_swapped(data):
    """The same bitmap with "MB" and every header field byte-reversed."""
    out = bytearray(data)
    out[0:2] = b"MB"
    fields = [(2, 4), (6, 2), (8, 2), (10, 4), (14, 4), (18, 4), (22, 4), (26, 2), (28, 2), (30, 4), (34, 4),
              (38, 4), (42, 4), (46, 4), (50, 4)]
    for pos, size in fields:
        out[pos:pos + size] = out[pos:pos + size][::-1]
    return bytes(out)


def scale(v, mask):
    shift = (mask & -mask).bit_length() - 1
    top = mask >> shift
    return ((v * top + 127) // 255) << shift


def make_bmp():
    c = colour_rows()
    pal = [BLACK, WHITE, RED, GREEN, BLUE]
    index = {p: i for i, p in enumerate(pal)}
    indexed = [[index[p] for p in row] for row in c]
    bw = [[1 if v else 0 for v in row] for row in bw_rows()]
    write("good", "bmp-1bit_c3_bw.bmp", bmp(bw, 1, palette=[BLACK, WHITE]))
    write("good", "bmp-4bit_c3_colour.bmp", bmp(indexed, 4, palette=pal))
    write("good", "bmp-8bit_c3_colour.bmp", bmp(indexed, 8, palette=pal, palette_entries=256, used=0))
    write("good", "bmp-8bit-short-palette_c3_colour.bmp", bmp(indexed, 8, palette=pal))
    write("good", "bmp-16bit_c3_colour.bmp", bmp(c, 16))
    write("good", "bmp-16bit-565_c3_colour.bmp", bmp(c, 16, masks=(0xF800, 0x07E0, 0x001F)))
    write("good", "bmp-24bit_c3_colour.bmp", bmp(c, 24))
    write("good", "bmp-32bit_c4_colour_a200.bmp", bmp(c, 32, alpha=200))
    write("good", "bmp-32bit-no-alpha_c4_colour_a255.bmp", bmp(c, 32, alpha=0))
    write("good", "bmp-top-down_c3_colour.bmp", bmp(c, 24, top_down=True))
    write("good", "bmp-core-24bit_c3_colour.bmp", bmp(c, 24, header=12))
    write("good", "bmp-core-4bit_c3_colour.bmp", bmp(indexed, 4, header=12, palette=pal, palette_entries=16))
    write("good", "bmp-byte-swapped-header_c3_colour.bmp", byte_swapped(bmp(c, 24)))
    write("good", "bmp-v4-24bit_c3_colour.bmp", bmp(c, 24, header=108))
    write("good", "bmp-v5-32bit_c4_colour_a200.bmp",
          bmp(c, 32, header=124, alpha=200, masks=(0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)))
    write("good", "bmp-v5-top-down-8bit_c3_colour.bmp", bmp(indexed, 8, header=124, palette=pal, top_down=True))

    whole = bmp(c, 24)
    write("bad", "bmp-truncated.bmp", whole[:-5])
    write("bad", "bmp-header-only.bmp", whole[:30])
    write("bad", "bmp-not-a-bmp.bmp", b"XX" + whole[2:])
    write("bad", "bmp-empty.bmp", b"")
    huge = bmp(c, 24, overrides=[(18, "<i", 60000), (22, "<i", 60000)], cut=100)
    write("bad", "bmp-huge-claim.bmp", huge)
    write("bad", "bmp-huge-width-overflow.bmp", bmp(c, 32, alpha=255, overrides=[(18, "<i", 0x7FFFFFFF),
                                                                                (22, "<i", 0x7FFFFFFF)]))
    write("bad", "bmp-min-height.bmp", bmp(c, 24, overrides=[(22, "<i", -0x80000000)]))
    write("bad", "bmp-zero-width.bmp", bmp(c, 24, overrides=[(18, "<i", 0)]))
    write("bad", "bmp-negative-width.bmp", bmp(c, 24, overrides=[(18, "<i", -5)]))
    write("bad", "bmp-bit-count-7.bmp", bmp(c, 24, overrides=[(28, "<H", 7)]))
    write("bad", "bmp-header-64.bmp", bmp(c, 24, overrides=[(14, "<I", 64)]))
    write("bad", "bmp-header-20.bmp", bmp(c, 24, overrides=[(14, "<I", 20)]))
    bad_index = [row[:] for row in indexed]
    bad_index[2][2] = 9  # the palette has 5 entries
    write("bad", "bmp-bad-palette-index.bmp", bmp(bad_index, 8, palette=pal))
    write("bad", "bmp-1bit-bad-palette-index.bmp", bmp(bw, 1, palette=[BLACK]))
    write("bad", "bmp-huge-palette.bmp", bmp(indexed, 8, palette=pal, overrides=[(46, "<I", 1000000000)]))
    write("bad", "bmp-rle8.bmp", bmp(indexed, 8, palette=pal, compression=1))

    write("tolerated", "bmp-zero-image-size.bmp", bmp(c, 24, overrides=[(34, "<I", 0)]))
    write("tolerated", "bmp-wrong-file-size.bmp", bmp(c, 24, overrides=[(2, "<I", 7)]))
    write("tolerated", "bmp-zero-data-offset.bmp", bmp(c, 24, overrides=[(10, "<I", 0)]))
    write("tolerated", "bmp-three-planes.bmp", bmp(c, 24, overrides=[(26, "<H", 3)]))
    write("tolerated", "bmp-trailing-bytes.bmp", whole + b"\0" * 37)


if __name__ == "__main__":
    make_png()
    make_jpeg()
    make_bmp()
