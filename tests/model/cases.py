"""The cases of the differential test (compare.py): hand-made edge cases,
seeded random cases and two full-size tables, each a name, an airport file and
a flight-line file.
"""
import math
import random

import spherebench_model as model
from inputs import (code30, encode, from_degrees, great_circle, join_lines, plain, random_direction,
                    random_name, record_line)


def airport(lat, lon, name):
    return encode(*from_degrees(lat, lon)) + (name,)


SMALL_AIRPORTS = [airport(19.09, 72.87, b"Bombay"), airport(25.25, 55.36, b"Dubai"),
                  airport(51.47, -0.45, b"London"), airport(64.13, -21.94, b"Reykjavik"),
                  airport(61.17, -150.0, b"Anchorage"), airport(33.94, -118.41, b"Los Angeles")]
SMALL_PATH = [encode(*p) for p in great_circle(from_degrees(19.09, 72.87),
                                               from_degrees(33.94, -118.41), 40, 0,
                                               random.Random(0))]
SMALL_A = plain(SMALL_AIRPORTS)
SMALL_P = plain(SMALL_PATH, names=False)

SPECIAL_PAIRS = [(0, 0), (0x40000000, 0), (0, 0x40000000), (0x40000000, 0x40000000),
                 (0, 0x80000000), (0x40000000, 0x80000000), (0, 0xC0000000),
                 (0x40000000, 0xC0000000), (0x80000000, 0), (0x1FFFFFFF, 0),
                 (0x1FFFFFFF, 0x40000000), (0x60000000, 0x40000000),
                 (0x1FFFFFFF, 0x1FFFFFFF), (0x20000000, 0x20000000),
                 (0x3FFFFFFF, 0xFFFFFFFF), (0x7FFFFFFF, 0x7FFFFFFF),
                 (0xFFFFFFFF, 0xBFFFFFFF), (0x16A09E66, 0x16A09E66),
                 (0x16A09E67, 0x16A09E66)]


def numbered(lines):
    return b"".join(line + b"\n" for line in lines)


def near_ties(rng):
    """Grids of pairs a few codes apart around a few centres, and points
    among them, so that the winners turn on the last bits of the scores; one
    centre sits on the antimeridian, one near a pole."""
    centres = [from_degrees(0.0, 180.0), from_degrees(10.0, -179.9999999),
               from_degrees(89.9999, 30.0), from_degrees(-35.0, 120.0),
               from_degrees(45.0, 60.0), from_degrees(-60.0, -100.0), random_direction(rng)]
    airports, points = [], []
    for c in centres:
        first, second = encode(*c)
        def near(da, db):
            return ((first & ~0x3FFFFFFF) | ((first + da) & 0x3FFFFFFF),
                    (second & ~0x3FFFFFFF) | ((second + db) & 0x3FFFFFFF))
        steps = (-40, -25, -12, -5, -1, 0, 1, 5, 12, 25, 40)
        airports += [near(da, db) + (b"%d,%d" % (da, db),) for da in steps for db in steps]
        points += [near(0, 0), near(0, 1)]
        points += [near(rng.randint(-45, 45), rng.randint(-45, 45)) for _ in range(120)]
    rng.shuffle(airports)
    airports += airports[:20]
    return plain(airports), plain(points, names=False)


def root_threshold(rng):
    """Pairs with u*u + v*v just under 1, where the computed component is
    either 0 or the root of a tiny s, and a few just over 1. With u close to
    1, v is small and its steps move s finely enough to land there."""
    wanted = {"zero": 3, "root": 3, "over": 2}
    pairs = []
    while any(wanted.values()):
        f = (1 << 29) - 1 - rng.randint(2, 40)   # u just below 1
        u = model.stored_cosine(f)
        g = code30(math.sqrt(1 - u * u))
        for code in range(g - 2, g + 3):
            v = model.stored_cosine(code)
            s = (1.0 - u * u) - v * v
            kind = ("over" if -3e-13 < s < 0 else "zero" if 0 <= s < model.MIN_ROOT_ARG
                    else "root" if model.MIN_ROOT_ARG <= s < 3e-13 else None)
            if kind and wanted[kind]:
                wanted[kind] -= 1
                flags = rng.choice([0, 0x40000000, 0x80000000])
                pairs.append((f | rng.choice([0, 0x40000000]), code | flags))
    airports = [p + (b"T%d" % i,) for i, p in enumerate(pairs)]
    return plain(airports), plain(pairs[::-1], names=False)


