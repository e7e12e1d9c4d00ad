#!/usr/bin/env python3
"""bench/make-dng-24mp.py SOURCE.dng OUTPUT.dng [WIDTH HEIGHT]

Makes a large uncompressed DNG for timing RAW developments from a small
real one: the source's sensor data, cut to its active area, repeated tile by
tile to WIDTH x HEIGHT (default 6000 x 4000, 24 megapixels).

What the output holds, and why:
  - one strip of 16-bit little-endian samples, uncompressed: the sample
    values are the source's own, so its black and white levels still hold;
    16 bits rather than the source's packing because that is what most
    uncompressed camera DNGs carry, and it leaves the decoder no unpacking
    to do that would not be timed on real files too;
  - each tile starts at the active area's corner, where the colour filter
    pattern starts, and is cut to an even size, so every tile keeps the
    pattern's phase and the pattern tags stay true for the whole picture;
  - the colour tags copied unchanged (COPIED_TAGS): make and model, the
    colour filter pattern, the DNG versions, the linearisation table,
    black and white levels, the colour and forward matrices with their
    illuminants, the analogue balance, the as-shot neutral, the baseline
    exposure, noise and sharpness;
  - no ActiveArea, crop, masked areas, per-row or per-column black deltas
    (their sizes belong to the source's geometry), Exif directory or
    preview: the whole picture is active.

Only the source's first directory is read, and it must hold uncompressed
colour-filter data of 8 to 16 bits a sample, packed most significant bit
first, rows starting on a byte. The reader trusts no field: every offset is
checked against the bytes read, and the file, the directory and each value
have a size cap.

Standard library only. Verify the result with `dcraw -i -v` and `exiftool`.
"""

import array
import struct
import sys

MAX_SOURCE_BYTES = 256 << 20  # a trimmed sample is a few megabytes
MAX_ENTRIES = 1024  # real first directories hold well under a hundred
MAX_VALUE_BYTES = 1 << 20  # the largest copied value, a linearisation table, is 128 KiB
MAX_SIDE = 65535  # DNG readers take 32-bit sizes; nothing real passes this

# TIFF field types: size in bytes of one element's parts, and the parts.
TYPE_PARTS = {1: (1, 1), 2: (1, 1), 3: (2, 1), 4: (4, 1), 5: (4, 2), 6: (1, 1), 7: (1, 1),
              8: (2, 1), 9: (4, 1), 10: (4, 2), 11: (4, 1), 12: (8, 1), 16: (8, 1)}

COPIED_TAGS = (
    0x010F, 0x0110,  # Make, Model
    0x828D, 0x828E,  # CFARepeatPatternDim, CFAPattern
    0xC612, 0xC613, 0xC614,  # DNGVersion, DNGBackwardVersion, UniqueCameraModel
    0xC616, 0xC617, 0xC618,  # CFAPlaneColor, CFALayout, LinearizationTable
    0xC619, 0xC61A, 0xC61D,  # BlackLevelRepeatDim, BlackLevel, WhiteLevel
    0xC621, 0xC622, 0xC623, 0xC624,  # ColorMatrix1/2, CameraCalibration1/2
    0xC627, 0xC628, 0xC629,  # AnalogBalance, AsShotNeutral, AsShotWhiteXY
    0xC62A, 0xC62B, 0xC62C, 0xC62E,  # BaselineExposure, BaselineNoise, BaselineSharpness, LinearResponseLimit
    0xC65A, 0xC65B, 0xC714, 0xC715,  # CalibrationIlluminant1/2, ForwardMatrix1/2
)


class BadSource(Exception):
    pass


class Entry:
    def __init__(self, tag, kind, count, data):
        self.tag, self.kind, self.count, self.data = tag, kind, count, data


def fetch(blob, offset, length):
    if offset < 0 or length < 0 or offset + length > len(blob):
        raise BadSource(f"range {offset}+{length} lies outside the file's {len(blob)} bytes")
    return blob[offset:offset + length]


