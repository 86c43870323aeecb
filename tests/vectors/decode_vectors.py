"""Expected values for the coordinate-form tests, computed from the bit layout
alone with Python floats (IEEE doubles, each operation rounded, the platform's
own atan2), independently of the C++ code. Prints C++ initialisers; rerun with
a fixed seed to regenerate the table in coords_test.cpp."""
import math
import random
import struct

SCALE = 4.656612890424627e-10


def cosine(word):
    shifted = ((word << 2) | 2) & 0xFFFFFFFF
    if shifted >= 1 << 31:
        shifted -= 1 << 32
    return float(shifted) * SCALE


def decode(first, second):
    u, v = cosine(first), cosine(second)
    s = (1.0 - u * u) - v * v
    w = math.sqrt(s) if s >= 2.458e-14 else 0.0
    neg = bool(first >> 30 & 1)
    if second >> 31 & 1:
        return (v, u, -w) if neg else (-v, u, w)
    if second >> 30 & 1:
        return (u, -w, v) if neg else (-u, w, v)
    return (-w, -u, v) if neg else (w, u, v)


def to_fixed(angle):
    t = (angle * 0.3183098861837907) * 2147483640.0
    n = int(t) & 0xFFFFFFFF
    return n - (1 << 32) if n >= 1 << 31 else n


def bits(x):
    return "0x%016x" % struct.unpack("<Q", struct.pack("<d", x))[0]


def signed(word):
    return word - (1 << 32) if word >= 1 << 31 else word


def row(first, second):
    x, y, z = decode(first, second)
    lat = math.atan2(z, math.sqrt(x * x + y * y))
    lon = math.atan2(y, x)
    return "    {%d, %d, %s, %s, %s, %s, %s, %d, %d}," % (
        signed(first), signed(second), bits(x), bits(y), bits(z), bits(lat), bits(lon),
        to_fixed(lat), to_fixed(lon))


rng = random.Random(20261207)
for _ in range(24):
    print(row(rng.getrandbits(32), rng.getrandbits(32)))
