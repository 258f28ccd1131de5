#!/usr/bin/env python3
"""Writes the reader test images into good/, bad/ and tolerated/ next to this script.

Good files are named <what>_c<channels>_<pattern>[_a<alpha>].<ext> and all show the
same 5 x 4 cell picture, top row first:
    row 0: white in every cell
    row 1: red, green, blue, black, white (grey pictures: 0, 85, 170, 255, 0;
           black-and-white pictures: 0, 255, 0, 255, 0)
    rows 2 and 3: black
Lossless files use one pixel per cell, except tiled TIFF files; JPEG files (and
TIFF files with "jpeg" in their name) 16 x 16 pixels per cell. The reader test
checks the centre of every cell, so the first file row must become the last
image row. _a<alpha> is the alpha of every pixel, or, followed by _k<alpha>,
of every pixel but the black ones, which have the second alpha (transparency
chunks). 16-bit samples are v * 256 + 255, so that only keeping the high byte
gives v. JPEG, LZW and CCITT files need ImageMagick's "convert".
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


def rle_bmp(codes, bits, palette, width=W, height=H, top_down=False, compression=None):
    """A run-length encoded bitmap (RLE8 or RLE4 by bits) with the given codes."""
    pal_bytes = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits,
                       compression or (1 if bits == 8 else 2), len(codes), 2835, 2835, len(palette), 0)
    offset = 14 + len(info) + len(pal_bytes)
    return b"BM" + struct.pack("<IHHI", offset + len(codes), 0, 0, offset) + info + pal_bytes + codes


# The colour picture with palette BLACK, WHITE, RED, GREEN, BLUE, bottom row
# first. RLE8: a delta over the two black rows, three indices as they stand
# (padded), a delta over the black pixel, runs, end of line and of picture.
RLE8_CODES = bytes([0, 2, 0, 2, 0, 3, 2, 3, 4, 0, 0, 2, 1, 0, 1, 1, 0, 0, 5, 1, 0, 1])
# RLE4: two empty rows ended at once, runs of one and of two alternating
# indices, a delta over the black pixel, five indices as they stand (padded).
RLE4_CODES = bytes([0, 0, 0, 0, 1, 0x20, 2, 0x34, 0, 2, 1, 0, 1, 0x10, 0, 0, 0, 5, 0x11, 0x11, 0x10, 0, 0, 1])


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
    write("good", "bmp-rle8_c3_colour.bmp", rle_bmp(RLE8_CODES, 8, pal))
    write("good", "bmp-rle4_c3_colour.bmp", rle_bmp(RLE4_CODES, 4, pal))
    write("good", "bmp-rle8-no-end-code_c3_colour.bmp", rle_bmp(RLE8_CODES[:-2], 8, pal))
    # ImageMagick runs its codes into the row padding.
    write("good", "bmp-rle8-imagemagick_c3_colour.bmp",
          subprocess.run(["convert", "-", "-type", "Palette", "-compress", "RLE", "BMP3:-"],
                         input=ppm(c, 1, False), stdout=subprocess.PIPE, check=True).stdout)
    write("bad", "bmp-rle8-run-past-edge.bmp", rle_bmp(bytes([9, 1, 0, 1]), 8, pal))
    write("bad", "bmp-rle8-absolute-past-edge.bmp", rle_bmp(bytes([0, 9]) + bytes(10) + b"\0\1", 8, pal))
    write("bad", "bmp-rle4-delta-outside.bmp", rle_bmp(bytes([0, 2, 0, 4, 0, 1]), 4, pal))
    write("bad", "bmp-rle8-truncated.bmp", rle_bmp(RLE8_CODES[:7], 8, pal))
    write("bad", "bmp-rle4-truncated.bmp", rle_bmp(RLE4_CODES[:16], 4, pal))
    write("bad", "bmp-rle8-top-down.bmp", rle_bmp(RLE8_CODES, 8, pal, top_down=True))
    write("bad", "bmp-rle8-bad-palette-index.bmp", rle_bmp(bytes([5, 9, 0, 1]), 8, pal))
    write("bad", "bmp-rle4-with-8-bits.bmp", rle_bmp(RLE8_CODES, 8, pal, compression=2))
    write("bad", "bmp-rle8-huge-claim.bmp", rle_bmp(bytes([0, 1]), 8, pal, width=60000, height=60000))
    # Alpha 0 everywhere but in the last pixel the file stores: not the
    # "no alpha at all" of plain 32-bit files.
    write(".", "bmp-32bit-one-alpha.bmp", bmp(c, 32, alpha=0, overrides=[(len(bmp(c, 32, alpha=0)) - 1, "<B", 200)]))

    write("tolerated", "bmp-zero-image-size.bmp", bmp(c, 24, overrides=[(34, "<I", 0)]))
    write("tolerated", "bmp-wrong-file-size.bmp", bmp(c, 24, overrides=[(2, "<I", 7)]))
    write("tolerated", "bmp-zero-data-offset.bmp", bmp(c, 24, overrides=[(10, "<I", 0)]))
    write("tolerated", "bmp-three-planes.bmp", bmp(c, 24, overrides=[(26, "<H", 3)]))
    write("tolerated", "bmp-trailing-bytes.bmp", whole + b"\0" * 37)

# TIFF -----------------------------------------------------------------------

def packbits(data):
    """PackBits: runs of 3 to 128 equal bytes, literal stretches between them."""
    out, i = bytearray(), 0
    while i < len(data):
        run = 1
        while i + run < len(data) and run < 128 and data[i + run] == data[i]:
            run += 1
        if run >= 3:
            out += bytes([257 - run, data[i]])
            i += run
            continue
        start = i
        while i < len(data) and i - start < 128:
            if i + 2 < len(data) and data[i] == data[i + 1] == data[i + 2]:
                break
            i += 1
        out += bytes([i - start - 1]) + data[start:i]
    return bytes(out)


def tiff_pack(samples, bits, endian):
    """One row (or tile row) of sample values, packed from the high bit."""
    if bits == 16:
        return b"".join(struct.pack(endian + "H", v) for v in samples)
    if bits == 8:
        return bytes(samples)
    return pack_bits(samples, bits)


def differenced(row, samples_per_pixel):
    """Horizontal prediction of an 8-bit row: each sample minus the one before it."""
    out = bytearray(row)
    for i in range(len(row) - 1, samples_per_pixel - 1, -1):
        out[i] = (row[i] - row[i - samples_per_pixel]) & 0xFF
    return bytes(out)


def tiff_page(pixels, bits=8, photometric=2, compression=1, rows_per_strip=None, tile=None, planar=1,
              extra=(), colormap=None, orientation=None, predictor=False, endian="<", tags=None):
    """One page: pixels are rows of sample tuples (file order). Returns (tags, chunks, tiled)."""
    height, width, spp = len(pixels), len(pixels[0]), len(pixels[0][0])
    planes = [[[p[k] for p in row] for row in pixels] for k in range(spp)] if planar == 2 else None

    def rows_of(plane, x0, x1, y0, y1):
        """Packed rows of samples x0..x1, y0..y1 (padded with 0 beyond the picture)."""
        out = []
        for y in range(y0, y1):
            if plane is None:
                values = [v for x in range(x0, x1) for v in (pixels[y][x] if y < height and x < width else (0,) * spp)]
                n = spp
            else:
                values = [planes[plane][y][x] if y < height and x < width else 0 for x in range(x0, x1)]
                n = 1
            line = tiff_pack(values, bits, endian)
            out.append(differenced(line, n) if predictor else line)
        return b"".join(out)

    # PackBits codes never cross the end of a row.
    def squeeze(data):
        if compression == 8:
            return zlib.compress(data)
        if compression == 32773:
            return b"".join(packbits(data[i:i + row_bytes]) for i in range(0, len(data), row_bytes))
        return data
    chunks = []
    for plane in ([None] if planar == 1 else range(spp)):
        row_bytes = len(rows_of(plane, 0, tile[0] if tile else width, 0, 1))
        if tile:
            tw, th = tile
            for y in range(0, height, th):
                for x in range(0, width, tw):
                    chunks.append(squeeze(rows_of(plane, x, x + tw, y, y + th)))
        else:
            step = rows_per_strip or height
            for y in range(0, height, step):
                chunks.append(squeeze(rows_of(plane, 0, width, y, min(height, y + step))))
    t = {256: [width], 257: [height], 258: [bits] * spp, 259: [compression], 262: [photometric], 277: [spp],
         284: [planar]}
    if tile:
        t[322], t[323] = [tile[0]], [tile[1]]
    else:
        t[278] = [rows_per_strip or height]
    if extra:
        t[338] = list(extra)
    if colormap:
        t[320] = [c[k] for k in range(3) for c in colormap]
    if orientation:
        t[274] = [orientation]
    if predictor:
        t[317] = [2]
    t.update(tags or {})
    return t, chunks, bool(tile)


def tiff(*pages, big=False, endian="<"):
    """A TIFF (or BigTIFF) file of the pages, each (tags, chunks, tiled)."""
    word, short = (endian + "Q", endian + "H") if big else (endian + "I", endian + "H")
    size = 8 if big else 4
    out = bytearray((b"II" if endian == "<" else b"MM") +
                    (struct.pack(endian + "HHHQ", 43, 8, 0, 0) if big else struct.pack(endian + "HI", 42, 0)))
    first_ifd_at = 8 if big else 4
    link_at = first_ifd_at
    for tags, chunks, tiled in pages:
        offsets = []
        for chunk in chunks:
            offsets.append(len(out))
            out += chunk + (b"\0" if len(chunk) % 2 else b"")
        tags = dict(tags)
        tags[324 if tiled else 273] = ("offsets", offsets)
        tags[325 if tiled else 279] = ("offsets", [len(c) for c in chunks])
        entries, data = [], bytearray()
        ifd_at = len(out)
        count_bytes = 8 if big else 2
        entry_bytes = 20 if big else 12
        data_at = ifd_at + count_bytes + entry_bytes * len(tags) + size
        for tag in sorted(tags):
            values = tags[tag]
            if isinstance(values, tuple):
                kind, fmt = (16, word) if big else (4, word)
                values = values[1]
            elif max(values) > 0xFFFF:
                kind, fmt = 4, endian + "I"
            else:
                kind, fmt = 3, short
            raw = b"".join(struct.pack(fmt, v) for v in values)
            if len(raw) <= size:
                field = raw + b"\0" * (size - len(raw))
            else:
                field = struct.pack(word, data_at + len(data))
                data += raw + (b"\0" if len(raw) % 2 else b"")
            entries.append(struct.pack(endian + ("HHQ" if big else "HHI"), tag, kind, len(values)) + field)
        struct.pack_into(word, out, link_at, ifd_at)
        out += struct.pack(endian + ("Q" if big else "H"), len(entries)) + b"".join(entries)
        link_at = len(out)
        out += b"\0" * size + data
    return bytes(out)


def im_tiff(rows, grey, *options, cell=1):
    return subprocess.run(["convert", "-", *options, "tif:-"], input=ppm(rows, cell, grey),
                          stdout=subprocess.PIPE, check=True).stdout


def oriented(rows, orientation):
    """The stored rows that show rows once the orientation tag is applied."""
    h, w = len(rows), len(rows[0])
    if orientation <= 4:
        flip_x, flip_y = orientation in (2, 3), orientation in (3, 4)
        return [[rows[h - 1 - r if flip_y else r][w - 1 - c if flip_x else c] for c in range(w)] for r in range(h)]
    from_right, from_bottom = orientation in (6, 7), orientation in (7, 8)
    return [[rows[h - 1 - c if from_bottom else c][w - 1 - r if from_right else r] for c in range(h)]
            for r in range(w)]


def scaled(rows, cell):
    return [[p for p in row for _ in range(cell)] for row in rows for _ in range(cell)]


def make_tiff():
    c = colour_rows()
    rgb = [[tuple(p) for p in row] for row in c]
    grey = [[(v,) for v in row] for row in grey_rows()]
    bw = [[(1 if v else 0,) for v in row] for row in bw_rows()]
    write("good", "tiff-none_c3_colour.tif", tiff(tiff_page(rgb, rows_per_strip=3)))
    write("good", "tiff-deflate_c3_colour.tif", tiff(tiff_page(rgb, compression=8, rows_per_strip=1)))
    write("good", "tiff-deflate-predictor_c3_colour.tif", tiff(tiff_page(rgb, compression=8, predictor=True)))
    write("good", "tiff-packbits_c3_colour.tif", tiff(tiff_page(rgb, compression=32773, rows_per_strip=2)))
    write("good", "tiff-lzw_c3_colour.tif", im_tiff(c, False, "-compress", "LZW"))
    write("good", "tiff-jpeg-rgb_c3_colour.tif", im_tiff(c, False, "-compress", "JPEG", "-quality", "95", cell=16))
    # A whole JPEG stream with 2 x 2 subsampled colours as the one strip.
    jfif = convert(ppm(c, 16, False), "-quality", "95", "-sampling-factor", "2x2")
    ycbcr = tiff_page([[(0, 0, 0)] * 80] * 64, photometric=6, tags={530: [2, 2]})
    write("good", "tiff-jpeg-ycbcr_c3_colour.tif", tiff(({**ycbcr[0], 259: [7]}, [jfif], False)))
    write("good", "tiff-g3_c1_bw.tif", im_tiff(bw_rows(), True, "-monochrome", "-compress", "Fax"))
    write("good", "tiff-g4_c1_bw.tif", im_tiff(bw_rows(), True, "-monochrome", "-compress", "Group4"))
    write("good", "tiff-tiled_c3_colour.tif", tiff(tiff_page(scaled(rgb, 16), tile=(32, 16), compression=8)))
    write("good", "tiff-tiled-planar_c4_colour_a200.tif",
          tiff(tiff_page(scaled([[p + (200,) for p in row] for row in rgb], 16), tile=(32, 16), planar=2,
                         compression=8, extra=[2])))
    write("good", "tiff-planar_c3_colour.tif", tiff(tiff_page(rgb, planar=2, rows_per_strip=1, compression=8)))
    write("good", "tiff-16bit-big-endian_c3_colour.tif",
          tiff(tiff_page([[tuple(v * 257 for v in p) for p in row] for row in rgb], bits=16), endian=">"))
    write("good", "tiff-grey16_c1_grey.tif", tiff(tiff_page([[(v * 257,) for (v,) in row] for row in grey],
                                                            bits=16, photometric=1)))
    write("good", "tiff-grey_c1_grey.tif", tiff(tiff_page(grey, photometric=1)))
    write("good", "tiff-min-is-white_c1_grey.tif",
          tiff(tiff_page([[(255 - v,) for (v,) in row] for row in grey], photometric=0)))
    write("good", "tiff-1bit_c1_bw.tif", tiff(tiff_page(bw, bits=1, photometric=1)))
    write("good", "tiff-greyalpha_c2_grey_a200.tif", tiff(tiff_page([[(v, 200) for (v,) in row] for row in grey],
                                                                    photometric=1, extra=[2])))
    write("good", "tiff-rgba_c4_colour_a200.tif", tiff(tiff_page([[p + (200,) for p in row] for row in rgb],
                                                                 extra=[2])))
    # Associated alpha: the colours are stored multiplied by it.
    write("good", "tiff-rgba-associated_c4_colour_a200.tif",
          tiff(tiff_page([[tuple((v * 200 + 127) // 255 for v in p) + (200,) for p in row] for row in rgb],
                         extra=[1])))
    pal = [BLACK, WHITE, RED, GREEN, BLUE]
    index = {p: i for i, p in enumerate(pal)}
    indexed = [[(index[p],) for p in row] for row in c]
    colormap = lambda n: [tuple(v * 257 for v in p) for p in pal] + [(0, 0, 0)] * (n - len(pal))
    write("good", "tiff-palette_c3_colour.tif", tiff(tiff_page(indexed, photometric=3, colormap=colormap(256))))
    write("good", "tiff-palette4_c3_colour.tif",
          tiff(tiff_page(indexed, bits=4, photometric=3, colormap=colormap(16), compression=32773)))
    write("good", "tiff-bigtiff_c3_colour.tif", tiff(tiff_page(rgb, rows_per_strip=1), big=True))
    for o in range(2, 9):
        write("good", "tiff-orientation%d_c3_colour.tif" % o,
              tiff(tiff_page(oriented(rgb, o), orientation=o, rows_per_strip=2)))
    write("good", "tiff-two-pages_c3_colour.tif",
          tiff(tiff_page(rgb), tiff_page([[(0, 0, 0)] * 3] * 2)))

    whole = tiff(tiff_page(rgb, compression=8))
    write("bad", "tiff-empty.tif", b"")
    write("bad", "tiff-not-a-tiff.tif", b"GIF89a this is not a TIFF file at all")
    write("bad", "tiff-truncated.tif", whole[:20])
    beyond = bytearray(tiff(tiff_page(rgb)))
    entry = beyond.index(struct.pack("<HHI", 273, 4, 1))
    struct.pack_into("<I", beyond, entry + 8, len(beyond) - 20)
    write("bad", "tiff-data-past-the-end.tif", bytes(beyond))
    damaged = bytearray(whole)
    for i in range(12, 16):
        damaged[i] ^= 0x5A
    write("bad", "tiff-corrupt-deflate.tif", bytes(damaged))
    write("bad", "tiff-huge-claim.tif", tiff(tiff_page(rgb, tags={256: [60000], 257: [60000]})))
    write("bad", "tiff-huge-tiles.tif", tiff(tiff_page(rgb, tile=(16, 16), tags={322: [1 << 20], 323: [1 << 20]})))
    write("bad", "tiff-cmyk.tif", tiff(tiff_page([[p + (0,) for p in row] for row in rgb], photometric=5)))
    write("bad", "tiff-float.tif", tiff(tiff_page(rgb, tags={339: [3, 3, 3]})))
    write("bad", "tiff-12bit.tif", tiff(tiff_page(rgb, tags={258: [12, 12, 12]})))
    write("bad", "tiff-ycbcr-uncompressed.tif", tiff(tiff_page(rgb, photometric=6)))

    write("tolerated", "tiff-palette-without-colours.tif", tiff(tiff_page(indexed, photometric=3)))
    write("tolerated", "tiff-unknown-tag.tif", tiff(tiff_page(rgb, tags={65000: [1, 2, 3]})))
    write("tolerated", "tiff-unmarked-extra-sample.tif",
          tiff(tiff_page([[p + (9,) for p in row] for row in rgb], extra=[0])))


if __name__ == "__main__":
    make_png()
    make_jpeg()
    make_bmp()
    make_tiff()