def read_first_directory(blob):
    order = fetch(blob, 0, 2)
    if order not in (b"II", b"MM"):
        raise BadSource("not a TIFF file")
    endian = "<" if order == b"II" else ">"
    magic, first = struct.unpack(endian + "HI", fetch(blob, 2, 6))
    if magic != 42:
        raise BadSource("not a TIFF file")
    (count,) = struct.unpack(endian + "H", fetch(blob, first, 2))
    if count > MAX_ENTRIES:
        raise BadSource(f"{count} entries in the first directory")
    entries = {}
    for index in range(count):
        tag, kind, items, inline = struct.unpack(endian + "HHI4s", fetch(blob, first + 2 + 12 * index, 12))
        if kind not in TYPE_PARTS:
            continue  # an unknown type cannot be sized: not one we copy
        part, parts = TYPE_PARTS[kind]
        size = items * part * parts
        if size > MAX_VALUE_BYTES:
            raise BadSource(f"tag {tag:#06x} claims {size} bytes")
        if size <= 4:
            data = inline[:size]
        else:
            data = fetch(blob, struct.unpack(endian + "I", inline)[0], size)
        entries[tag] = Entry(tag, kind, items, to_little_endian(data, kind, endian))
    return entries, endian


def to_little_endian(data, kind, endian):
    part = TYPE_PARTS[kind][0]
    if endian == "<" or part == 1:
        return data
    return b"".join(data[i:i + part][::-1] for i in range(0, len(data), part))


def numbers(entry):
    codes = {1: "B", 3: "H", 4: "I"}
    if entry.kind not in codes:
        raise BadSource(f"tag {entry.tag:#06x} is not an unsigned integer")
    return list(struct.unpack(f"<{entry.count}{codes[entry.kind]}", entry.data))


def one(entries, tag, default=None):
    if tag not in entries:
        if default is None:
            raise BadSource(f"tag {tag:#06x} missing")
        return default
    values = numbers(entries[tag])
    if len(values) != 1:
        raise BadSource(f"tag {tag:#06x} holds {len(values)} values")
    return values[0]


def active_samples(blob, entries, endian):
    """The active area's samples, one array('H') per row, from the first directory."""
    width, height = one(entries, 0x0100), one(entries, 0x0101)
    bits = one(entries, 0x0102)
    if one(entries, 0x0103, 1) != 1 or one(entries, 0x0106) != 32803 or one(entries, 0x0115, 1) != 1:
        raise BadSource("the first directory is not uncompressed colour-filter data")
    if not 8 <= bits <= 16 or not 0 < width <= MAX_SIDE or not 0 < height <= MAX_SIDE:
        raise BadSource(f"{width} x {height} at {bits} bits")
    row_bytes = (width * bits + 7) // 8
    if 0x0111 not in entries or 0x0117 not in entries:
        raise BadSource("no strips")
    offsets, counts = numbers(entries[0x0111]), numbers(entries[0x0117])
    if len(offsets) != len(counts):
        raise BadSource("strip offsets and counts disagree")
    data = b"".join(fetch(blob, o, c) for o, c in zip(offsets, counts))
    if len(data) < row_bytes * height:
        raise BadSource(f"{len(data)} bytes of samples for {width} x {height}")
    # The colour filter pattern starts at the active area's corner; an even
    # tile size keeps it in phase from one tile to the next.
    top, left, bottom, right = numbers(entries[0xC68D]) if 0xC68D in entries else (0, 0, height, width)
    bottom, right = bottom - (bottom - top) % 2, right - (right - left) % 2
    if not (0 <= top < bottom <= height and 0 <= left < right <= width):
        raise BadSource("active area outside the picture")
    rows = []
    for y in range(top, bottom):
        rows.append(unpack_row(data[y * row_bytes:(y + 1) * row_bytes], width, bits, endian)[left:right])
    return rows


def unpack_row(row, width, bits, endian):
    if bits == 8:
        return array.array("H", row[:width])
    if bits == 16:  # whole samples in the file's byte order
        out = array.array("H", row[:2 * width])
        if (endian == "<") != (sys.byteorder == "little"):
            out.byteswap()
        return out
    # Groups of `group` bytes hold `per_group` whole samples, most significant bit first.
    per_group = 8 // gcd(bits, 8)
    group = per_group * bits // 8
    mask = (1 << bits) - 1
    shifts = [bits * (per_group - 1 - i) for i in range(per_group)]
    out = array.array("H")
    for start in range(0, len(row) - group + 1, group):
        value = int.from_bytes(row[start:start + group], "big")
        out.extend((value >> s) & mask for s in shifts)
    if len(out) < width:
        raise BadSource("row shorter than the width")
    return out[:width]


