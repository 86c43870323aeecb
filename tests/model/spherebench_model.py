#!/usr/bin/env python3
"""Reference model of spherebench, written for differential testing.

Run it in a directory that holds airports.ptc and flightline.lnc: it writes
the same standard output and standard error bytes and exits with the same
status as the real program, except that both timed passes report 0 ticks.

Python floats are IEEE doubles with every operation rounded, and the math
module calls the platform's libm, so the arithmetic below matches the C++
build (compiled without floating-point contraction) bit for bit.
"""
import math
import os
import re
import sys

AIRPORT_FILE = b"airports.ptc"
FLIGHTLINE_FILE = b"flightline.lnc"
AIRPORT_CAPACITY = 14000
POINT_CAPACITY = 1000
MAX_LINE = 508
DIAGNOSTIC_INDEX = 11206
BYTE_ORDER_MARK = b"\xef\xbb\xbf"

COSINE_UNIT = 4.656612890424627e-10   # nearest double to 1/2147483640
INV_PI = 0.3183098861837907
FIXED_PI = 2147483640.0
PI = 3.141592653589793
TWO_PI = 6.283185307179586
DEGREES = 57.29577951308232
MIN_ROOT_ARG = 2.458e-14
BIG = 1.7976931348623e308

HEADER = (b"==== Find nearest airports to the points ======\n"
          b"==== along Bombay-Los Angeles flight path =====\n")
CDC_TITLE = b"==== (test proximity using CDC coordinates) ===\n"
LATLONG_TITLE = b"= (test proximity using lat/long coordinates) =\n"
RULE = b"-----------------------------------------------------------\n"

FIELD = re.compile(rb"[^ \t]+")   # lines hold no line feed here


class Stop(Exception):
    """A failure: its message is the last thing written to standard error."""


def int32(n):
    n &= 0xFFFFFFFF
    return n - (1 << 32) if n & 0x80000000 else n


def atol32(field):
    """Leading C white space, one optional sign, digits; wraps modulo 2**32."""
    i, n = 0, len(field)
    while i < n and field[i] in b" \t\n\v\f\r":
        i += 1
    negative = False
    if i < n and field[i] in b"+-":
        negative = field[i] == ord("-")
        i += 1
    value = 0
    while i < n and 48 <= field[i] <= 57:
        value = (value * 10 + field[i] - 48) & 0xFFFFFFFF
        i += 1
    return int32(-value if negative else value)


def stored_cosine(word):
    code = int32(((word & 0xFFFFFFFF) << 2) | 2)
    return float(code) * COSINE_UNIT


def decode_cdc(first, second):
    u = stored_cosine(first)
    v = stored_cosine(second)
    s = (1.0 - u * u) - v * v
    w = math.sqrt(s) if s >= MIN_ROOT_ARG else 0.0
    negative = bool(first & 0x40000000)
    if second & 0x80000000:
        return (v, u, -w) if negative else (-v, u, w)
    if second & 0x40000000:
        return (u, -w, v) if negative else (-u, w, v)
    return (-w, -u, v) if negative else (w, u, v)


def vector_to_latlong(x, y, z):
    h = x * x + y * y
    return math.atan2(z, math.sqrt(h)), math.atan2(y, x)


def to_fixed(angle):
    return int32(int((angle * INV_PI) * FIXED_PI))


def from_fixed(n):
    return (float(n) * COSINE_UNIT) * PI


def text_mode_lines(data):
    """Lines of a file read as text: a UTF-8 byte order mark at the very start
    is dropped, 0x1A ends it, CR LF reads as LF."""
    if data.startswith(BYTE_ORDER_MARK):
        data = data[len(BYTE_ORDER_MARK):]
    end = data.find(b"\x1a")
    if end >= 0:
        data = data[:end]
    data = data.replace(b"\r\n", b"\n")
    if not data:
        return []
    lines = data.split(b"\n")
    if data.endswith(b"\n"):
        lines.pop()
    return lines


def load_table(data, fname, capacity, overflow, with_names, err):
    records = []
    for number, line in enumerate(text_mode_lines(data), 1):
        if line[:1] in (b";", b"*"):
            continue
        if not line.strip(b" \t"):
            continue
        if len(records) == capacity:
            raise Stop(overflow % capacity)
        if len(line) > MAX_LINE:
            raise Stop(b"Line %d of [%s] is too long\n" % (number, fname))
        if b"\0" in line:
            raise Stop(b"Line %d of [%s] holds a NUL byte\n" % (number, fname))
        fields = FIELD.finditer(line)
        one = next(fields, None)
        two = next(fields, None)
        if two is None:
            raise Stop(b"Line %d of [%s] has fewer than two number fields\n"
                       % (number, fname))
        first = atol32(one.group())
        second = atol32(two.group())
        name = None
        if with_names:
            name = line[two.end() + 1:]
            if not name:
                raise Stop(b"Strdup failed at %d\n" % len(records))
        lat, lon = vector_to_latlong(*decode_cdc(first, second))
        fixed = (to_fixed(lat), to_fixed(lon))
        if with_names and len(records) == DIAGNOSTIC_INDEX:
            err += b"%d %8d %s\n" % (DIAGNOSTIC_INDEX, len(name), name)
        records.append((first, second, fixed, name))
    return records


def open_file(directory, fname):
    """The path of an input file, failing as the program does when it is
    missing or is not a regular file (a directory, say)."""
    path = os.path.join(os.fsencode(directory), fname)
    if not os.path.isfile(path):
        raise Stop(b"Can't open file [%s] for reading\n" % fname)
    return path


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def duration_line(seconds):
    hours = int(seconds * 0.0002777777777777778)
    minutes = int(math.fmod(seconds, 3600.0) * 0.016666666666666666)
    rest = math.fmod(seconds, 60.0)
    return b"[Duration %d:%02d:%06.3f]\n\n" % (hours, minutes, rest)