def open_and_empty_cases(a3, p4):
    """Two plain runs, missing files, directories in their place, empty files."""
    yield "run-basic", SMALL_A, SMALL_P
    yield "run-3x4", a3, p4
    yield "open-missing-airports", None, p4
    yield "open-missing-flightline", a3, None
    yield "open-missing-both", None, None
    yield "open-dir-airports", "dir", p4
    yield "open-dir-flightline", a3, "dir"
    yield "open-dir-airports-missing-flightline", "dir", None
    yield "empty-airports", b"", p4
    yield "empty-airports-comments-only", b";a\n*b\n\n  \n", p4
    yield "empty-both", b"", b""
    yield "empty-flightline", a3, b""
    yield "empty-flightline-comments-only", a3, b";a\r\n**\r\n\t\r\n"
    yield "empty-by-eof-byte", b"\x1a" + a3, b"\x1a" + p4


def name_cases(a3, p4):
    """Names: blanks and tabs before them, line ends, missing names."""
    yield "name-one-blank", b"100 200 Gate\n", p4
    yield "name-tab", b"100 200\tGate\n", p4
    yield "name-two-blanks", b"100 200  Gate\n", p4
    yield "name-blank-tab", b"100 200 \tGate\n", p4
    yield "name-inner-and-trailing", b"1\t\t2\tA  b\tc \t \n", p4
    yield "name-cr-lf", b"1 2 Gate\r\n3 4 Other\r\n", p4
    yield "name-lone-cr", b"1 2 Gate\r\r\n3 4 Ot\rher\r", p4
    yield "name-only-blanks", b"1 2   \n", p4
    yield "name-format-chars", b"1 2 %s%d%n%%\n", p4
    yield "name-missing-end", a3 + b"100 200\n", p4
    yield "name-missing-blank", a3 + b"100 200 \n", p4
    yield "name-missing-tab", a3 + b"100 200\t\n", p4
    yield "name-missing-eof", a3 + b"100 200", p4
    yield "name-missing-crlf", a3 + b"100 200 \r\n", p4
    yield "name-missing-first", b"100 200\n" + a3, p4
    yield "name-cut-by-eof-byte", a3 + b"1 2 Ga\x1ate\n", p4
    yield "name-gone-by-eof-byte", a3 + b"1 2\x1a Gate\n", p4
    yield "name-cr-before-eof-byte", a3 + b"1 2 Gate\r\x1a\n", p4


