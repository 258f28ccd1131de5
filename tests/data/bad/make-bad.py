#!/usr/bin/env python3
"""Writes the malformed-input corpus next to this script: description files
(.fnc) that are truncated, mistyped, out of range or name missing, empty,
damaged or oversized images, and those images. expected.txt lists what the
user is told for each; the bad-input tests open every entry.

Images are opened through a one-fence description that the test writes next
to a copy of this folder. Cases that git cannot store (a FIFO, an unreadable
file) are made by the tests themselves.
"""
import os
import shutil
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
GOOD_JPEG = os.path.join(HERE, "..", "images", "good", "jpeg-colour_c3_colour.jpg")
PROGRESSIVE_JPEG = os.path.join(HERE, "..", "images", "good", "jpeg-progressive_c3_colour.jpg")

FENCE = "2\n0 0 0\n10 0 0\n{image}\n-\n0\n"
CAMERA = "0 0 0\n0 0 0\n45 1 100\n"


def write(name, data):
    path = os.path.join(HERE, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


def description(image="good.png", camera=CAMERA, legend=""):
    return "#MORVEX1\n1\n" + FENCE.format(image=image) + camera + legend


def description2(options="", fence_options="", image="good.png", magic="#MORVEX2"):
    """A format 2 description: the diagram's options, one fence with its options."""
    return magic + "\n" + options + "end\n1\n" + FENCE.format(image=image) + fence_options + "end\n" + CAMERA


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)


def png(width, height, colour_type=2, rows=None, bit_depth=8, interlace=0):
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour_type]
    if rows is None:
        rows = b"".join(b"\0" + bytes([200, 30, 30] * width)[: width * channels] for _ in range(height))
    ihdr = struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0, interlace)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b"")