def gcd(a, b):
    while b:
        a, b = b, a % b
    return a


def build_directory(copied, width, height, data_offset):
    """The output's entries, sorted by tag, as (tag, type, count, little-endian data)."""
    def longs(*values):
        return struct.pack(f"<{len(values)}I", *values)

    def shorts(*values):
        return struct.pack(f"<{len(values)}H", *values)

    software = b"bench/make-dng-24mp.py\0"
    own = [
        (0x00FE, 4, 1, longs(0)),  # NewSubfileType: the main picture
        (0x0100, 4, 1, longs(width)), (0x0101, 4, 1, longs(height)),
        (0x0102, 3, 1, shorts(16)), (0x0103, 3, 1, shorts(1)), (0x0106, 3, 1, shorts(32803)),
        (0x0111, 4, 1, longs(data_offset)), (0x0112, 3, 1, shorts(1)), (0x0115, 3, 1, shorts(1)),
        (0x0116, 4, 1, longs(height)), (0x0117, 4, 1, longs(width * height * 2)),
        (0x011C, 3, 1, shorts(1)), (0x0131, 2, len(software), software),
    ]
    entries = {tag: (tag, kind, count, data) for tag, kind, count, data in own}
    for tag in COPIED_TAGS:
        if tag in copied:
            e = copied[tag]
            entries[tag] = (tag, e.kind, e.count, e.data)
    return [entries[tag] for tag in sorted(entries)]


def write_dng(path, copied, tile_rows, width, height):
    # Layout: header, directory, out-of-line values, then the samples.
    header_size = 8
    directory = build_directory(copied, width, height, 0)
    directory_size = 2 + 12 * len(directory) + 4
    values_size = sum((len(d) + 1) & ~1 for _, _, _, d in directory if len(d) > 4)
    data_offset = (header_size + directory_size + values_size + 15) & ~15
    directory = build_directory(copied, width, height, data_offset)

    head = bytearray(struct.pack("<2sHI", b"II", 42, header_size))
    head += struct.pack("<H", len(directory))
    values = bytearray()
    values_start = header_size + directory_size
    for tag, kind, count, data in directory:
        if len(data) <= 4:
            head += struct.pack("<HHI", tag, kind, count) + data.ljust(4, b"\0")
        else:
            head += struct.pack("<HHII", tag, kind, count, values_start + len(values))
            values += data + (b"\0" if len(data) % 2 else b"")
    head += struct.pack("<I", 0)  # no second directory
    head += values
    head = head.ljust(data_offset, b"\0")

    tile_height = len(tile_rows)
    tile_width = len(tile_rows[0])
    repeats = -(-width // tile_width)
    wide_rows = []
    for row in tile_rows:
        samples = array.array("H", row) * repeats
        del samples[width:]
        if sys.byteorder != "little":
            samples.byteswap()
        wide_rows.append(samples.tobytes())
    with open(path, "wb") as out:
        out.write(head)
        for y in range(height):
            out.write(wide_rows[y % tile_height])


def main(argv):
    if len(argv) not in (3, 5):
        print(__doc__.splitlines()[0], file=sys.stderr)
        return 2
    source, output = argv[1], argv[2]
    width, height = (int(argv[3]), int(argv[4])) if len(argv) == 5 else (6000, 4000)
    if not (0 < width <= MAX_SIDE and 0 < height <= MAX_SIDE and width % 2 == 0 and height % 2 == 0):
        print("width and height must be even and at most 65535", file=sys.stderr)
        return 2
    try:
        with open(source, "rb") as f:
            blob = f.read(MAX_SOURCE_BYTES + 1)
        if len(blob) > MAX_SOURCE_BYTES:
            raise BadSource("larger than a sample should be")
        entries, endian = read_first_directory(blob)
        rows = active_samples(blob, entries, endian)
    except (BadSource, OSError, struct.error, ValueError) as error:
        print(f"{source}: {error}", file=sys.stderr)
        return 1
    write_dng(output, entries, rows, width, height)
    print(f"{output}: {width} x {height}, tiles of {len(rows[0])} x {len(rows)} from {source}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