def field_cases(a3, p4):
    """Number fields in every form atol takes, and lines of fewer than two."""
    yield "field-comment-marker-after-blank", b" ;100 200 Gate\n", b" ;5 7\n"
    yield "field-signs-and-suffix", b"-5 +7 A\n12abc 3 B\n", b"-5 +7\n12abc 3\n"
    yield "field-bad-signs", b"+-5 --7 A\n- + B\n", b"+ -\n-+1 +-1\n"
    yield "field-wrap", (b"4294967296 4294967297 A\n99999999999999999999 1 B\n"
                         b"-2147483648 2147483648 C\n4294967295 -4294967295 D\n"),\
        b"18446744073709551616 5\n-0 +0\n"
    yield "field-c-space", b"\v5 \f6 A\n\r7 8 B\n", b"\v\f1 \r2\n"
    yield "field-separators", b"\t \t1\t \t2  \t N\n", b"  \t 1 \t\t  2\t\n"
    yield "field-special-pairs", plain([p + (b"P%d" % i,) for i, p in
                                        enumerate(SPECIAL_PAIRS)]), \
        plain(SPECIAL_PAIRS, names=False)
    yield "field-special-pairs-unsigned", b"".join(
        b"%d %d U%d\n" % (p[0], p[1], i) for i, p in enumerate(SPECIAL_PAIRS)), \
        b"".join(b"%d %d\n" % p for p in reversed(SPECIAL_PAIRS))

    # fewer than two fields
    for tag, line in [("one", b"5"), ("one-blanks", b"  5\t "), ("cr-only", b"\r\r"),
                      ("vt", b"\v"), ("one-cr", b"5 \r\r")]:
        yield "fields-%s-airports" % tag, a3 + line + b"\n" + a3, p4
        yield "fields-%s-flightline" % tag, a3, p4 + line + b"\n"
    yield "fields-one-eof", a3, p4 + b"7"
    yield "fields-one-first-line", b"5\n", p4
    yield "fields-after-comments", a3, b";x\n\n*y\n  \n5\n"
    yield "fields-indented-comment", a3 + b"  ; not a comment\n", p4
    yield "fields-cr-inside-number", b"1\r2 3 N\n", b"4\r5 6\n"


def line_cases(a3, p4):
    """Blank lines, comments and lines about the longest the loader keeps."""
    yield "blank-lines", b"\n \n\t\n \t \r\n" + a3 + b"\n\n", b"\r\n\n" + p4 + b"   \n\t"
    yield "blank-long", b" " * 2000 + b"\n" + a3, p4 + b"\t" * 700
    yield "comment-long", b";" + b"x" * 3000 + b"\n" + a3, b"*" + b"\0" * 900 + b"\n" + p4
    yield "comment-eof-byte-inside", a3 + b"; com\x1ament\n" + a3, p4

    # long lines
    for size in (508, 509):
        name = b"n" * (size - 6)
        yield "long-%d-airport" % size, a3 + b"12 34 " + name + b"\n" + a3, p4
        yield "long-%d-airport-crlf" % size, a3 + b"12 34 " + name + b"\r\n", p4
        yield "long-%d-airport-eof" % size, a3 + b"12 34 " + name, p4
        yield "long-%d-flightline" % size, a3, p4 + b"12 34" + b" " * (size - 5) + b"\n"
    yield "long-lone-cr-counts", a3 + b"12 34 " + b"n" * 501 + b"\rx\n", p4
    yield "long-line-number", b";c\n\n" + a3 + b"  \n" + b"1 2 " + b"y" * 600 + b"\n", p4
    yield "long-name-diagnostic-style", b"1 2 " + b"%d" * 252 + b"\n", p4


def bom_and_nul_cases(a3, p4):
    """Byte order marks, skipped whole and only at the very start of a file, and NUL bytes."""
    bom = model.BYTE_ORDER_MARK
    yield "bom-airports", bom + a3, p4
    yield "bom-flightline", a3, bom + p4
    yield "bom-both-crlf", bom + a3.replace(b"\n", b"\r\n"), bom + p4.replace(b"\n", b"\r\n")
    yield "bom-incomplete", bom[:2] + a3, bom[:1] + p4
    yield "bom-not-at-start", a3 + bom + a3, p4 + bom + p4
    yield "bom-twice", bom + bom + a3, bom + bom + p4
    yield "bom-only", bom, bom
    yield "bom-then-comment", bom + b";c\n" + a3, bom + b"*\n\n" + p4
    yield "bom-then-eof-byte", bom + b"\x1a" + a3, bom[:2] + b"\x1a" + p4
    yield "bom-longest-line", bom + b"12 34 " + b"n" * 502 + b"\n" + a3, p4
    yield "bom-line-too-long", bom + b"12 34 " + b"n" * 503 + b"\n" + a3, p4
    yield "bom-one-field", a3, bom + b"5\n"

    # NUL bytes
    yield "nul-airport", a3 + b"1 2 Ga\0te\n", p4
    yield "nul-flightline", a3, p4 + b"1 2\0\n"
    yield "nul-first", b"\0;1 2 x\n", p4
    yield "nul-blankish", a3, p4 + b"  \0 \n"
    yield "nul-and-long", a3 + b"1 2 \0" + b"z" * 600 + b"\n", p4
    yield "nul-and-one-field", a3, p4 + b"5\0\n"
    yield "nul-after-eof-byte", a3 + b"\x1a\0\n", p4 + b"\x1a1 2\0"


