#!/usr/bin/env python3
"""Regenerates data/lens_*.tsv from the lens-identification facts of Debian's
libimage-exiftool-perl (read through lens_facts.pl).

Development-time only; the build reads the .tsv files and never runs this.

    python3 tools/tables/make_lenses.py            # rewrite data/lens_*.tsv
    python3 tools/tables/make_lenses.py --check    # report, write nothing

What each table's key is, and how it is derived from the facts, is written
in the header of the file this script produces (and in data/README.md).
"""

import argparse
import math
import re
import struct
import subprocess
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
DATA = HERE.parent.parent / "data"

# Lens makers recognised at the start of a lens name, longest first where one
# is the prefix of another. Anything else gets the table's own maker.
MAKER_WORDS = [
    ("konica minolta", "Konica Minolta"), ("carl zeiss", "Zeiss"), ("venus optics", "Venus Optics"),
    ("smc pentax", "Pentax"), ("hd pentax", "Pentax"), ("pentax", "Pentax"),
    ("zeiss", "Zeiss"), ("sigma", "Sigma"), ("tamron", "Tamron"), ("tokina", "Tokina"),
    ("kenko", "Kenko"), ("samyang", "Samyang"), ("rokinon", "Samyang"), ("voigtlander", "Voigtlander"),
    ("cosina", "Cosina"), ("soligor", "Soligor"), ("vivitar", "Vivitar"), ("yongnuo", "Yongnuo"),
    ("irix", "Irix"), ("laowa", "Venus Optics"), ("lensbaby", "Lensbaby"), ("schneider", "Schneider"),
    ("leica", "Leica"), ("lumix", "Panasonic"), ("panasonic", "Panasonic"), ("minolta", "Minolta"),
    ("sony", "Sony"), ("canon", "Canon"), ("nikon", "Nikon"), ("olympus", "Olympus"),
    ("samsung", "Samsung"), ("ricoh", "Ricoh"), ("hasselblad", "Hasselblad"), ("mamiya", "Mamiya"),
    ("meike", "Meike"), ("viltrox", "Viltrox"), ("ttartisan", "TTArtisan"), ("7artisans", "7Artisans"),
    ("metabones", "Metabones"), ("mitakon", "Mitakon"), ("zhongyi", "Zhongyi"), ("kowa", "Kowa"),
    ("fujinon", "Fujifilm"), ("fujifilm", "Fujifilm"), ("quantaray", "Quantaray"), ("phoenix", "Phoenix"),
    ("promaster", "Promaster"), ("makinon", "Makinon"), ("kiron", "Kiron"), ("helios", "Helios"),
    ("zenitar", "Zenitar"), ("angenieux", "Angenieux"), ("hartblei", "Hartblei"), ("arsat", "Arsat"),
    ("kmz", "KMZ"), ("jupiter", "Jupiter"), ("beroflex", "Beroflex"), ("exakta", "Exakta"),
    ("photar", "Photar"), ("porst", "Porst"),
]

# Text fields of the record formats, in UTF-16 units without the terminator.
MAX_MAKER = 31
MAX_NAME = 127
MAX_NIKON_TEXT = 19


def maker_of(name, default):
    lowered = name.lower()
    for word, maker in MAKER_WORDS:
        if lowered.startswith(word):
            return maker
    return default


def key_order(key):
    """Integer part first, then the alternative number after the dot."""
    head, _, tail = key.partition(".")
    return (head, int(tail) if tail else -1)


def read_facts(source):
    if source:
        text = Path(source).read_text(encoding="utf-8")
    else:
        text = subprocess.run(["perl", str(HERE / "lens_facts.pl")], check=True,
                              capture_output=True).stdout.decode("utf-8")
    facts = {}
    version = "?"
    for line in text.splitlines():
        if line.startswith("# ExifTool"):
            version = line.split()[-1]
            continue
        table, key, name = line.split("\t", 2)
        facts.setdefault(table, []).append((key, name.strip()))
    return version, facts


