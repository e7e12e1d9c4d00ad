#!/usr/bin/env python3
"""Draft golden expectations for `qlx info` from exiftool's verbose dump.

Development helper only: never run by the build or by CI, and never run on
qlx. It reads what `exiftool -v3 -a FILE` reports (tag ids, raw values, raw
rationals, value bytes with their dump addresses), applies this program's
text formats to the entries its metadata text is made of, and prints a draft
`.expected` file on standard output.

A draft is a starting point, not an answer: every draft is checked by hand
against `exiftool -n`, `exiv2 -pa` / `exiv2 -pv` and `xxd` before it goes
into tests/golden/ (see tests/golden/README.md). Lines that follow from this
program's own reading rules rather than from the tools' values (maker notes
read with another base, the Canon firmware shift, maker notes that are not
read at all) come with a "#" line that says why, so that the reviewer looks
at them.

Usage:
    tools/golden/draft_expectations.py SAMPLE [--kind jpeg|tiff|rw2|mrw|other]
    tools/golden/draft_expectations.py --exiv2 SAMPLE

The second form prints the plain Exif lines once more from `exiv2 -pv` (and
the orientation's position from `exiv2 -pR`), to diff against the draft.

The kind is guessed from the first bytes. Containers that are not TIFF
structures at heart (CRW, RAF, CR3, X3F) are drafted by hand; for them this
script prints only what the embedded TIFF block says, without offsets.
"""

import argparse
import re
import struct
import subprocess
import sys


class Entry:
    def __init__(self, doc, path, name, value):
        self.doc = doc            # 0 = the file itself, n = exiftool's DOCn
        self.path = path          # tuple of directory names, outermost first
        self.name = name
        self.value = value        # exiftool's raw value text
        self.rationals = []       # [(n, d), ...] when exiftool printed them
        self.tag = None
        self.nbytes = None
        self.fmt = None
        self.count = None
        self.addr = None          # dump address of the first value byte
        self.data = []            # value bytes as dumped (may be cut short)
        self.snipped = False

    @property
    def dir(self):
        return self.path[-1] if self.path else ""

    def __repr__(self):
        return "%s/%s(0x%04x)=%r" % ("/".join(self.path), self.name, self.tag or 0, self.value)


DIR_RE = re.compile(r"^  ((?:\| )*)\+ \[(.+?) directory")
ENTRY_RE = re.compile(r"^  ((?:\| )*)(?:\d+\)\s+)?([A-Za-z0-9_\-]+)(?: \(SubDirectory\) -->| = (.*))$")
TAG_RE = re.compile(r"^  ((?:\| )*)\s*- Tag (0x[0-9a-f]+|'[^']*') \((\d+) bytes, ([a-z0-9]+)\[(\d+)\]")
HEX_RE = re.compile(r"^  ((?:\| )*)\s+([0-9a-f]{4,8}): ((?:[0-9a-f]{2} )+)")
SNIP_RE = re.compile(r"^  ((?:\| )*)\s+\[snip")
SEGMENT_RE = re.compile(r"^JPEG (APP\d+|COM|DQT|DHT|SOF\d+|DRI)\b")


