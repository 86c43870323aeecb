"""Exact values for distance_test.cpp, worked out with Python's decimal module
at 60 digits (series and Newton steps written here, no floating-point maths
library), apart from the C++ code: for each double given, the exact value of
the function to 30 significant digits. Prints C++ initialisers; rerun to
regenerate the tables in distance_test.cpp."""
import random
from decimal import Decimal, getcontext

getcontext().prec = 60
RADIUS_KM = Decimal(6371)


def pi():
    """Machin: 16 atan(1/5) - 4 atan(1/239)."""
    return 16 * atan_series(Decimal(1) / 5) - 4 * atan_series(Decimal(1) / 239)


def small(term, total):
    """Whether the series has converged to the working precision."""
    return term == 0 or abs(term) < abs(total) * Decimal(10) ** -65


def atan_series(z):
    total, term, n = z, -z * z * z, 3
    while not small(term, total):
        total += term / n
        term, n = -term * z * z, n + 2
    return total


def atan(z):
    """Halving the argument, atan(z) = 2 atan(z / (1 + sqrt(1 + z^2))), until
    the series converges fast."""
    halvings = 0
    while abs(z) > Decimal("0.1"):
        z, halvings = z / (1 + (1 + z * z).sqrt()), halvings + 1
    return atan_series(z) * 2**halvings


def asin(x):
    if abs(x) == 1:
        return x * pi() / 2
    return atan(x / (1 - x * x).sqrt())


def sin(a):
    total, term, n = a, -a * a * a / 6, 3
    while not small(term, total):
        total += term
        term, n = -term * a * a / ((n + 1) * (n + 2)), n + 2
    return total


def cos(a):
    return sin(pi() / 2 - a)


def chord2_to_angle(c):
    return 2 * asin(c.sqrt() / 2)


def angle_to_chord2(a):
    return (2 * sin(a / 2)) ** 2


def row(x, exact):
    return "    {%s, %sL}," % (float(x).hex(), format(exact, ".30g"))


def table(name, inputs, function):
    print("const Exact %s[] = {" % name)
    for x in inputs:
        print(row(x, function(Decimal(x))))
    print("};")


rng = random.Random(20261208)
chords = [0.0, 1e-300, 6.2e-11, 1e-6, 0.5, 1.999999999, 2.0, 2.000000001, 3.9, 3.999999999999, 4.0]
chords += [rng.uniform(0, 4) for _ in range(12)] + [10 ** rng.uniform(-20, 0) for _ in range(8)]
angles = [0.0, 1e-9, 7.8e-3, 0.5, 1.5707963267948966, 3.0, 3.141592653589793]
angles += [rng.uniform(0, 3.141592653589793) for _ in range(12)]
kms = [0.0, 0.001, 1.0, 10.0, 50.0, 500.0, 10007.5, 20000.0, 20015.0]
kms += [rng.uniform(0, 20015) for _ in range(8)] + [10 ** rng.uniform(-6, 4) for _ in range(8)]
cosines = [1.0, 0.9999999999, 0.5, 0.0, -0.3, -1.0] + [rng.uniform(-1, 1) for _ in range(8)]
table("kChord2ToAngle", chords, chord2_to_angle)
table("kAngleToChord2", angles, angle_to_chord2)
table("kKmToChord2", kms, lambda km: angle_to_chord2(km / RADIUS_KM))
table("kChord2ToKm", chords, lambda c: chord2_to_angle(c) * RADIUS_KM)
table("kCosineToAngle", cosines, lambda s: pi() / 2 - asin(s))
table("kAngleToCosine", angles, cos)
