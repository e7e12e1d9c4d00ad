#!/usr/bin/env python3
"""Regenerates data/cameras.tsv: one row per camera model of the RAW kinds the
program opens, from the installed LibRaw's camera list and the camera facts
below.

Development-time only; the build reads data/cameras.tsv and never runs this.

    python3 tools/tables/make_cameras.py            # rewrite data/cameras.tsv
    python3 tools/tables/make_cameras.py --check    # report, write nothing

Facts kept here, per camera:
  - the model text exactly as the camera writes it into Exif (the lookup
    ignores case and blanks, so "EOS 5D Mark IV" and "EOS5D MARK IV" match,
    but every word must be right), one row per regional name;
  - the file kind its RAW files have, which decides the preview slots;
  - the crop factor (35 mm conversion) from its sensor size, 0 where unknown;
  - whether LibRaw lists it (RAW development flag).

Identifiers already in data/cameras.tsv are kept for the same maker and model
(the cache files of users store them); new rows take the next free number
of their maker's block. Removing a camera retires its number.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
from dataclasses import dataclass
from pathlib import Path

HERE = Path(__file__).resolve().parent
DATA = HERE.parent.parent / "data"
CAMERAS_TSV = DATA / "cameras.tsv"
RESERVED_TSV = DATA / "reserved_cameras.tsv"

# Makers in the order of the camera index's ranges, each with its block of
# camera identifiers. The maker text is the one the index recognises.
MAKERS = [
    ("Canon", 1000), ("Nikon", 2000), ("Pentax", 3000), ("Ricoh", 3500), ("Olympus", 4000),
    ("OM Digital Solutions", 4800), ("FujiFilm", 5000), ("Sony", 6000), ("Panasonic", 7000),
    ("Leica", 8000), ("Konica Minolta", 9000), ("Sigma", 10000), ("Polaroid", 11000),
    ("Samsung", 12000),
    # Makers without a range of their own: listed in the dialog, never looked
    # up from row 18 on (their RAW kinds have fixed records).
    ("Apple", 20000), ("Google", 20500), ("Hasselblad", 21000), ("Kodak", 22000), ("Mamiya", 23000),
]
BLOCK_SIZE = 500

# Preview slots per file structure: (thumbnail slot, preview slot). The
# thumbnail is the smallest useful embedded JPEG, the preview the largest.
KIND_SLOTS = {
    "CR2": (2, 1),   # IFD1 160x120 thumbnail; IFD0 strip is the large JPEG
    "CR3": (2, 1),   # first JPEG (THMB); third JPEG of the file
    "CRW": (1, 1),   # the CIFF 0x2007 JPEG is the only one recorded
    "TIF": (2, 0),   # EOS-1D/1Ds RAW .TIF: the fixed TIFF record decides
    "NEF": (3, 2),   # Nikon preview IFD (640 px); JpgFromRaw in the first SubIFD
    "NRW": (4, 2),   # JPEG thumbnail in IFD0; JpgFromRaw in the first SubIFD
    "PEF": (2, 4),   # IFD1 thumbnail; JpgFromRaw in IFD2
    "ORF": (3, 4),   # maker-note thumbnail; camera-settings preview
    "RAF": (2, 1),   # thumbnail of the embedded JPEG's Exif; the embedded JPEG
    "ARW": (2, 4),   # IFD1 thumbnail; IFD0 preview (1616x1080)
    "SR2": (2, 4),   # as ARW
    "SRF": (2, 4),   # as ARW (not a kind the program opens)
    "MRW": (4, 1),   # IFD0 thumbnail; maker-note preview
    "RW2": (2, 1),   # the embedded JPEG (IFD0 0x002E) serves both
    "RWL": (2, 1),   # as RW2
    "RAW": (2, 1),   # Panasonic/Leica .RAW: the fixed record decides
    "X3F": (2, 3),   # thumbnail of the JPEG section's Exif; the JPEG section
    "SRW": (2, 2),   # JpgFromRaw in the first SubIFD serves both
    "DNG": (0, 5),   # the fixed DNG record decides
    "3FR": (0, 4),   # the fixed 3FR record decides
    "MEF": (6, 0),   # the fixed MEF record decides
    "DCR": (0, 0),   # the fixed DCR record decides
}
# Kinds whose slot-2 thumbnail is the 160x120 JPEG that cameras with a 3:2
# sensor letterbox: 7 black rows at the top and at the bottom.
LETTERBOXED_THUMB_KINDS = {"CR2", "CR3", "ARW", "SR2", "PEF", "RAF"}
LETTERBOX = "7,7,0,0"

# ---- Sensor formats -------------------------------------------------------
FF, APSH, APSC_CANON, APSC, FOURTHIRDS = 1.0, 1.3, 1.6, 1.5, 2.0
ONE_INCH, TWO_THIRDS, S1_1_7, S1_1_8, S1_2, S1_2_3, S1_2_5 = 2.7, 3.9, 4.6, 4.8, 5.4, 5.6, 6.0
MF_44X33 = 0.79


@dataclass
class Camera:
    maker: str
    model: str
    kind: str
    crop: float
    raw: int
    thumb: int = 0
    preview: int = 0
    thumb_crop: str = "0"
    preview_crop: str = "0"
    id: int = 0
    aspect32: bool = True  # 3:2 sensor: its 160x120 thumbnails are letterboxed


# ---------------------------------------------------------------------------
# Canon
# ---------------------------------------------------------------------------
CANON_CRW = {"EOS D30", "EOS D60", "EOS 10D", "EOS 300D DIGITAL", "EOS DIGITAL REBEL", "EOS Kiss Digital",
             "PowerShot 600", "PowerShot A5", "PowerShot A5 Zoom", "PowerShot A50", "PowerShot Pro70",
             "PowerShot Pro90 IS", "PowerShot Pro1", "PowerShot G1", "PowerShot G2", "PowerShot G3",
             "PowerShot G5", "PowerShot G6", "PowerShot S30", "PowerShot S40", "PowerShot S45",
             "PowerShot S50", "PowerShot S60", "PowerShot S70"}
CANON_TIF = {"EOS-1D", "EOS-1DS"}
CANON_CR3 = {"EOS R", "EOS RP", "EOS R3", "EOS R5", "EOS R6", "EOS R6m2", "EOS R7", "EOS R8", "EOS R10",
             "EOS R50", "EOS M50", "EOS Kiss M", "EOS M50m2", "EOS Kiss M2", "EOS M6 Mark II", "EOS M200",
             "EOS 250D", "EOS 200D II", "EOS Rebel SL3", "EOS Kiss X10", "EOS 850D", "EOS Rebel T8i",
             "EOS Kiss X10i", "EOS 90D", "EOS-1D X Mark III", "PowerShot G7 X Mark III",
             "PowerShot G5 X Mark II", "PowerShot SX70 HS"}
# Names that the camera writes differently from the list's spelling.
CANON_DIGITAL_SUFFIX = {"EOS 300D": "EOS 300D DIGITAL", "EOS 350D": "EOS 350D DIGITAL",
                        "EOS 400D": "EOS 400D DIGITAL", "EOS D2000": "EOS D2000C"}
# Cameras that shoot RAW only with CHDK: their PowerShot, IXUS and IXY names.
CANON_CHDK = {
    "A570": ["PowerShot A570 IS"], "A590": ["PowerShot A590 IS"], "A650": ["PowerShot A650 IS"],
    "ELPH 130 IS": ["PowerShot ELPH 130 IS", "IXUS 140", "IXY 110F"],
    "ELPH 160 IS": ["PowerShot ELPH 160", "IXUS 160"], "IXUS 160": ["PowerShot ELPH 160", "IXUS 160"],
    "SD300": ["PowerShot SD300", "DIGITAL IXUS 40", "IXY DIGITAL 50"],
    "SD750": ["PowerShot SD750", "DIGITAL IXUS 75", "IXY DIGITAL 90"],
    "SD950": ["PowerShot SD950 IS", "DIGITAL IXUS 960 IS", "IXY DIGITAL 2000 IS"],
    "IXUS 95": ["PowerShot SD1200 IS", "DIGITAL IXUS 95 IS", "IXY DIGITAL 110 IS"],
    "IXUS 900Ti": ["PowerShot SD900", "DIGITAL IXUS 900 Ti", "IXY DIGITAL 1000"],
}
CANON_POWERSHOT_CROP = {
    "600": 0, "A5": 0, "A5 Zoom": 0, "A50": 0, "Pro70": 0, "Pro90 IS": 4.9, "Pro1": TWO_THIRDS,
    "G1": 4.9, "G2": 4.9, "G3": 4.9, "G5": 4.9, "G6": S1_1_8, "G7": S1_1_8, "G9": 4.7, "G10": 4.7,
    "G11": S1_1_7, "G12": S1_1_7, "G15": S1_1_7, "G16": S1_1_7, "G1 X": 1.85, "G1 X Mark II": 1.92,
    "G1 X Mark III": APSC_CANON, "G3 X": ONE_INCH, "G5 X": ONE_INCH, "G5 X Mark II": ONE_INCH,
    "G7 X": ONE_INCH, "G7 X Mark II": ONE_INCH, "G7 X Mark III": ONE_INCH, "G9 X": ONE_INCH,
    "G9 X Mark II": ONE_INCH, "S30": 4.9, "S40": 4.9, "S45": 4.9, "S50": 4.9, "S60": S1_1_8,
    "S70": S1_1_8, "S90": 4.7, "S95": 4.7, "S100": S1_1_7, "S110": S1_1_7, "S120": S1_1_7,
    "SX1 IS": S1_2_3, "SX50 HS": S1_2_3, "SX60 HS": S1_2_3, "SX70 HS": S1_2_3,
    "A410": 0, "A460": 0, "A470": 0, "A480": 0, "A530": S1_2_5, "A540": S1_2_5, "A550": S1_2_5,
    "A560": S1_2_5, "A570 IS": S1_2_5, "A590 IS": S1_2_5, "A610": S1_1_8, "A620": S1_1_8,
    "A630": S1_1_8, "A640": S1_1_8, "A650 IS": S1_1_7, "A710 IS": S1_2_5, "A720 IS": S1_2_5,
    "A3300 IS": S1_2_3, "D10": S1_2_3, "ELPH 130 IS": S1_2_3, "ELPH 160": S1_2_3, "S2 IS": S1_2_5,
    "S3 IS": S1_2_5, "S5 IS": S1_2_5, "SD300": S1_2_5, "SD750": S1_2_5, "SD950 IS": S1_1_7,
    "SD1200 IS": S1_2_3, "SD900": S1_1_8, "SX100 IS": S1_2_5, "SX110 IS": S1_2_5, "SX120 IS": S1_2_5,
    "SX130 IS": S1_2_3, "SX160 IS": S1_2_3, "SX220 HS": S1_2_3, "SX510 HS": S1_2_3, "SX10 IS": S1_2_3,
    "SX20 IS": S1_2_3, "SX30 IS": S1_2_3,
}
# PowerShots with a 3:2 sensor (their thumbnails are letterboxed like the EOS ones).
CANON_POWERSHOT_32 = {"G1 X Mark III", "G3 X", "G5 X", "G5 X Mark II", "G7 X", "G7 X Mark II",
                      "G7 X Mark III", "G9 X", "G9 X Mark II"}
CANON_LATER = [  # in ExifTool's model list, newer than the LibRaw release
    "EOS R5", "EOS R6", "EOS R3", "EOS R7", "EOS R10", "EOS R50", "EOS R6m2", "EOS R8",
    "EOS 850D / Rebel T8i / Kiss X10i", "EOS M50m2 / Kiss M2",
]


def canon_crop(model):
    if model.startswith("EOS"):
        if re.match(r"EOS-1D( Mark II( N)?| Mark III| Mark IV)?$", model):
            return APSH
        if re.match(r"EOS(-1Ds|-1DS|-1D X|-1D C| 5D| 6D| R$| RP$| R3$| R5$| R6| R8$)", model):
            return FF
        return APSC_CANON
    if model.startswith(("DIGITAL IXUS", "IXY", "IXUS")):
        return None
    return CANON_POWERSHOT_CROP.get(model.removeprefix("PowerShot "))


def canon_names(name):
    if name.startswith("PowerShot") and "CHDK" in name:
        short = name.removeprefix("PowerShot ").replace(" (CHDK hack)", "")
        return CANON_CHDK.get(short, ["PowerShot " + short])
    name = name.replace(" (lossless compressed only)", "")
    parts = [part.strip() for part in name.split(" / ")]
    names = []
    for part in parts:
        if not part.startswith("EOS") and not part.startswith("PowerShot"):
            part = "EOS " + part
        part = CANON_DIGITAL_SUFFIX.get(part, part)
        part = re.sub(r"^EOS Digital Rebel", "EOS DIGITAL REBEL", part)
        names.append(part)
    return names


def canon(entry, raw):
    name = entry.removeprefix("Canon ")
    if name.startswith("EOS C"):  # cinema cameras: no RAW kind of the program
        return []
    cameras = []
    chdk = "CHDK" in name
    for model in canon_names(name):
        if model in CANON_CRW:
            kind = "CRW"
        elif model in CANON_TIF:
            kind = "TIF"
        elif chdk:
            kind = "DNG"
        elif model in CANON_CR3:
            kind = "CR3"
        else:
            kind = "CR2"
        crop = canon_crop(model)
        if crop is None:
            crop = canon_crop_for_alias(model)
        short = model.removeprefix("PowerShot ")
        aspect32 = model.startswith("EOS") or short in CANON_POWERSHOT_32
        cameras.append(Camera("Canon", "Canon " + model, kind, crop, raw, aspect32=aspect32))
    return cameras


def canon_crop_for_alias(model):
    for names in CANON_CHDK.values():
        if model in names:
            return canon_crop(names[0]) or 0
    return 0


# ---------------------------------------------------------------------------
# Nikon
# ---------------------------------------------------------------------------
NIKON_FX = {"D3", "D3S", "D3X", "D4", "D4S", "D5", "D6", "D600", "D610", "D700", "D750", "D780", "D800",
            "D800E", "D810", "D810A", "D850", "Df", "Z 5", "Z 6", "Z 6_2", "Z 7", "Z 7_2", "Z 9"}
NIKON_NRW = {"P6000", "P7000", "P7100", "P7700", "P7800", "P330", "P340", "A1000", "B700", "P950", "P1000"}
NIKON_COOLPIX_CROP = {
    "A": APSC, "A1000": S1_2_3, "B700": S1_2_3, "P330": S1_1_7, "P340": S1_1_7, "P950": S1_2_3,
    "P6000": S1_1_7, "P1000": S1_2_3, "P7000": S1_1_7, "P7100": S1_1_7, "P7700": S1_1_7,
    "P7800": S1_1_7, "S6": S1_2_5, "5000": TWO_THIRDS, "5400": 4.9, "5700": TWO_THIRDS,
    "8400": TWO_THIRDS, "8700": TWO_THIRDS, "8800": TWO_THIRDS, "880": 4.9, "990": 4.9, "995": 4.9,
    "2500": 6.4, "4300": 4.9, "4500": 4.9,
}
NIKON_LATER = ["D6", "Z 5", "Z 6_2", "Z 7_2", "Z 9", "Z fc", "Z 30"]


def nikon(entry, raw):
    name = entry.removeprefix("Nikon ")
    if name.startswith("Coolscan"):
        return []
    name = name.replace(' ("DIAG RAW" hack)', "")
    if name.startswith("Coolpix "):
        short = name.removeprefix("Coolpix ")
        # Numbered Coolpix models write "E" and the number ("E5700").
        model = "E" + short if short.isdigit() else "COOLPIX " + short
        kind = "NRW" if short in NIKON_NRW else "NEF"
        crop = NIKON_COOLPIX_CROP.get(short, 0)
        return [Camera("Nikon", model, kind, crop, raw, aspect32=short == "A")]
    model = {"D3s": "D3S", "D4s": "D4S", "D300s": "D300S"}.get(name, name)
    if name.startswith("1 "):
        crop = ONE_INCH
    elif model in NIKON_FX:
        crop = FF
    else:
        crop = APSC
    return [Camera("Nikon", "NIKON " + model, "NEF", crop, raw)]


# ---------------------------------------------------------------------------
# Pentax and Ricoh
# ---------------------------------------------------------------------------
PENTAX_NAMES = {"K2000/K-m": ["K2000", "K-m"], "K-5 IIs": ["K-5 II s"], "QS-1": ["Q-S1"]}
PENTAX_CROP = {"K-1": FF, "K-1 Mark II": FF, "645D": MF_44X33, "645Z": MF_44X33, "MX-1": S1_1_7,
               "Q": S1_2_3, "Q10": S1_2_3, "Q7": S1_1_7, "Q-S1": S1_1_7, "Optio 750Z": S1_1_8,
               "Optio S": 0, "Optio S4": 0, "Optio 33WR": 0}
PENTAX_DNG = {"Q", "Q7", "Q10", "Q-S1", "MX-1"}
PENTAX_LATER = ["K-3 Mark III"]
RICOH_NAMES = {"GR": ("GR", APSC), "GR II": ("GR II", APSC), "GR III": ("RICOH GR III", APSC),
               "GR Digital": ("GR DIGITAL", 4.7), "GR Digital II": ("GR DIGITAL 2", 4.7),
               "GR Digital III": ("GR DIGITAL 3", 4.7), "GR Digital IV": ("GR DIGITAL 4", 4.7),
               "Caplio GX100": ("Caplio GX100", 4.7), "Caplio GX200": ("GX200", 4.7)}


def pentax(entry, raw):
    name = entry.removeprefix("Pentax ").replace(" (secret menu or hack)", "")
    cameras = []
    for model in PENTAX_NAMES.get(name, [name]):
        crop = PENTAX_CROP.get(model, APSC)
        kind = "DNG" if model in PENTAX_DNG else ("RAW" if model.startswith("Optio") else "PEF")
        aspect32 = crop in (FF, APSC)
        cameras.append(Camera("Pentax", "PENTAX " + model, kind, crop, raw, aspect32=aspect32))
    return cameras


def ricoh(entry, raw):
    name = entry.removeprefix("Ricoh ")
    if name.startswith("GXR"):
        # One model text for the body whatever unit is mounted; the crop
        # factor depends on the unit.
        return [Camera("Ricoh", "GXR", "DNG", 0, raw)]
    model, crop = RICOH_NAMES[name]
    return [Camera("Ricoh", model, "DNG", crop, raw)]


# ---------------------------------------------------------------------------
# Olympus and OM Digital Solutions
# ---------------------------------------------------------------------------
OLYMPUS_NAMES = {
    "AIR A01": "AIR-A01", "C-3030Z": "C3030Z", "C-5050Z": "C5050Z", "C-5060WZ": "C5060WZ",
    "C-7070WZ": "C7070WZ", "C-70Z / C-7000Z": "C70Z,C7000Z", "C-740UZ": "C740UZ", "C-770UZ": "C770UZ",
    "C-8080WZ": "C8080WZ", "X200 / D-560Z / C-350Z": "X200,D560Z,C350Z",
    "E-20 / E-20N / E-20P": "E-20,E-20N,E-20P", "Pen-F": "PEN-F", "Stylus 1": "STYLUS1",
    "Stylus 1s": "STYLUS1,1s",
}
OLYMPUS_CROP = {
    "E-10": TWO_THIRDS, "E-20,E-20N,E-20P": TWO_THIRDS, "C3030Z": S1_1_8, "C5050Z": S1_1_8,
    "C5060WZ": S1_1_8, "C7070WZ": S1_1_8, "C70Z,C7000Z": S1_1_8, "C740UZ": 0, "C770UZ": S1_2_5,
    "C8080WZ": TWO_THIRDS, "X200,D560Z,C350Z": 0, "SP310": S1_1_8, "SP320": S1_1_8, "SP350": S1_1_8,
    "SP500UZ": S1_2_5, "SP510UZ": S1_2_5, "SP550UZ": S1_2_5, "SP560UZ": S1_2_3, "SP565UZ": S1_2_3,
    "SP570UZ": S1_2_3, "STYLUS1": S1_1_7, "STYLUS1,1s": S1_1_7, "SH-2": S1_2_3, "SH-3": S1_2_3,
    "TG-4": S1_2_3, "TG-5": S1_2_3, "TG-6": S1_2_3, "XZ-1": S1_1_7, "XZ-2": S1_1_7, "XZ-10": S1_2_3,
}
OLYMPUS_LATER = [("Olympus", "E-P7"), ("Olympus", "E-M10MarkIV"), ("OM Digital Solutions", "OM-1"),
                 ("OM Digital Solutions", "OM-5")]


def olympus_model(name):
    if name in OLYMPUS_NAMES:
        return OLYMPUS_NAMES[name]
    name = re.sub(r" Mark (I+V?|IV)$", lambda m: "Mark" + m.group(1), name)
    return re.sub(r"^SP-", "SP", name)


def olympus(entry, raw):
    model = olympus_model(entry.removeprefix("Olympus "))
    return [Camera("Olympus", model, "ORF", OLYMPUS_CROP.get(model, FOURTHIRDS), raw, aspect32=False)]


# ---------------------------------------------------------------------------
# FujiFilm
# ---------------------------------------------------------------------------
FUJI_NAMES = {"S2Pro": ["FinePixS2Pro"], "HS10/HS11": ["FinePix HS10 HS11"], "X100f": ["X100F"],
              "X-T4 (uncompressed and lossless compressed only)": ["X-T4"],
              "DBP for GX680 / DX-2000": ["DBP for GX680"], "IS-1": ["FinePix IS-1"]}
FUJI_CROP = {
    "FinePix S20Pro": S1_1_7, "FinePix S1": S1_2_3, "FinePix S100FS": TWO_THIRDS, "FinePix S5000": 6.4,
    "FinePix S5100": S1_2_5, "FinePix S5500": S1_2_5, "FinePix S5200": S1_2_5, "FinePix S5600": S1_2_5,
    "FinePix S6000fd": S1_1_7, "FinePix S6500fd": S1_1_7, "FinePix S7000": S1_1_7,
    "FinePix S9000": 4.3, "FinePix S9500": 4.3, "FinePix S9100": 4.3, "FinePix S9600": 4.3,
    "FinePix S200EXR": 4.3, "FinePix S205EXR": 4.3, "FinePix SL1000": S1_2_3,
    "FinePix HS10 HS11": S1_2_3, "FinePix E550": S1_1_7, "FinePix E900": 4.3, "FinePix F700": S1_1_7,
    "FinePix F710": S1_1_7, "FinePix F810": S1_1_7, "FinePix IS-1": 4.3, "X-S1": TWO_THIRDS,
    "X10": TWO_THIRDS, "X20": TWO_THIRDS, "X30": TWO_THIRDS, "XF1": TWO_THIRDS, "XQ1": TWO_THIRDS,
    "XQ2": TWO_THIRDS, "DBP for GX680": 0,
}
FUJI_LATER = ["X-S10", "X-E4", "X-T30 II", "X-H2", "X-H2S", "X-T5", "GFX100S", "GFX50S II"]


def fuji_crop(model):
    if model in FUJI_CROP:
        return FUJI_CROP[model]
    if model.startswith("GFX"):
        return MF_44X33
    if re.match(r"FinePix (HS[2-5]|F\d+EXR)", model):
        return S1_2
    return APSC


def fujifilm(entry, raw):
    name = entry.removeprefix("FujiFilm ")
    if name == "X-T1 Graphite Silver":  # writes "X-T1"
        return []
    if name in FUJI_NAMES:
        models = FUJI_NAMES[name]
    elif re.match(r"(X|GFX|XF|XQ)", name):
        models = [name]
    else:
        models = ["FinePix " + part.strip() for part in name.split(" / ")]
    cameras = []
    for model in models:
        crop = fuji_crop(model)
        cameras.append(Camera("FujiFilm", model, "RAF", crop, raw, aspect32=crop in (APSC, FF)))
    return cameras


# ---------------------------------------------------------------------------
# Sony
# ---------------------------------------------------------------------------
SONY_ROMAN = {"II": "M2", "III": "M3", "IV": "M4", "V": "M5", "VA": "M5A", "VI": "M6", "VII": "M7"}
SONY_NAMES = {"NEX-VG20": "NEX-VG20E", "NEX-VG30": "NEX-VG30E"}
SONY_LATER = ["ZV-1", "ILCE-7C", "ZV-E10", "ILCE-7SM3", "ILCE-1", "ILME-FX3", "ILCE-7RM3A", "ILCE-7RM4A",
              "ILCE-7M4", "ZV-1F", "ILCE-7RM5", "ILME-FX30"]


def sony_crop(model):
    if re.match(r"(ILCE-[79]|ILCE-1|ILCA-99|DSLR-A(850|900)|SLT-A99|DSC-RX1($|R)|ILME-FX3$|NEX-VG900)", model):
        return FF
    if re.match(r"(DSC-RX10|DSC-RX100|DSC-RX0|ZV-1)", model):
        return ONE_INCH
    return {"DSC-R1": 1.7, "DSC-F828": TWO_THIRDS, "DSC-V3": S1_1_8, "DSC-HX95": S1_2_3,
            "DSC-HX99": S1_2_3}.get(model, APSC)


def sony(entry, raw):
    name = entry.removeprefix("Sony ")
    if name.startswith(("IMX", "XCD", "Xperia")):  # sensors and industrial cameras
        return []
    name = re.sub(r"\s*\(A[^)]*\)?$", "", name)
    match = re.match(r"(DSC-RX\w+) (V?I*V?A?)$", name)
    if match:
        name = match.group(1) + SONY_ROMAN[match.group(2)]
    models = []
    for index, part in enumerate(name.split(" / ")):
        if index and not part.startswith(("ILCE", "DSLR", "SLT")):
            part = models[0].split("-")[0] + "-" + part
        models.append(part)
    match = re.match(r"(SLT-A\d+)\(V\)$", name)
    if match:
        models = [match.group(1), match.group(1) + "V"]
    cameras = []
    for model in models:
        model = SONY_NAMES.get(model, model)
        kind = {"DSC-R1": "SR2", "DSC-F828": "SRF", "DSC-V3": "SRF"}.get(model, "ARW")
        crop = sony_crop(model)
        cameras.append(Camera("Sony", model, kind, crop, raw, aspect32=crop <= ONE_INCH))
    return cameras


# ---------------------------------------------------------------------------
# Panasonic
# ---------------------------------------------------------------------------
PANASONIC_RAW = {"DMC-FZ8", "DMC-FZ18", "DMC-FZ30", "DMC-FZ50", "DMC-LX1", "DMC-LX2", "DMC-L1", "DMC-L10",
                 "DMC-LC1"}
PANASONIC_NAMES = {"DMC-GX7mkII": "DMC-GX7MK2", "DC-GX7mkIII": "DC-GX7MK3",
                   "DC-FZ1000 II": None, "DC-FZ1000M2": "DC-FZ1000M2", "DC-FZ10002": "DC-FZ10002"}
PANASONIC_LATER = ["DC-GH5M2", "DC-GH6", "DC-S5", "DC-G100", "DC-S5M2"]


def panasonic_crop(model):
    short = model.split("-", 1)[1]
    if re.match(r"S\d", short):
        return FF
    if re.match(r"(G|GF|GH|GM|GX)\d|L1", short):
        return FOURTHIRDS
    if short.startswith("LX100"):
        return 2.2
    if re.match(r"(CM1|FZ1000|FZ2000|FZ2500|FZH1|TZ10[01]|TZ110|ZS100|ZS110|TX1|TZ20[02]|TZ220|ZS200|"
                r"ZS220|TX2|LX9|LX10|LX15)", short):
        return ONE_INCH
    return {"LX1": 4.5, "LX2": 4.5, "LX3": 4.7, "LX5": 4.7, "LX7": 4.7, "LF1": S1_1_7, "LC1": TWO_THIRDS,
            "FZ30": S1_1_8, "FZ50": S1_1_8, "FZ8": S1_2_5, "FZ18": S1_2_5, "FX150": S1_1_7,
            "FX180": S1_1_7}.get(short, S1_2_3)


def panasonic_models(name):
    models = []
    prefix = "DMC"
    for group in name.split(", "):
        for part in group.split(" / "):
            part = part.strip()
            if "-" in part:
                prefix = part.split("-")[0]
            else:
                part = prefix + "-" + part
            models.append(part)
    return models


def panasonic(entry, raw):
    cameras = []
    for model in panasonic_models(entry.removeprefix("Panasonic ")):
        model = PANASONIC_NAMES.get(model, model)
        if model is None:
            continue
        crop = panasonic_crop(model)
        kind = "RAW" if model in PANASONIC_RAW else "RW2"
        cameras.append(Camera("Panasonic", model, kind, crop, raw, aspect32=crop == FF))
    return cameras


# ---------------------------------------------------------------------------
# Leica
# ---------------------------------------------------------------------------
LEICA = {  # list name: (model text, kind, crop)
    "C (Typ 112)": ("C (Typ 112)", "RWL", S1_1_7), "CL": ("LEICA CL", "DNG", APSC),
    "C-Lux / CAM-DC25": ("C-Lux", "RWL", ONE_INCH), "Digilux 2": ("DIGILUX 2", "RAW", TWO_THIRDS),
    "Digilux 3": ("DIGILUX 3", "RAW", FOURTHIRDS), "Digital-Modul-R": ("Digital-Modul-R", "DNG", 1.37),
    "D-LUX2": ("D-LUX2", "RAW", 4.5), "D-LUX3": ("D-LUX3", "RAW", 4.5), "D-LUX4": ("D-LUX 4", "RWL", 4.7),
    "D-LUX5": ("D-LUX 5", "RWL", 4.7), "D-LUX6": ("D-LUX 6", "RWL", 4.7), "D-LUX7": ("D-Lux 7", "RWL", 2.2),
    "D-Lux (Typ 109)": ("D-Lux (Typ 109)", "RWL", 2.2), "M8": ("M8 Digital Camera", "DNG", 1.33),
    "M8.2": ("M8.2 Digital Camera", "DNG", 1.33), "M9": ("M9 Digital Camera", "DNG", FF),
    "M10": ("LEICA M10", "DNG", FF), "M10-D": ("LEICA M10-D", "DNG", FF), "M10-P": ("LEICA M10-P", "DNG", FF),
    "M10 Monochrom": ("LEICA M10 MONOCHROM", "DNG", FF), "M (Typ 240)": ("LEICA M (Typ 240)", "DNG", FF),
    "M (Typ 262)": ("LEICA M (Typ 262)", "DNG", FF),
    "Monochrom (Typ 240)": ("LEICA M MONOCHROM (Typ 240)", "DNG", FF),
    "Monochrom (Typ 246)": ("LEICA M MONOCHROM (Typ 246)", "DNG", FF),
    "M-D (Typ 262)": ("LEICA M-D (Typ 262)", "DNG", FF), "M-E": ("M-E Digital Camera", "DNG", FF),
    "M-P": ("LEICA M-P (Typ 240)", "DNG", FF), "R8": None,
    "Q (Typ 116)": ("LEICA Q (Typ 116)", "DNG", FF), "Q-P": ("LEICA Q-P", "DNG", FF),
    "Q2": ("LEICA Q2", "DNG", FF), "S": ("LEICA S", "DNG", 0.8), "S2": ("S2", "DNG", 0.8),
    "S (Typ 007)": ("LEICA S (Typ 007)", "DNG", 0.8), "SL (Typ 601)": ("LEICA SL (Typ 601)", "DNG", FF),
    "SL2": ("LEICA SL2", "DNG", FF), "T (Typ 701)": ("LEICA T (Typ 701)", "DNG", APSC),
    "TL": ("LEICA TL", "DNG", APSC), "TL2": ("LEICA TL2", "DNG", APSC), "X1": ("LEICA X1", "DNG", APSC),
    "X (Typ 113)": ("LEICA X (Typ 113)", "DNG", APSC), "X2": ("LEICA X2", "DNG", APSC),
    "X-E (Typ 102)": ("LEICA X-E (Typ 102)", "DNG", APSC), "X-U (Typ 113)": ("LEICA X-U (Typ 113)", "DNG", APSC),
    "V-LUX1": ("V-LUX 1", "RAW", S1_1_8), "V-LUX2": ("V-LUX 2", "RWL", S1_2_3),
    "V-LUX3": ("V-LUX 3", "RWL", S1_2_3), "V-LUX4": ("V-LUX 4", "RWL", S1_2_3),
    "V-LUX5": ("V-Lux 5", "RWL", ONE_INCH), "V-Lux (Typ 114)": ("V-Lux (Typ 114)", "RWL", ONE_INCH),
    "X VARIO (Typ 107)": ("LEICA X VARIO (Typ 107)", "DNG", APSC),
}


def leica(entry, raw):
    fact = LEICA[entry.removeprefix("Leica ")]
    if fact is None:  # the R8 shoots digitally only with the Digital-Modul-R listed apart
        return []
    model, kind, crop = fact
    return [Camera("Leica", model, kind, crop, raw)]


# ---------------------------------------------------------------------------
# Konica Minolta (Minolta, Konica)
# ---------------------------------------------------------------------------
MINOLTA = {  # list name: ([model texts], kind, crop)
    "Minolta DiMAGE 5": (["DiMAGE 5"], "MRW", 0), "Minolta DiMAGE 7": (["DiMAGE 7"], "MRW", TWO_THIRDS),
    "Minolta DiMAGE 7i": (["DiMAGE 7i"], "MRW", TWO_THIRDS),
    "Minolta DiMAGE 7Hi": (["DiMAGE 7Hi"], "MRW", TWO_THIRDS),
    "Minolta DiMAGE A1": (["DiMAGE A1"], "MRW", TWO_THIRDS),
    "Minolta DiMAGE A2": (["DiMAGE A2"], "MRW", TWO_THIRDS),
    "Minolta DiMAGE A200": (["DiMAGE A200"], "MRW", TWO_THIRDS),
    "Minolta DiMAGE G400": (["DiMAGE G400"], "MRW", 0), "Minolta DiMAGE G500": (["DiMAGE G500"], "MRW", 0),
    "Minolta DiMAGE G530": (["DiMAGE G530"], "MRW", 0), "Minolta DiMAGE G600": (["DiMAGE G600"], "MRW", 0),
    "Minolta DiMAGE Z2": (["DiMAGE Z2"], "MRW", 0),
    "Minolta Alpha/Dynax/Maxxum 5D": (["DYNAX 5D", "MAXXUM 5D", "ALPHA SWEET DIGITAL"], "MRW", APSC),
    "Minolta Alpha/Dynax/Maxxum 7D": (["DYNAX 7D", "MAXXUM 7D", "ALPHA-7 DIGITAL"], "MRW", APSC),
    "Konica KD-400Z": (["KD-400Z"], "MRW", S1_1_8), "Konica KD-510Z": (["KD-510Z"], "MRW", S1_1_8),
    "Minolta RD175 / Agfa ActionCam": None,
}


def minolta(entry, raw):
    fact = MINOLTA[entry]
    if fact is None:  # its .MDC files are no kind of the program
        return []
    models, kind, crop = fact
    cameras = []
    for model in models:
        camera = Camera("Konica Minolta", model, kind, crop, raw, aspect32=crop == APSC)
        if model == "DiMAGE A200":
            # Its IFD0 thumbnail pointer uses the wrong base: take the
            # maker-note preview for both.
            camera.thumb = 1
        cameras.append(camera)
    return cameras


# ---------------------------------------------------------------------------
# Samsung
# ---------------------------------------------------------------------------
SAMSUNG = {  # list name: ([model texts], kind, crop)
    "EX1 / TL500": (["EX1", "TL500"], "SRW", S1_1_7), "EX2F": (["EX2F"], "SRW", S1_1_7),
    "GX-1L": (["GX-1L"], "DNG", APSC), "GX-1S": (["GX-1S"], "DNG", APSC), "GX10": (["GX10"], "DNG", APSC),
    "GX20": (["GX20"], "DNG", APSC), "Galaxy Nexus": (["Galaxy Nexus"], "DNG", 0),
    "Galaxy Note 9": (["SM-N960F"], "DNG", 0), "Galaxy NX (EK-GN120)": (["EK-GN120"], "SRW", APSC),
    "Galaxy S3": (["GT-I9300"], "DNG", 0), "Galaxy S6 (SM-G920F)": (["SM-G920F"], "DNG", 0),
    "Galaxy S7": (["SM-G930F"], "DNG", 0), "Galaxy S7 Edge": (["SM-G935F"], "DNG", 0),
    "Galaxy S8 (SM-G950U)": (["SM-G950U"], "DNG", 0), "Galaxy S9 (SM-G960F)": (["SM-G960F"], "DNG", 0),
    "Galaxy S9+ (SM-G965U / 965F)": (["SM-G965U", "SM-G965F"], "DNG", 0),
    "Galaxy S10 (SM-G973F)": (["SM-G973F"], "DNG", 0), "Galaxy S10+ (SM-G975U)": (["SM-G975U"], "DNG", 0),
    "NX mini / NXF1": (["NX mini", "NXF1"], "SRW", ONE_INCH), "Pro815": (["Pro 815"], "SRW", TWO_THIRDS),
    "WB550 / WB560 / HZ15W": (["WB550", "WB560", "HZ15W"], "SRW", S1_2_3),
    "WB2000 / TL350": (["WB2000", "TL350"], "SRW", 5.8), "WB5000 / HZ25W": (["WB5000", "HZ25W"], "SRW", S1_2_3),
    "S85 (hacked)": (["S85"], "SRW", 0), "S850 (hacked)": (["S850"], "SRW", 0),
}


def samsung(entry, raw):
    name = entry.removeprefix("Samsung ")
    models, kind, crop = SAMSUNG.get(name, ([name], "SRW", APSC))
    return [Camera("Samsung", model, kind, crop, raw) for model in models]


# ---------------------------------------------------------------------------
# Sigma and Polaroid
# ---------------------------------------------------------------------------
SIGMA_X3F = [  # X3F cameras (the installed LibRaw no longer develops X3F)
    ("SIGMA SD9", 1.7), ("SIGMA SD10", 1.7), ("SIGMA SD14", 1.7), ("SIGMA SD15", 1.7), ("SIGMA SD1", APSC),
    ("SIGMA SD1 Merrill", APSC), ("SIGMA DP1", 1.7), ("SIGMA DP1S", 1.7), ("SIGMA DP1X", 1.7),
    ("SIGMA DP2", 1.7), ("SIGMA DP2S", 1.7), ("SIGMA DP2X", 1.7), ("SIGMA DP1 Merrill", APSC),
    ("SIGMA DP2 Merrill", APSC), ("SIGMA DP3 Merrill", APSC),
]


def sigma(entry, raw):
    name = entry.removeprefix("Sigma ")
    if name == "fp":
        return [Camera("Sigma", "SIGMA fp", "DNG", FF, raw)]
    # The Quattro models are listed for their DNG files; the rows serve their
    # X3F files, which the installed LibRaw does not develop.
    name = name.replace(" (DNG only)", "")
    crop = 1.3 if name == "sd Quattro H" else APSC
    return [Camera("Sigma", "SIGMA " + name, "X3F", crop, 0)]


# ---------------------------------------------------------------------------
# Makers without a range of their own (dialog only)
# ---------------------------------------------------------------------------
HASSELBLAD_IN_RESERVED_ROWS = {"Lunar", "Stellar", "Stellar II", "HV", "Lusso"}


def hasselblad(entry, raw):
    name = entry.removeprefix("Hasselblad ")
    if name in HASSELBLAD_IN_RESERVED_ROWS:
        return []
    if name.startswith("L1D-20c"):
        return [Camera("Hasselblad", "L1D-20c", "DNG", ONE_INCH, raw)]
    if name == "True Zoom":
        return [Camera("Hasselblad", name, "DNG", S1_2_3, raw)]
    crop = MF_44X33 if name.startswith("X1D") else 0
    return [Camera("Hasselblad", name, "3FR", crop, raw, aspect32=False)]


KODAK_DCR = {"DCS520C", "DCS560C", "DCS620C", "DCS620X", "DCS660C", "DCS660M", "DCS720X", "DCS760C",
             "DCS760M", "ProBack", "PB645C", "PB645H", "PB645M", "DCS Pro 14n", "DCS Pro 14nx",
             "DCS Pro SLR/c", "DCS Pro SLR/n"}


def kodak(entry, raw):
    name = entry.removeprefix("Kodak ")
    if name not in KODAK_DCR:  # .KDC, .TIF and other formats the program does not open
        return []
    crop = FF if name.startswith("DCS Pro") else 0
    return [Camera("Kodak", name, "DCR", crop, raw)]


def simple(maker, kind, crop=0):
    def make(entry, raw):
        name = entry.split(" ", 1)[1]
        name = re.sub(r" plus$", " Plus", name)
        return [Camera(maker, name, kind, crop, raw, aspect32=False)]
    return make


HANDLERS = [
    ("Canon ", canon), ("Nikon ", nikon), ("Pentax ", pentax), ("Ricoh ", ricoh), ("Olympus ", olympus),
    ("FujiFilm ", fujifilm), ("Sony ", sony), ("Panasonic ", panasonic), ("Leica ", leica),
    ("Minolta ", minolta), ("Konica ", minolta), ("Samsung ", samsung), ("Sigma ", sigma),
    ("Hasselblad ", hasselblad), ("Kodak ", kodak), ("Mamiya ", simple("Mamiya", "MEF", 0.72)),
    ("Apple iP", simple("Apple", "DNG")), ("Google ", simple("Google", "DNG")),
]


def later_models():
    """Cameras newer than the installed LibRaw (RAW flag 0)."""
    cameras = []
    for name in CANON_LATER:
        cameras += canon("Canon " + name, 0)
    for name in NIKON_LATER:
        cameras += nikon("Nikon " + name, 0)
    for name in PENTAX_LATER:
        cameras += pentax("Pentax " + name, 0)
    for maker, model in OLYMPUS_LATER:
        cameras.append(Camera(maker, model, "ORF", FOURTHIRDS, 0, aspect32=False))
    for name in FUJI_LATER:
        cameras += fujifilm("FujiFilm " + name, 0)
    for name in SONY_LATER:
        cameras += sony("Sony " + name, 0)
    for name in PANASONIC_LATER:
        cameras += panasonic("Panasonic " + name, 0)
    for model, crop in SIGMA_X3F:
        cameras.append(Camera("Sigma", model, "X3F", crop, 0))
    cameras.append(Camera("Sigma", "SIGMA fp L", "DNG", FF, 0))
    # The Polaroid x530 writes X3F (Foveon sensor).
    cameras.append(Camera("Polaroid", "x530", "X3F", 0, 0, aspect32=False))
    return cameras


# ---------------------------------------------------------------------------

def libraw_list():
    source = HERE / "libraw_cameras.c"
    with tempfile.TemporaryDirectory() as folder:
        program = os.path.join(folder, "libraw_cameras")
        subprocess.run(["cc", str(source), "-o", program, "-lraw"], check=True)
        lines = subprocess.run([program], check=True, capture_output=True).stdout.decode().splitlines()
    version = lines[-1].removeprefix("# LibRaw ")
    return version, lines[:-1]


def normalise(model):
    return "".join(c.lower() if "A" <= c <= "Z" else c for c in model if c != " ")


def finish(camera):
    camera.thumb, camera.preview = (camera.thumb or KIND_SLOTS[camera.kind][0]), KIND_SLOTS[camera.kind][1]
    if camera.kind in LETTERBOXED_THUMB_KINDS and camera.aspect32 and camera.thumb == 2:
        camera.thumb_crop = LETTERBOX


def read_ids(path):
    ids = {}
    if not path.exists():
        return ids
    lines = [line for line in path.read_text(encoding="utf-8").splitlines()
             if line and not line.startswith("#")]
    header = lines[0].split("\t")
    for line in lines[1:]:
        row = dict(zip(header, line.split("\t")))
        ids[(row["maker"], row["model"])] = int(row["id"])
    return ids


def assign_ids(cameras, old_ids, reserved_ids):
    used = set(reserved_ids) | set(old_ids.values())
    blocks = dict(MAKERS)
    for camera in cameras:
        old = old_ids.get((camera.maker, camera.model))
        if old is not None:
            camera.id = old
            continue
        base = blocks[camera.maker]
        candidate = base
        while candidate in used:
            candidate += 1
        if candidate >= base + BLOCK_SIZE:
            raise SystemExit(f"identifier block of {camera.maker} is full")
        camera.id = candidate
        used.add(candidate)


def reserved_ids():
    ids = []
    if RESERVED_TSV.exists():
        lines = [line for line in RESERVED_TSV.read_text(encoding="utf-8").splitlines()
                 if line and not line.startswith("#")]
        header = lines[0].split("\t")
        for line in lines[1:]:
            ids.append(int(dict(zip(header, line.split("\t")))["id"]))
    return ids


def format_crop(value):
    return "0" if not value else ("%g" % value)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="report only")
    args = parser.parse_args()

    version, entries = libraw_list()
    cameras, unused = [], []
    for entry in entries:
        for prefix, handler in HANDLERS:
            if entry.startswith(prefix):
                cameras += handler(entry, 1)
                break
        else:
            unused.append(entry)
    cameras += later_models()

    # One row per maker and model text; the first (LibRaw-listed) one stays.
    seen, unique = set(), []
    for camera in cameras:
        key = (camera.maker, normalise(camera.model))
        if key in seen:
            continue
        seen.add(key)
        finish(camera)
        unique.append(camera)
    order = {maker: index for index, (maker, _) in enumerate(MAKERS)}
    unique.sort(key=lambda c: order[c.maker])  # stable: list order within a maker

    problems = [f"{c.maker} {c.model}: model text of {len(c.model)} characters"
                for c in unique if len(c.model) >= 32]
    assign_ids(unique, read_ids(CAMERAS_TSV), reserved_ids())
    for line in problems:
        print(line, file=sys.stderr)
    print(f"{len(unique)} cameras; LibRaw {version} entries not used: {len(unused)}", file=sys.stderr)
    counts = {}
    for camera in unique:
        counts[camera.maker] = counts.get(camera.maker, 0) + 1
    print(", ".join(f"{maker} {count}" for maker, count in counts.items()), file=sys.stderr)
    if problems:
        return 1
    if args.check:
        return 0

    lines = [
        "# Cameras from row 18 of camera.bin on, in this order; each maker's rows stay together,",
        "# makers in the order of the camera index (Canon, Nikon, Pentax/Ricoh, Olympus/OM Digital",
        "# Solutions, FujiFilm, Sony, Panasonic, Leica, Konica Minolta, Sigma, Polaroid, Samsung),",
        "# then makers without a range of their own.",
        "#",
        "# id: camera identifier (stable: users' caches store it; 16 bits, never 165..174, 181, 213)",
        "# maker: the maker text the camera index recognises; model: as the camera writes its Exif",
        "#   Model (the lookup ignores case and blanks), under 32 characters",
        "# kind: the RAW kind of its files (decides the slots; not stored)",
        "# crop: 35 mm conversion factor, 0 = unknown; raw: 1 when the RAW engine develops its files",
        "# thumb, preview: preview slots 1..6 (0 = none)",
        "# thumb_crop, preview_crop: black margins top,bottom,left,right in pixels, or 0",
        f"# Generated by tools/tables/make_cameras.py from LibRaw {version}'s camera list and the",
        "# camera facts kept in that script.",
        "id\tmaker\tmodel\tkind\tcrop\traw\tthumb\tpreview\tthumb_crop\tpreview_crop",
    ]
    for c in unique:
        lines.append("\t".join([str(c.id), c.maker, c.model, c.kind, format_crop(c.crop), str(c.raw),
                                str(c.thumb), str(c.preview), c.thumb_crop, c.preview_crop]))
    CAMERAS_TSV.write_text("\n".join(lines) + "\n", encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