def parse_v3(text):
    entries = []
    segments = []            # (doc, marker name, first dump address, first bytes)
    stack = []               # directory names by depth
    current = None
    pending_segment = None
    doc = 0
    saved_stack = []
    for line in text.splitlines():
        if line.startswith("--- DOC"):
            doc = int(re.match(r"--- DOC(\d+)", line).group(1))
            saved_stack, stack, current = stack, [], None
            continue
        if re.match(r"^-{20,}$", line):
            doc, stack, current = 0, saved_stack, None
            continue
        m = SEGMENT_RE.match(line)
        if m:
            pending_segment = m.group(1)
            current = None
            continue
        if pending_segment:
            h = re.match(r"^\s+([0-9a-f]{4,8}): ((?:[0-9a-f]{2} )+)", line)
            if h:
                segments.append((doc, pending_segment, int(h.group(1), 16),
                                 bytes(int(x, 16) for x in h.group(2).split())))
            pending_segment = None
        m = DIR_RE.match(line)
        if m:
            depth = len(m.group(1)) // 2
            del stack[depth:]
            stack.append(m.group(2))
            current = None
            continue
        m = TAG_RE.match(line)
        if m and current is not None:
            t = m.group(2)
            current.tag = int(t, 16) if t.startswith("0x") else None
            current.nbytes = int(m.group(3))
            current.fmt = m.group(4)
            current.count = int(m.group(5))
            continue
        m = HEX_RE.match(line)
        if m and current is not None and current.tag is not None:
            if current.addr is None:
                current.addr = int(m.group(2), 16)
            current.data.extend(int(x, 16) for x in m.group(3).split())
            continue
        if SNIP_RE.match(line) and current is not None:
            current.snipped = True
            continue
        m = ENTRY_RE.match(line)
        if m:
            depth = len(m.group(1)) // 2
            path = tuple(stack[:depth])
            value = m.group(3) if m.group(3) is not None else "(SubDirectory)"
            e = Entry(doc, path, m.group(2), value)
            r = re.search(r"\(((?:-?\d+/-?\d+ ?)+)\)\s*$", value)
            if r:
                e.rationals = [tuple(int(x) for x in p.split("/")) for p in r.group(1).split()]
            entries.append(e)
            current = e
            continue
    return entries, segments


# ---- this program's value formats ------------------------------------------