def capacity_cases(a3, p4):
    """Tables at and beyond their capacity, and the diagnostic index."""
    points_1000 = plain([encode(*random_direction(random.Random(i))) for i in range(1000)],
                        names=False)
    yield "cap-points-1000", a3, points_1000
    yield "cap-points-1000-comment", a3, points_1000 + b"; done\n*\n"
    yield "cap-points-1000-blank", a3, points_1000 + b"\n  \n"
    yield "cap-points-1001", a3, points_1000 + b"1 2\n"
    yield "cap-points-1001-long", a3, points_1000 + b"1 " * 400 + b"\n"
    yield "cap-points-1001-nul", a3, points_1000 + b"1 \0\n"
    yield "cap-points-1001-one-field", a3, points_1000 + b"1\n"
    airports_14000 = plain([encode(*random_direction(random.Random(-i))) + (b"A%d" % i,)
                            for i in range(14000)])
    yield "cap-airports-14000", airports_14000 + b";end\n", p4
    yield "cap-airports-14001", airports_14000 + b"1 2 Extra\n", p4
    yield "cap-airports-14001-no-name", airports_14000 + b"1 2\n", p4
    first_11206 = numbered(airports_14000.split(b"\n")[:11206])
    yield "diag-11206-absent", first_11206, p4
    yield "diag-11207", first_11206 + b"7 8 \tName with\ttab and trailing  \r\n", p4
    yield "diag-11207-then-error", first_11206 + b"7 8 x\n1 2\n", p4


def search_cases(a3, p4):
    """What the searches decide: ties, the antimeridian, the progress counter, near ties and the root threshold."""
    dup = [SMALL_AIRPORTS[0][:2] + (b"First",), SMALL_AIRPORTS[1],
           SMALL_AIRPORTS[0][:2] + (b"Second",)]
    yield "tie-duplicates", plain(dup), plain([d[:2] for d in dup] * 3, names=False)
    yield "tie-same-words-other-text", plain(dup[:2]) + b"%d %d Third\n" % (
        dup[0][0] & 0xFFFFFFFF, dup[0][1] & 0xFFFFFFFF), plain([dup[0][:2]], names=False)
    yield "collapse-a-a-b-a", plain(SMALL_AIRPORTS[:2]), plain(
        [SMALL_AIRPORTS[0][:2], SMALL_AIRPORTS[0][:2], SMALL_AIRPORTS[1][:2],
         SMALL_AIRPORTS[0][:2]], names=False)
    antimeridian = [(0x1FFFFFFF, 0x40000000, b"east"), (0x60000000, 0x40000000, b"west"),
                    airport(0.0, 179.99, b"near east"), airport(0.0, -179.99, b"near west"),
                    airport(0.0, 180.0, b"on it"), airport(0.0, 0.0, b"far")]
    yield "antimeridian", plain(antimeridian), plain(
        [(0x1FFFFFFF, 0x40000000), (0x60000000, 0x40000000)] +
        [encode(*from_degrees(0.0, lon)) for lon in (179.995, -179.995, 180.0, -180.0,
                                                    179.991, -179.991, 0.0)],
        names=False)
    yield "antimeridian-west-first", plain(antimeridian[1::-1]), plain(
        [(0x1FFFFFFF, 0x40000000), (0x60000000, 0x40000000)], names=False)
    for n in (99, 100, 101, 250):
        yield "progress-%d" % n, a3, plain((SMALL_PATH * 7)[:n], names=False)
    yield "near-ties", *near_ties(random.Random(7))
    yield "root-threshold", *root_threshold(random.Random(8))