FOCAL = re.compile(r"(\d+(?:\.\d+)?)(?:\s?-\s?(\d+(?:\.\d+)?))?\s?mm", re.I)
APERTURE = re.compile(r"(?:f/?|F|1:)\s?(\d+(?:\.\d+)?)(?:\s?-\s?(\d+(?:\.\d+)?))?")
# "Zeiss Otus 1.4/100": aperture / focal length
ZEISS_STYLE = re.compile(r"\b(\d(?:\.\d)?)/(\d{2,4})\b")
EXTENDER = re.compile(r"\+\s*(?:TC-?\d+\w*\s*)?\(?(\d(?:\.\d)?)x", re.I)
NIKON_TC = {"TC-14": 1.4, "TC-17": 1.7, "TC-20": 2.0}


def focal_range(name):
    match = FOCAL.search(name)
    if match:
        short = float(match.group(1))
        return short, float(match.group(2) or short), match.end()
    match = ZEISS_STYLE.search(name)
    if match:
        focal = float(match.group(2))
        return focal, focal, match.start()
    return None


def aperture_range(name, start):
    match = ZEISS_STYLE.search(name)
    if match and not FOCAL.search(name):
        value = float(match.group(1))
        return value, value
    match = APERTURE.search(name, start)
    if not match:
        return None
    wide = float(match.group(1))
    return wide, float(match.group(2) or wide)


def extender_factor(name):
    match = EXTENDER.search(name)
    if match:
        return float(match.group(1))
    for tc, factor in NIKON_TC.items():
        if "+ " + tc in name:
            return factor
    return 1.0


def round_half_up(value):
    return int(math.floor(value + 0.5))


# ---- Canon ----------------------------------------------------------------
# Key: the lens type of the camera settings (element 22) together with the
# short and long focal lengths (elements 24 and 23); a type shared by several
# lenses is told apart by the focal lengths. Lenses named with an extender
# ("+ 1.4x") report the multiplied focal lengths.
def canon_rows(facts, report):
    rows, seen = [], set()
    for key, name in sorted(facts, key=lambda f: (float(f[0].split(".")[0]), key_order(f[0])[1])):
        lens_type = int(key.split(".")[0])
        if name == "n/a" or not 0 <= lens_type <= 0xFFFF:
            continue
        focal = focal_range(name)
        if not focal:
            report.append(f"canon {key}: no focal length in '{name}', left out")
            continue
        factor = extender_factor(name)
        short, long_ = round_half_up(focal[0] * factor), round_half_up(focal[1] * factor)
        entry = (lens_type, short, long_, name)
        if entry in seen:
            continue
        seen.add(entry)
        rows.append([str(lens_type), str(short), str(long_), maker_of(name, "Canon"), name])
    return rows


# ---- Nikon ----------------------------------------------------------------
# Key: the maker note's lens line, computed from the lens's nominal focal
# lengths and largest apertures exactly as the camera's four rationals are
# turned into text, plus the f-stops code (the first byte of the LensFStops
# entry, which is also the second byte of the lens ID).
def f32(value):
    return struct.unpack("<f", struct.pack("<f", value))[0]


def nikon_lens_text(short, long_, wide, tele):
    short, long_, wide, tele = f32(short), f32(long_), f32(wide), f32(tele)
    if short == long_:
        text = "%1.1fmm F%1.1f" % (short, wide)
    elif wide == tele:
        text = "%1.0f-%1.0fmm F%1.1f" % (short, long_, wide)
    else:
        text = "%1.0f-%1.0fmm F%1.1f-%1.1f" % (short, long_, wide, tele)
    while ".0" in text:
        text = text.replace(".0", "")
    return text


STANDARD_APERTURES = [0.95, 1.0, 1.1, 1.2, 1.4, 1.7, 1.8, 2.0, 2.2, 2.4, 2.5, 2.8, 3.2, 3.3, 3.5, 3.8,
                      4.0, 4.5, 4.8, 5.0, 5.6, 5.8, 6.3, 6.7, 7.1, 8.0, 9.0, 9.5, 10.0, 11.0, 13.0, 16.0]


def nearest_aperture(value):
    return min(STANDARD_APERTURES, key=lambda a: abs(math.log(a / value)))


def close(a, b, tolerance):
    return a > 0 and b > 0 and abs(math.log(a / b)) <= tolerance