def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def fmt_rational_mode1(n, d):
    if d == 0:
        return ""
    if n == 0:
        return "0"
    if d == 1:
        return "%d" % n
    if n % d == 0:
        return "%d" % (n // d)
    return "%.1f" % (n / d)


def fmt_exposure_time(n, d):
    if n < d:
        t = d / n if n else float("inf")
        return ("1/%0.1f" if t < 3.0 else "1/%0.0f") % t
    return "%0.1f" % (n / d)


def fmt_bias(n, d):
    v = f32(f32(n) / f32(d)) if d else 0.0
    if v == 0:
        return "\u00b10"
    tenth = int(f32(v * 10))
    if tenth % 10 != 0:
        return ("+%1.1f" if v > 0 else "%1.1f") % v
    return ("+%1.0f" if v > 0 else "%1.0f") % v


def fmt_focal(n, d):
    return "%1.0fmm" % (n / d)


def fmt_nikon_lens(r):
    v = [f32(n / d) if d else 0.0 for n, d in r[:4]]
    if v[0] == v[1]:
        s = "%1.1fmm F%1.1f" % (v[0], v[2])
    elif v[2] == v[3]:
        s = "%1.0f-%1.0fmm F%1.1f" % (v[0], v[1], v[2])
    else:
        s = "%1.0f-%1.0fmm F%1.1f-%1.1f" % (v[0], v[1], v[2], v[3])
    while ".0" in s:
        s = s.replace(".0", "", 1)
    return s


def text_of(raw):
    raw = bytes(raw)
    if 0 in raw:
        raw = raw[:raw.index(0)]
    return raw.decode("latin-1")


def ascii_value(e):
    """Text up to the first zero byte of the dumped value bytes, or None."""
    if 0 not in e.data and e.snipped:
        return None
    return text_of(e.data)


def ints(data, size, big_endian):
    out = []
    for i in range(0, len(data) - size + 1, size):
        out.append(int.from_bytes(bytes(data[i:i + size]), "big" if big_endian else "little"))
    return out


def guess_kind(path):
    with open(path, "rb") as f:
        head = f.read(14)
    if head[6:14] == b"HEAPCCDR":
        return "other"
    head = head[:4]
    if head[:2] == b"\xff\xd8":
        return "jpeg"
    if head == b"IIU\0":
        return "rw2"
    if head[:2] in (b"II", b"MM"):
        return "tiff"
    if head == b"\0MRM":
        return "mrw"
    return "other"


class Draft:
    def __init__(self, path, kind):
        self.path = path
        self.kind = kind
        text = subprocess.run(["exiftool", "-v3", "-a", path], capture_output=True,
                              text=True, errors="replace").stdout
        self.text = text
        self.entries, self.segments = parse_v3(text)
        self.entries = [e for e in self.entries if e.doc == 0]
        self.big_endian = re.search(r"ExifByteOrder = (II|MM)", text).group(1) == "MM" \
            if "ExifByteOrder" in text else False
        self.lines = []
        self.base = 0          # TIFF base of the container
        self.dump_base = 0     # added to dump addresses to make file offsets
        self.maker_shift = 0

    def out(self, line):
        self.lines.append(line)

    def note(self, line):
        self.lines.append("# " + line)

    def first(self, dirname, tag):
        for e in self.entries:
            if e.tag == tag and e.dir == dirname:
                return e
        return None

    def in_dir(self, dirname):
        return [e for e in self.entries if e.dir == dirname and e.tag is not None]

    # -- IFD0 ------------------------------------------------------------------
    def ifd0(self, tiff_table):
        for key, tag in (("Maker", 0x010F), ("Model", 0x0110)):
            e = self.first("IFD0", tag)
            if e is None:
                continue
            v = ascii_value(e)
            if v is None:
                self.note("%s: no zero byte in the dumped value, check by hand" % key)
                continue
            if 0 not in e.data and e.count > 4:
                self.note("%s: no zero byte within its %d bytes; the text runs on to the next zero byte in the file,"
                          " check with xxd" % (key, e.count))
            if e.count <= 4:
                self.note("%s is stored inline (%d bytes): it does not choose the maker" % (key, e.count))
            if v != v.rstrip(" "):
                self.note("%s ends with %d blank(s) in the file; the line keeps them"
                          % (key, len(v) - len(v.rstrip(" "))))
            self.out("%s\t%s" % (key, v))
        e = self.first("IFD0", 0x0112)
        if e is not None and e.data:
            v = ints(e.data, 2, self.big_endian)[0]
            self.out("Direction\t%d" % v)
            if self.kind == "other":
                self.note("Flip line: work out the file offset of the orientation value by hand")
            else:
                self.out("Flip%s%d" % ("M" if self.big_endian else "I", e.addr + self.dump_base))
        if tiff_table:
            for key, tag in (("cg1ofs", 0x0111), ("cg1size", 0x0117), ("cg4ofs", 0x0201), ("cg4size", 0x0202)):
                e = self.first("IFD0", tag)
                if e is not None:
                    vals = [int(x) for x in e.value.split()[:2]]
                    self.out("%s\t%s" % (key, ", ".join(str(v) for v in vals)))
            e = self.first("IFD0", 0x9003)
            if e is not None:
                self.out("DateTime\t%s" % ascii_value(e))
            e = self.first("IFD0", 0x014A)
            if e is not None:
                if e.nbytes <= 4:
                    self.note("one SubIFD: its offset is written as a plain line, the sub-IFD is not read")
                    self.out("SubIFD\t%s" % e.value.split()[0])
                else:
                    self.subifds()

    def subifds(self):
        names = [d for d in ("SubIFD", "SubIFD1") if self.in_dir(d)]
        for e in self.in_dir("SubIFD"):
            if e.tag == 0x0201:
                self.out("cg2ofs\t%d" % (int(e.value) + self.base))
            elif e.tag == 0x0202:
                self.out("cg2size\t%d" % int(e.value))
        for e in self.in_dir("SubIFD1"):
            if e.tag == 0x0111:
                self.out("cg5ofs\t%s" % ", ".join(e.value.split()[:2]))
            elif e.tag == 0x0117:
                self.out("cg5size\t%s" % ", ".join(e.value.split()[:2]))
        if not names:
            self.note("SubIFD link present but exiftool shows no sub-IFD")

    # -- Exif IFD ----------------------------------------------------------------
    def exif(self, dirname="ExifIFD"):
        after_makernote = False
        for e in self.in_dir(dirname):
            if e.tag == 0x927C:
                after_makernote = True
                self.makernote(e)
                continue
            if e.tag == 0x829A and e.rationals:
                self.out("ExposureTime\t" + fmt_exposure_time(*e.rationals[0]))
            elif e.tag == 0x829D and e.rationals:
                self.out("FNumber\tF" + fmt_rational_mode1(*e.rationals[0]))
            elif e.tag == 0x8827:
                self.out("ISO\t" + ", ".join(e.value.split()[:2]))
            elif e.tag == 0x9003:
                self.out("DateTime\t" + (ascii_value(e) or "?"))
            elif e.tag == 0x9204 and e.rationals:
                self.out("ExposureBias\t" + fmt_bias(*e.rationals[0]))
            elif e.tag == 0x920A and e.rationals:
                self.out("FocalLength\t" + fmt_focal(*e.rationals[0]))
            elif e.tag == 0xA405:
                self.out("FL35mm\t%smm" % e.value.split()[0])
            elif e.tag == 0xA434:
                v = ascii_value(e) or "?"
                if after_makernote and self.maker_shift and e.nbytes > 4:
                    real = text_of(e.data[self.maker_shift:]) if self.maker_shift < len(e.data) else None
                    self.note("Lens (0xA434) is %r; it is read %d bytes late (the maker-note shift stays)"
                              % (v, self.maker_shift))
                    if real is not None and 0 in e.data[self.maker_shift:]:
                        self.out("Lens\t" + real)
                else:
                    self.out("Lens\t" + v)

    # -- IFD1 / IFD2 ---------------------------------------------------------------
    def ifd1(self):
        for dirname, key in (("IFD1", "cg2"), ("IFD2", "cg4")):
            for e in self.in_dir(dirname):
                if e.tag == 0x0201:
                    self.out("%sofs\t%d" % (key, int(e.value) + self.base))
                elif e.tag == 0x0202:
                    self.out("%ssize\t%d" % (key, int(e.value)))

    # -- maker notes -------------------------------------------------------------
    def maker(self):
        e = self.first("IFD0", 0x010F)
        if e is None or e.count <= 4:
            return None
        make = ascii_value(e) or ""
        for prefix, rules in (("Canon", "Canon"), ("NIKON", "Nikon"), ("PENTAX", "Pentax"), ("SONY", "Sony"),
                              ("KONICA MINOLTA", "Minolta"), ("Minolta Co., Ltd", "Minolta"),
                              ("Konica Minolta Camera, Inc.", "Minolta"),
                              ("OLYMPUS IMAGING CORP.", "Olympus"), ("OLYMPUS OPTICAL CO.,LTD", "Olympus"),
                              ("OLYMPUS CORPORATION", "Olympus"), ("OM Digital Solutions", "Olympus"),
                              ("Panasonic", "Panasonic")):
            if make.startswith(prefix):
                return rules
        return None

    def makernote(self, note):
        rules = self.maker()
        if rules is None:
            self.note("maker note of a maker whose notes are not read")
            return
        mn = self.in_dir("MakerNotes")
        getattr(self, "mn_" + rules.lower())(note, mn)

    def mn_canon(self, note, mn):
        real_base = self.base
        if real_base:
            self.note("Canon notes are read with base 0: values before the firmware entry lie %d bytes early"
                      % real_base)
        for e in mn:
            delta = 0 + self.maker_shift - real_base
            if e.tag == 0x0001:
                words = []
                for k in (22, 23, 24):
                    pos = 2 * k + delta
                    if 0 <= pos and pos + 2 <= len(e.data):
                        words.append(ints(e.data[pos:pos + 2], 2, self.big_endian)[0])
                    else:
                        words.append(None)
                if delta:
                    self.note("Lex3/Lex2/Lex1 are camera-settings words %d-%d, not 22-24 (read %d bytes early)"
                              % (22 + delta // 2, 24 + delta // 2, -delta))
                for key, w in zip(("Lex3", "Lex2", "Lex1"), words):
                    if w is None:
                        self.note("%s: outside the dumped bytes, check by hand" % key)
                    else:
                        self.out("%s\t%d" % (key, w))
            elif e.tag == 0x0007:
                raw = e.data
                found = 32
                for p in range(0, 32):
                    q = p + delta
                    if q < 0:
                        continue
                    if bytes(raw[q:q + 8]) == b"Firmware":
                        found = p
                        break
                self.out("Fw\t%d" % found)
                self.maker_shift = found
                if found != real_base:
                    self.note("firmware shift %d differs from the TIFF base %d: later values are read off"
                              % (found, real_base))
            elif e.tag == 0x000D:
                pos = 13 + delta
                if 0 <= pos < len(e.data):
                    self.out("Lex4\t%d" % e.data[pos])
                else:
                    self.note("Lex4: outside the dumped bytes, check by hand")
            elif e.tag == 0x0095:
                if delta == 0:
                    self.out("Lens\t" + (ascii_value(e) or "?"))
                else:
                    self.note("Lens (0x0095) read %d bytes off: left out" % delta)

    def mn_nikon(self, note, mn):
        head = bytes(note.data[:6])
        if head == b"Nikon\0":
            rule_base = note.addr + 10
            real_base = rule_base
        else:
            rule_base = 0
            real_base = self.base
            if real_base:
                self.note("Nikon note without its own header is read with base 0 (%d bytes early)" % real_base)
        delta = rule_base - real_base
        for e in mn:
            if e.tag == 0x0002:
                vals = e.value.split()
                if len(vals) >= 2:
                    self.out("ISO\t%s" % vals[1])
            elif e.tag == 0x0011:
                if delta:
                    self.note("Nikon preview IFD read %d bytes off: left out" % delta)
                    continue
                for p in self.in_dir("PreviewIFD"):
                    if p.tag == 0x0201:
                        self.out("cg3ofs\t%d" % (int(p.value) + rule_base))
                    elif p.tag == 0x0202:
                        self.out("cg3size\t%d" % int(p.value))
            elif e.tag == 0x0083:
                self.out("Lex1\t%s" % chr((int(e.value.split()[0]) & 31) + ord("A")))
            elif e.tag == 0x0084:
                if delta:
                    self.note("Nikon lens rationals read %d bytes off: left out" % delta)
                elif len(e.rationals) >= 4:
                    self.out("Lens\t" + fmt_nikon_lens(e.rationals))
            elif e.tag == 0x008B:
                self.out("Lex3\t%02X" % e.data[0])

    def mn_pentax(self, note, mn):
        note_be = bytes(note.data[4:6]) == b"MM" if bytes(note.data[:4]) == b"AOC\0" else self.big_endian
        for e in mn:
            if e.tag == 0x0003:
                self.out("cg3size\t%s" % e.value.split()[0])
            elif e.tag == 0x0004:
                if self.base:
                    self.note("cg3ofs is the stored value as it stands (the preview lies at %d)"
                              % (int(e.value) + self.base))
                self.out("cg3ofs\t%s" % e.value.split()[0])
            elif e.tag == 0x003F:
                self.out("Lens\t%d" % ints(e.data[:2], 2, note_be)[0])

    def mn_sony(self, note, mn):
        for e in mn:
            if e.tag == 0xB027:
                self.out("Lens\t%d" % int(e.value.split()[0]))

    def mn_minolta(self, note, mn):
        mrw = self.base if self.kind == "mrw" else 0
        for e in mn:
            if e.tag == 0x0088:
                if self.kind != "mrw" and self.base:
                    self.note("cg1ofs adds the MRW header position (none in a JPEG); the preview lies at %d"
                              % (int(e.value) + self.base))
                self.out("cg1ofs\t%d" % (int(e.value) + mrw))
            elif e.tag == 0x0089:
                self.out("cg1size\t%s" % e.value.split()[0])
            elif e.tag == 0x010C:
                self.out("Lens\t%d" % int(e.value.split()[0]))

    def mn_olympus(self, note, mn):
        if self.kind == "jpeg":
            self.note("Olympus maker notes are not read in JPEG files: no cg3/cg4 slot, no Lens/Ext line")
            for key in ("cg3ofs", "cg4ofs", "Ext"):
                self.out("!" + key)
            return
        self.note("Olympus maker note in a RAW file: draft by hand")

    def mn_panasonic(self, note, mn):
        delta = 12 - self.base
        for e in mn:
            if e.tag == 0x0017:
                self.out("ISO\t%s" % e.value.split()[0])
            elif e.tag == 0x0051:
                if delta and e.nbytes > 4:
                    self.note("Panasonic Lens (0x0051) read with base 12, %d bytes off: left out" % delta)
                else:
                    self.out("Lens\t" + (ascii_value(e) or "?"))

    # -- containers ----------------------------------------------------------------
    def run(self):
        if self.kind == "jpeg":
            exif_seen = False
            for doc, name, addr, first in self.segments:
                if doc:
                    continue
                if name == "APP1":
                    if first.startswith(b"Exif\0"):
                        self.base = addr + 6
                        exif_seen = True
                    break
            if not exif_seen:
                self.note("no Exif APP1 before the first other APP1: the pass fails")
                self.out("-- no metadata")
                return
            self.ifd0(False)
            self.exif()
            self.ifd1()
        elif self.kind in ("tiff", "rw2"):
            self.ifd0(self.kind == "tiff")
            if self.kind == "rw2":
                for e in self.in_dir("IFD0"):
                    if e.tag == 0x0017:
                        self.out("ISO\t%s" % e.value.split()[0])
                    elif e.tag == 0x002E:
                        self.out("cg1ofs\t%d" % e.addr)
                        self.out("cg1size\t%d" % e.nbytes)
            self.exif()
            self.ifd1()
        elif self.kind == "mrw":
            self.base = self.dump_base = 48
            self.ifd0(False)
            self.exif()
            self.ifd1()
        else:
            self.note("container drafted by hand")
            self.ifd0(False)
            self.exif()
        self.lines.insert(0, "# drafted from exiftool -v3 (TIFF base %d), then checked by hand" % self.base)


def exiv2_lines(path, base):
    """The plain Exif lines once more, from exiv2's raw values, for a diff."""
    pv = subprocess.run(["exiv2", "-pv", path], capture_output=True, text=True, errors="replace").stdout
    out = []
    for line in pv.splitlines():
        m = re.match(r"^0x([0-9a-f]{4}) (\S+)\s+(\S+)\s+(\S+)\s+(\d+)  ?(.*)$", line)
        if not m:
            continue
        tag, group, typ, value = int(m.group(1), 16), m.group(2), m.group(4), m.group(6)
        rats = [tuple(int(x) for x in r.split("/")) for r in value.split()
                if re.fullmatch(r"-?\d+/-?\d+", r)]
        if group == "Image" and tag in (0x010F, 0x0110):
            out.append("%s\t%s" % ("Maker" if tag == 0x010F else "Model", value))
        elif group == "Image" and tag == 0x0112:
            out.append("Direction\t%s" % value.split()[0])
        elif group == "Photo":
            if tag == 0x829A and rats:
                out.append("ExposureTime\t" + fmt_exposure_time(*rats[0]))
            elif tag == 0x829D and rats:
                out.append("FNumber\tF" + fmt_rational_mode1(*rats[0]))
            elif tag == 0x8827:
                out.append("ISO\t" + ", ".join(value.split()[:2]))
            elif tag == 0x9003:
                out.append("DateTime\t" + value)
            elif tag == 0x9204 and rats:
                out.append("ExposureBias\t" + fmt_bias(*rats[0]))
            elif tag == 0x920A and rats:
                out.append("FocalLength\t" + fmt_focal(*rats[0]))
            elif tag == 0xA405:
                out.append("FL35mm\t%smm" % value.split()[0])
            elif tag == 0xA434:
                out.append("Lens\t" + value)
        elif group == "Thumbnail" and tag == 0x0201:
            out.append("cg2ofs\t%d" % (int(value.split()[0]) + base))
        elif group == "Thumbnail" and tag == 0x0202:
            out.append("cg2size\t%s" % value.split()[0])
    structure = subprocess.run(["exiv2", "-pR", path], capture_output=True, text=True, errors="replace").stdout
    for line in structure.splitlines():
        m = re.match(r"^\s*(\d+) \| 0x0112 Orientation", line)
        if m:
            out.append("(orientation entry at %s + 8 + TIFF base %d = %d)"
                       % (m.group(1), base, int(m.group(1)) + 8 + base))
            break
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("sample")
    ap.add_argument("--kind", choices=("jpeg", "tiff", "rw2", "mrw", "other"))
    ap.add_argument("--exiv2", action="store_true",
                    help="print the plain Exif lines from exiv2's raw values instead, for a diff")
    args = ap.parse_args()
    d = Draft(args.sample, args.kind or guess_kind(args.sample))
    d.run()
    if args.exiv2:
        sys.stdout.write("\n".join(exiv2_lines(args.sample, d.base)) + "\n")
        return
    sys.stdout.write("\n".join(d.lines) + "\n")


if __name__ == "__main__":
    main()