def edge_cases():
    """(name, airport file, flight-line file); None is a missing file and
    the string "dir" a directory in its place."""
    a3 = plain(SMALL_AIRPORTS[:3])
    p4 = plain(SMALL_PATH[:4], names=False)
    for group in (open_and_empty_cases, name_cases, field_cases, line_cases, bom_and_nul_cases,
                  capacity_cases, search_cases):
        yield from group(a3, p4)


def fault_line(rng, with_names):
    kind = rng.choice(["long", "nul", "one", "noname", "eof"])
    if kind == "long":
        return b"1 2 " + b"q" * rng.randint(505, 700)
    if kind == "nul":
        return b"1 2 N\0"
    if kind == "one":
        return rng.choice([b"5", b" 5\t", b"\r"])
    if kind == "noname" and with_names:
        return b"1 2" + rng.choice([b"", b" ", b"\t"])
    return b"1 2 ok\x1a rest"


def random_case(rng, index):
    shape = rng.choice(["uniform", "words", "path", "clusters", "copies"])
    n_air = rng.choice([1, 2, 3, rng.randint(1, 40), rng.randint(40, 400)])
    n_pts = rng.choice([0, 1, 2, rng.randint(1, 40), rng.randint(40, 260)])
    if rng.random() < 0.03:
        n_air = 0

    def direction():
        if shape == "words":
            return None
        return random_direction(rng)

    def pair(d):
        if d is None:
            return rng.getrandbits(32), rng.getrandbits(32)
        return encode(*d, spare_bits=rng.getrandbits(32) if rng.random() < 0.2 else 0)

    if shape in ("path", "clusters"):
        ends = random_direction(rng), random_direction(rng)
        route = great_circle(ends[0], ends[1], max(n_air, n_pts, 2), 0.02, rng)
        airports = [pair(rng.choice(route) if rng.random() < 0.8 else direction())
                    for _ in range(n_air)]
        if shape == "path":
            points = [pair(d) for d in great_circle(ends[0], ends[1], n_pts, 0.0, rng)]
        else:
            points = [pair(rng.choice(route)) for _ in range(n_pts)]
    else:
        airports = [pair(direction()) for _ in range(n_air)]
        points = [pair(direction()) for _ in range(n_pts)]
    if shape == "copies" and airports:
        points = [rng.choice(airports) for _ in range(n_pts)]
        airports += [rng.choice(airports) for _ in range(n_air // 4)]

    a_lines = [record_line(rng, a[0], a[1], random_name(rng, i))
               for i, a in enumerate(airports)]
    p_lines = [record_line(rng, p[0], p[1]) for p in points]
    if rng.random() < 0.12:
        lines, names = rng.choice([(a_lines, True), (p_lines, False)])
        lines.insert(rng.randint(0, len(lines)), fault_line(rng, names))
    noise = rng.choice([0.0, 0.05, 0.3])
    return "random-%03d-%s" % (index, shape), join_lines(rng, a_lines, noise), \
        join_lines(rng, p_lines, noise)


def full_cases(rng):
    airports = [encode(*random_direction(rng)) + (random_name(rng, i),) for i in range(14000)]
    points = [encode(*random_direction(rng)) for _ in range(1000)]
    yield "full-random", plain(airports), plain(points, names=False)
    ends = from_degrees(19.09, 72.87), from_degrees(33.94, -118.41)
    route = great_circle(ends[0], ends[1], 14000, 0.05, rng)
    airports = [encode(*d) + (b"Field %d" % i,) for i, d in enumerate(route)]
    points = [encode(*d) for d in great_circle(ends[0], ends[1], 1000, 0.0, rng)]
    yield "full-path", join_lines(rng, [record_line(rng, a[0], a[1], a[2]) for a in airports],
                                  0.01), plain(points, names=False)