def nikon_nominal(key_bytes, name, report):
    """Nominal focal lengths and apertures: from the name when it agrees with
    the values coded in the lens ID, else the coded values, rounded."""
    coded = (5 * 2 ** (key_bytes[2] / 24), 5 * 2 ** (key_bytes[3] / 24),
             2 ** (key_bytes[4] / 24), 2 ** (key_bytes[5] / 24))
    focal = focal_range(name)
    aperture = aperture_range(name, focal[2] if focal else 0) if focal else None
    # A teleconverter does not change the coded values (the ID's MCU byte
    # names it), so the name's own numbers are compared. The aperture at the
    # long end is not: some third-party lenses code a meaningless byte there.
    # A lens with a built-in converter engaged codes the multiplied values.
    if focal and aperture:
        for factor in (1.0, extender_factor(name)):
            named = (focal[0] * factor, focal[1] * factor, aperture[0] * factor, aperture[1] * factor)
            if all(close(n, c, 0.12) for n, c in zip(named[:3], coded[:3])):
                return named, True
    if coded[0] < 1 or coded[2] < 0.5 or key_bytes[2] == 0 or key_bytes[4] == 0:
        return None, False
    rounded = (round_half_up(coded[0]), round_half_up(coded[1]),
               nearest_aperture(coded[2]), nearest_aperture(coded[3]))
    return rounded, False


def nikon_rows(facts, report):
    rows, seen = [], set()
    from_coded = 0
    for key, name in sorted(facts, key=lambda f: key_order(f[0])):
        parts = key.split(".")[0].split()
        key_bytes = [int(part, 16) for part in parts[:8]]
        nominal, from_name = nikon_nominal(key_bytes, name, report)
        if not nominal:
            report.append(f"nikon {key}: no focal length or aperture for '{name}', left out")
            continue
        if not from_name:
            from_coded += 1
        text = nikon_lens_text(*nominal)
        fstops = "%02X" % key_bytes[1]
        entry = (text, fstops, name)
        if entry in seen:
            continue
        seen.add(entry)
        rows.append([text, fstops, maker_of(name, "Nikon"), name, " ".join(parts[:8])])
    report.append(f"nikon: {from_coded} lens texts taken from the coded lens ID (name unusable)")
    # Many lenses share a lens text and f-stops code and the first row wins:
    # Nikon's own lenses come first, as the likelier ones on a Nikon body,
    # the newer ones (higher lens ID numbers) before the older.
    rows.sort(key=lambda row: (row[2] != "Nikon", -int(row[4][:2], 16)))
    return rows


# ---- Pentax ---------------------------------------------------------------
# Key: the first 16-bit value of the lens record, series * 256 + number
# (Pentax maker notes are big-endian).
def pentax_rows(facts, report):
    rows, seen = [], set()
    for key, name in sorted(facts, key=lambda f: ([int(v) for v in f[0].split(".")[0].split()],
                                                   key_order(f[0])[1])):
        series, number = (int(v) for v in key.split(".")[0].split()[:2])
        entry = (series, number, name)
        if entry in seen:
            continue
        seen.add(entry)
        rows.append([str(series * 256 + number), f"{series} {number}", maker_of(name, "Pentax"), name])
    return rows


# ---- Olympus --------------------------------------------------------------
# The maker note gives six bytes; the tables keep the first four as eight
# upper-case hex digits: make, 00, model, sub-model.
def olympus_rows(facts, report, extender):
    rows = []
    for key, name in sorted(facts, key=lambda f: [int(v, 16) for v in f[0].split()]):
        if name == "None":
            continue
        parts = [int(v, 16) for v in key.split()]
        if extender:
            code = "%02X00%02X00" % (parts[0], parts[1])
        else:
            code = "%02X00%02X%02X" % (parts[0], parts[1], parts[2])
        rows.append([code, maker_of(name, "Olympus"), name])
    return rows


# ---- Sony / Minolta -------------------------------------------------------
# Key: the A-mount lens type of the maker note. 65535 (E-mount and other
# lenses) is left out: a file that writes it names its lens in Exif instead.
def sony_rows(facts, report):
    rows, seen = [], set()
    for key, name in sorted(facts, key=lambda f: (int(f[0].split(".")[0]), key_order(f[0])[1])):
        code = int(key.split(".")[0])
        if code == 65535:
            continue
        entry = (code, name)
        if entry in seen:
            continue
        seen.add(entry)
        rows.append([str(code), maker_of(name, "Sony"), name])
    return rows


