"""The input files of the differential test (compare.py): concise direction
cosines encoded independently of the program, and the words, names, blanks,
comments and line endings of the files written in every form the loader must
accept or refuse.
"""
import math

import spherebench_model as model

# ---------------------------------------------------------------- encoding

CELLS = model.FIXED_PI / 4   # one unit of a 30-bit stored cosine is 4 / FIXED_PI


def code30(c):
    f = math.floor(c * CELLS)
    return max(-(1 << 29), min((1 << 29) - 1, f)) & 0x3FFFFFFF


def encode(x, y, z, spare_bits=0):
    """Concise direction cosines of a unit vector: the largest component is
    the one left out; the flags say which it is and its sign."""
    ax, ay, az = abs(x), abs(y), abs(z)
    if az >= ax and az >= ay:
        negative = z < 0
        u, v, axis = y, (x if negative else -x), 0x80000000 | (spare_bits & 0x40000000)
    elif ay >= ax:
        negative = y < 0
        u, v, axis = (x if negative else -x), z, 0x40000000
    else:
        negative = x < 0
        u, v, axis = (-y if negative else y), z, 0
    first = code30(u) | (0x40000000 if negative else 0) | (spare_bits & 0x80000000)
    return first, code30(v) | axis


def from_degrees(lat, lon):
    lat, lon = math.radians(lat), math.radians(lon)
    return math.cos(lat) * math.cos(lon), math.cos(lat) * math.sin(lon), math.sin(lat)


def random_direction(rng):
    while True:
        x, y, z = rng.gauss(0, 1), rng.gauss(0, 1), rng.gauss(0, 1)
        n = math.sqrt(x * x + y * y + z * z)
        if n > 1e-6:
            return x / n, y / n, z / n


def great_circle(a, b, count, jitter, rng):
    """count directions from a to b, each nudged by up to jitter."""
    dot = max(-1.0, min(1.0, sum(p * q for p, q in zip(a, b))))
    angle = math.acos(dot) or 1e-9
    path = []
    for i in range(count):
        t = i / max(1, count - 1)
        s0 = math.sin((1 - t) * angle) / math.sin(angle)
        s1 = math.sin(t * angle) / math.sin(angle)
        p = [s0 * p + s1 * q + rng.uniform(-jitter, jitter) for p, q in zip(a, b)]
        n = math.sqrt(sum(c * c for c in p)) or 1.0
        path.append(tuple(c / n for c in p))
    return path


# ---------------------------------------------------------------- writing

def word_text(word, rng=None):
    """A 32-bit word as a decimal field in one of the forms atol accepts."""
    word &= 0xFFFFFFFF
    signed = model.int32(word)
    if rng is None:
        return str(signed).encode()
    style = rng.choice(["signed"] * 6 + ["unsigned"] * 3 +
                                ["plus", "zeros", "wrap", "suffix", "space"])
    if style == "unsigned":
        return str(word).encode()
    if style == "plus":
        return (b"+" if signed >= 0 else b"") + str(signed).encode()
    if style == "zeros":
        return (b"-" if signed < 0 else b"") + b"000" + str(abs(signed)).encode()
    if style == "wrap":
        k = rng.randint(1, 10 ** rng.randint(1, 12))
        if signed < 0:
            return b"-" + str(-signed + (k << 32)).encode()
        return str(word + (k << 32)).encode()
    if style == "suffix":
        return str(signed).encode() + rng.choice([b"abc", b".5", b"e3", b"x", b"-1", b";",
                                                  b"\r9", b"\v"])
    if style == "space":
        return rng.choice([b"\v", b"\f", b"\r", b"\v\f"]) + str(signed).encode()
    return str(signed).encode()


NAMES = [b"Gate", b"Bombay", b"Los Angeles Intl", b"Z\xc3\xbcrich", b"O'Hare",
         b"with\ttab", b"trailing  ", b"trailing\t", b"%s %d %n", b"a", b"x" * 200,
         b"cr\rinside", b"ends in cr\r", b"  two leading", b";semi", b"*star", b"0 0",
         b"vt\vff\f", b"\x7f\xff"]


def random_name(rng, index):
    if rng.random() < 0.7:
        return b"Airport %d" % index
    return rng.choice(NAMES)


def separator(rng):
    if rng.random() < 0.75:
        return b" "
    return bytes(rng.choice(b" \t") for _ in range(rng.randint(1, 4)))


def record_line(rng, first, second, name=None):
    lead = b"" if rng.random() < 0.85 else separator(rng)
    line = lead + word_text(first, rng) + separator(rng) + word_text(second, rng)
    if name is not None:
        return line + bytes([rng.choice(b" \t")]) + name
    if rng.random() < 0.2:
        line += separator(rng) + rng.choice([b"ignored", b"5 6 7", b";x", b"\r"])
    return line


def noise_line(rng):
    return rng.choice([b"; comment", b"*", b";", b"* star comment\t", b"", b"   ",
                       b"\t", b" \t ", b";" + b"c" * rng.randint(0, 600),
                       b";nul \0 in comment", b"*\r"])


def join_lines(rng, lines, noise=0.1, crlf=None):
    """Lines with noise lines between them and mixed line endings."""
    crlf = rng.random() if crlf is None else crlf
    out = bytearray()
    for line in lines:
        while rng.random() < noise:
            out += noise_line(rng) + (b"\r\n" if rng.random() < crlf else b"\n")
        out += line + (b"\r\n" if rng.random() < crlf else b"\n")
    if out and rng.random() < 0.1:   # last line without a line feed
        del out[-1]
        if out.endswith(b"\r"):
            del out[-1]
    if rng.random() < 0.05:
        out += b"\x1a" + b"junk line\n" * 3
    if rng.random() < 0.05:
        out[:0] = model.BYTE_ORDER_MARK
    return bytes(out)


def plain(records, names=True):
    """A file in the simplest form: signed words, one blank, LF endings."""
    out = bytearray()
    for i, rec in enumerate(records):
        out += word_text(rec[0]) + b" " + word_text(rec[1])
        if names:
            out += b" " + (rec[2] if len(rec) > 2 else b"Airport %d" % i)
        out += b"\n"
    return bytes(out)