def result_list(winners, position, names):
    out = bytearray()
    count = 0
    for i, k in enumerate(winners):
        if i == 0 or k != winners[i - 1]:
            count += 1
            lat, lon = position(k)
            out += b"%3d %9.5f %10.5f %s\n" % (
                count, lat * DEGREES, lon * DEGREES, names[k])
    return bytes(out)


def progress(err, i):
    if i % 100 == 0:
        err += b"%d\r" % i


def cdc_pass(airports, points, out, err, ticks):
    out += HEADER + CDC_TITLE
    vectors = [decode_cdc(a[0], a[1]) for a in airports]
    ax = [v[0] for v in vectors]
    ay = [v[1] for v in vectors]
    az = [v[2] for v in vectors]
    winners = []
    for i, p in enumerate(points):
        progress(err, i)
        px, py, pz = decode_cdc(p[0], p[1])
        scores = [((x - px) * (x - px) + (y - py) * (y - py)) + (z - pz) * (z - pz)
                  for x, y, z in zip(ax, ay, az)]
        best = min(scores, default=BIG)
        if not best < BIG:
            raise Stop(b"Unexpected internal error in airport search (a).\n")
        winners.append(scores.index(best))
    out += result_list(winners, lambda k: vector_to_latlong(*vectors[k]),
                       [a[3] for a in airports])
    out += duration_line(ticks * 0.001)


def latlong_score(cos_plat, sin_plat, plon, cos_alat, sin_alat, alon):
    """The cosine of the central angle between a point and an airport, from
    the cosines and sines of their latitudes (taken once each by the pass),
    with the products grouped as the program groups them. abs() of the
    longitude difference equals the larger minus the smaller exactly; from pi
    on it folds to 2 pi minus it."""
    d = abs(alon - plon)
    return cos_plat * (math.cos(d if d < PI else TWO_PI - d) * cos_alat) + sin_alat * sin_plat


def latlong_cosine(plat, plon, alat, alon):
    """latlong_score of a point and an airport in radians: the model of the
    program's latlong_cosine (tests/search_test.cpp takes values from it)."""
    return latlong_score(math.cos(plat), math.sin(plat), plon, math.cos(alat), math.sin(alat), alon)


def latlong_pass(airports, points, out, err, ticks):
    out += HEADER + LATLONG_TITLE
    lats = [from_fixed(a[2][0]) for a in airports]
    lons = [from_fixed(a[2][1]) for a in airports]
    cos_lat = [math.cos(t) for t in lats]
    sin_lat = [math.sin(t) for t in lats]
    winners = []
    for i, p in enumerate(points):
        progress(err, i)
        plat = from_fixed(p[2][0])
        plon = from_fixed(p[2][1])
        cp, sp = math.cos(plat), math.sin(plat)
        scores = [latlong_score(cp, sp, plon, ca, sa, lon)
                  for lon, ca, sa in zip(lons, cos_lat, sin_lat)]
        best = max(scores, default=-BIG)
        if not best > -BIG:
            raise Stop(b"Unexpected internal error in airport search (b).\n")
        winners.append(scores.index(best))
    out += result_list(winners, lambda k: (lats[k], lons[k]),
                       [a[3] for a in airports])
    out += duration_line(ticks * 0.001)


def summary(tests, t1, t2):
    r1 = tests / (t1 * 0.001) if t1 != 0 else 0.0
    r2 = tests / (t2 * 0.001) if t2 != 0 else 0.0
    q1 = t1 / t2 if t2 != 0 else -1.0
    q2 = t2 / t1 if t1 != 0 else -1.0
    return (b"Reporting:            clock-ticks tests/second  (relative)\n" + RULE
            + b"Concise direction cosines: %6d   %8.0f  (1.000 %.3f)\n" % (t1, r1, q1)
            + b"Latitude/longitude:        %6d   %8.0f  (%.3f 1.000)\n" % (t2, r2, q2)
            + RULE)


def run(directory=".", ticks=(0, 0)):
    """Returns (stdout bytes, stderr bytes, exit status) of a run in directory,
    with ticks as the clock ticks of the two passes."""
    out, err = bytearray(), bytearray()
    try:
        airport_path = open_file(directory, AIRPORT_FILE)
        flight_path = open_file(directory, FLIGHTLINE_FILE)
        err += b"Reading %s\n" % AIRPORT_FILE
        airports = load_table(read_bytes(airport_path), AIRPORT_FILE,
                              AIRPORT_CAPACITY,
                              b"Airport buffer overflow (%d)?\n", True, err)
        err += b"Input airports: %d\n" % len(airports)
        err += b"Reading %s\n" % FLIGHTLINE_FILE
        points = load_table(read_bytes(flight_path), FLIGHTLINE_FILE,
                            POINT_CAPACITY,
                            b"Flightline buffer overflow (%d)?\n", False, err)
        err += b"Input flightline points: %d\n" % len(points)
        tests = int32(len(airports) * len(points))
        err += b"Number of proximity tests: %d\n\n" % tests
        cdc_pass(airports, points, out, err, ticks[0])
        latlong_pass(airports, points, out, err, ticks[1])
        out += summary(tests, ticks[0], ticks[1])
    except Stop as failure:
        err += failure.args[0]
        return bytes(out), bytes(err), 1
    return bytes(out), bytes(err), 0


def main():
    out, err, status = run(".")
    sys.stdout.buffer.write(out)
    sys.stdout.buffer.flush()
    sys.stderr.buffer.write(err)
    sys.stderr.buffer.flush()
    sys.exit(status)


if __name__ == "__main__":
    main()