def jpeg_claiming(width, height, source=GOOD_JPEG):
    data = bytearray(open(source, "rb").read())
    at = 2
    while at < len(data):
        marker, length = data[at + 1], struct.unpack(">H", data[at + 2 : at + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            data[at + 5 : at + 9] = struct.pack(">HH", height, width)
            return bytes(data)
        at += 2 + length
    raise RuntimeError("no frame header in " + GOOD_JPEG)


def jpeg_cut_in_scan():
    data = open(GOOD_JPEG, "rb").read()
    scan = data.index(b"\xff\xda")
    return data[: scan + (len(data) - scan) // 2]


def bmp_header(width, height, bits=24, data=b""):
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + 40 + len(data), 0, 0, 54) + info + data


def main():
    for name in os.listdir(HERE):
        path = os.path.join(HERE, name)
        if os.path.isdir(path):
            shutil.rmtree(path)
        elif name.endswith((".fnc", ".png", ".jpg", ".bmp", ".tif", ".gif")):
            os.remove(path)

    # Images the descriptions below may name; good.png is sound.
    write("good.png", png(4, 3))
    write("empty.png", b"")
    write("empty.jpg", b"")
    write("empty.bmp", b"")
    write("not-a-png.png", "this is text, not a picture\n")
    # A palette picture without its palette.
    write("palette.png", png(2, 2, colour_type=3, rows=b"\0\0\0\0\0\0"))
    write("truncated.png", png(64, 64)[:90])
    write("truncated.jpg", jpeg_cut_in_scan())
    write("truncated.bmp", bmp_header(8, 8, data=bytes(8 * 3 * 8))[:120])
    # A little-endian TIFF header whose first directory lies beyond the end.
    write("truncated.tif", b"II*\0" + struct.pack("<I", 4096) + bytes(8))
    write("picture.gif", b"GIF89a\x01\x00\x01\x00\x00\x00\x00;")
    write("picture", png(4, 3))
    # Pictures beyond the size limit that cannot be reduced while they are
    # read (interlaced, progressive), refused from their headers.
    write("too-large.png", png(16385, 16385, colour_type=0, rows=b"\0\0", interlace=1))
    write("too-large.jpg", jpeg_claiming(20000, 20000, PROGRESSIVE_JPEG))
    # Bitmaps beyond the limits are reduced while they are read: this one is
    # refused because it lacks its rows.
    write("too-large.bmp", bmp_header(20000, 20000))
    # Decompression bombs: small files that claim pictures they cannot hold.
    write("bomb.png", png(12000, 12000, colour_type=0, rows=b"\0" * 12001 * 4))
    write("bomb.jpg", jpeg_claiming(16000, 16000))
    write("bomb.bmp", bmp_header(10000, 10000, data=bytes(300)))
    # A directory where an image is expected.
    write("directory.png/keep", "")

    camera = CAMERA
    files = {
        "empty.fnc": "",
        "blank.fnc": " \n\t\n",
        "only-magic.fnc": "#MORVEX1\n",
        "fence-count-word.fnc": "#MORVEX1\ntwo\n",
        "fence-count-zero.fnc": "#MORVEX1\n0\n" + camera,
        "fence-count-negative.fnc": "#MORVEX1\n-3\n" + camera,
        "fence-count-huge.fnc": "#MORVEX1\n99999999999999999999\n",
        "fence-count-real.fnc": "#MORVEX1\n1.5\n",
        "fence-count-too-high.fnc": "#MORVEX1\n3\n" + FENCE.format(image="good.png") + camera,
        "point-count-one.fnc": "#MORVEX1\n1\n1\n0 0 0\ngood.png\n-\n0\n" + camera,
        "point-count-zero.fnc": "#MORVEX1\n1\n0\ngood.png\n-\n0\n" + camera,
        "point-count-negative.fnc": "#MORVEX1\n1\n-2\n",
        "point-count-huge.fnc": "#MORVEX1\n1\n2000000000\n0 0 0\n",
        "point-nan.fnc": "#MORVEX1\n1\n2\n0 nan 0\n10 0 0\ngood.png\n-\n0\n" + camera,
        "point-infinite.fnc": "#MORVEX1\n1\n2\n0 0 0\n10 0 -inf\ngood.png\n-\n0\n" + camera,
        "point-overflow.fnc": "#MORVEX1\n1\n2\n1e999 0 0\n10 0 0\ngood.png\n-\n0\n" + camera,
        "point-word.fnc": "#MORVEX1\n1\n2\n0 0 0\n10 north 0\ngood.png\n-\n0\n" + camera,
        "point-comma.fnc": "#MORVEX1\n1\n2\n0,5 0 0\n10 0 0\ngood.png\n-\n0\n" + camera,
        "truncated-in-point.fnc": "#MORVEX1\n1\n2\n0 0 0\n10 0\n",
        "truncated-before-image.fnc": "#MORVEX1\n1\n2\n0 0 0\n10 0 0\n",
        "truncated-before-description.fnc": "#MORVEX1\n1\n2\n0 0 0\n10 0 0\ngood.png\n",
        "truncated-before-label-end.fnc": "#MORVEX1\n1\n2\n0 0 0\n10 0 0\ngood.png\nA-A'\n",
        "label-end-word.fnc": "#MORVEX1\n1\n2\n0 0 0\n10 0 0\ngood.png\n-\nlast\n" + camera,
        "truncated-camera.fnc": "#MORVEX1\n1\n" + FENCE.format(image="good.png") + "0 0 0\n1 1\n",
        "no-camera.fnc": "#MORVEX1\n1\n" + FENCE.format(image="good.png"),
        "camera-nan.fnc": description(camera="0 0 0\n1 1 1\nnan 1 100\n"),
        "legend-truncated.fnc": description(legend="good.png\n10\n"),
        "legend-size-word.fnc": description(legend="good.png\n10 10\n0 0\nhalf\n"),
        "not-a-description.fnc": "Fence diagrams\n\nThis is text, not a description.\n",
        "binary.fnc": b"\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR\x00\x00\x01\x00" + bytes(range(256)) * 4,
        "nul-bytes.fnc": b"#MORVEX1\n1\n2\n0 0\x000\n",
        "long-word.fnc": "#MORVEX1\n" + "9" * 5000 + "x\n",
        "missing-image.fnc": description(image="no-such.png"),
        "missing-image-in-subdirectory.fnc": description(image="sub/no-such.png"),
        "image-is-directory.fnc": description(image="directory.png"),
        "image-unknown-extension.fnc": description(image="picture.gif"),
        "image-without-extension.fnc": description(image="picture"),
        "missing-legend.fnc": description(legend="no-legend.png\n10 10\n0 0\n0.3\n"),
        "legend-truncated-image.fnc": description(legend="truncated.bmp\n10 10\n0 0\n0.3\n"),
        "second-fence-image-missing.fnc": "#MORVEX1\n2\n" + FENCE.format(image="good.png")
        + FENCE.format(image="gone.jpg") + camera,
        # Format 2: option blocks closed by "end".
        "newer-format.fnc": description2(magic="#MORVEX3"),
        "options-unknown.fnc": description2("colour 1 0 0\n"),
        "options-repeated.fnc": description2("vertical-exaggeration 2\nvertical-exaggeration 3\n"),
        "options-without-end.fnc": "#MORVEX2\naxis-labels map\n1\n" + FENCE.format(image="good.png") + camera,
        "options-missing-value.fnc": "#MORVEX2\nvertical-exaggeration",
        "options-exaggeration-zero.fnc": description2("vertical-exaggeration 0\n"),
        "options-axis-labels-word.fnc": description2("axis-labels metres\n"),
        "options-colour-out-of-range.fnc": description2("solid-color 1 2 0\n"),
        "options-line-width-real.fnc": description2("line-width 2.5\n"),
        "options-antialias-word.fnc": description2("antialias high\n"),
        "fence-options-unknown.fnc": description2(fence_options="height 5\n"),
        "fence-options-without-end.fnc": "#MORVEX2\nend\n1\n" + FENCE.format(image="good.png") + camera,
        "elevation-upside-down.fnc": description2(fence_options="elevation -6000 500\n"),
        "elevation-too-far-apart.fnc": description2(fence_options="elevation 1e308 -1e308\n"),
        "elevation-truncated.fnc": "#MORVEX2\nend\n1\n" + FENCE.format(image="good.png") + "elevation 500\n",
        "crop-empty.fnc": description2(fence_options="crop 10 0 5 3\n"),
        "crop-negative.fnc": description2(fence_options="crop -1 0 4 3\n"),
        "crop-beyond-picture.fnc": description2(fence_options="elevation 10 0\ncrop 0 0 5 3\n"),
    }
    for name, text in files.items():
        write(name, text)


if __name__ == "__main__":
    main()