HEADERS = {
    "canon": ("lens_canon.tsv", ["type", "short", "long", "maker", "name"], [
        "Canon lenses: lens_canon.bin.",
        "type: the lens type of the camera settings (0..65535); short, long: the focal",
        "lengths in mm the camera settings give with it (the focal key is short << 16 | long).",
        "Several lenses share a type; the focal lengths tell them apart, and the first",
        "row with a key wins.",
    ]),
    "nikon": ("lens_nikon.tsv", ["lens_text", "fstops", "maker", "name", "lens_id"], [
        "Nikon lenses: lens_nikon.bin.",
        "lens_text: the maker note's lens line for this lens (\"50mm F1.4\", \"18-55mm F3.5-5.6\");",
        "fstops: the f-stops code (two upper-case hex digits); the first row with both wins,",
        "so Nikon's own lenses come first, newer (higher lens ID number) before older.",
        "lens_id: the eight-byte Nikon lens ID the row comes from (not stored).",
    ]),
    "pentax": ("lens_pentax.tsv", ["code", "series_number", "maker", "name"], [
        "Pentax lenses: lens_pentax.bin.",
        "code: the first 16-bit value of the lens record, series * 256 + number;",
        "series_number: the same code as the two bytes (checked, not stored).",
    ]),
    "olympus": ("lens_olympus.tsv", ["code", "maker", "name"], [
        "Olympus lenses: lens_olympus.bin.",
        "code: the first eight of the twelve hex digits of the maker note's lens code",
        "(bytes make, 00, model, sub-model), upper case.",
    ]),
    "olympus_ext": ("lens_olympus_ext.tsv", ["code", "maker", "name"], [
        "Olympus extenders: lens_olympus_ext.bin.",
        "code: the first eight of the twelve hex digits of the maker note's extender code",
        "(bytes make, 00, model, 00), upper case.",
    ]),
    "sony": ("lens_sony.tsv", ["code", "maker", "name"], [
        "Sony and Minolta A-mount lenses: lens_sony.bin.",
        "code: the lens type of the maker note (Sony 0xB027, Minolta 0x010C).",
    ]),
}


def check_lengths(table, rows, columns, report):
    ok = True
    for row in rows:
        fields = dict(zip(columns, row))
        if len(fields["maker"]) > MAX_MAKER or len(fields["name"]) > MAX_NAME:
            report.append(f"{table}: text too long: {row}")
            ok = False
        if table == "nikon" and len(fields["lens_text"]) > MAX_NIKON_TEXT:
            report.append(f"{table}: lens text too long: {row}")
            ok = False
        if any("\t" in field or "\n" in field for field in row):
            report.append(f"{table}: tab or newline in {row}")
            ok = False
    return ok


def write_table(table, rows, version):
    file_name, columns, notes = HEADERS[table]
    lines = [f"# {note}" for note in notes]
    lines.append(f"# Generated by tools/tables/make_lenses.py from ExifTool {version}'s lens lists.")
    lines.append("\t".join(columns))
    lines += ["\t".join(row) for row in rows]
    (DATA / file_name).write_text("\n".join(lines) + "\n", encoding="utf-8")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--facts", help="read the facts from this file instead of running lens_facts.pl")
    parser.add_argument("--check", action="store_true", help="report only")
    args = parser.parse_args()

    version, facts = read_facts(args.facts)
    report = []
    tables = {
        "canon": canon_rows(facts["canon"], report),
        "nikon": nikon_rows(facts["nikon"], report),
        "pentax": pentax_rows(facts["pentax"], report),
        "olympus": olympus_rows(facts["olympus"], report, extender=False),
        "olympus_ext": olympus_rows(facts["olympus_ext"], report, extender=True),
        "sony": sony_rows(facts["sony"], report),
    }
    ok = all(check_lengths(name, rows, HEADERS[name][1], report) for name, rows in tables.items())
    for line in report:
        print(line, file=sys.stderr)
    for name, rows in tables.items():
        print(f"{name}: {len(rows)} rows")
    if not ok:
        return 1
    if not args.check:
        for name, rows in tables.items():
            write_table(name, rows, version)
    return 0


if __name__ == "__main__":
    sys.exit(main())
