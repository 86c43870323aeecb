"""The module's arithmetic written apart from it, in NumPy: the decoder's
formula and the brute force's squared chords, bit for bit, and the order in
which a brute force ranks them."""
import numpy as np

SCALE = 4.656612890424627e-10  # the double nearest 1/2147483640
SMALLEST_ROOT = 2.458e-14


def numpy_decode(pairs):
    """The decoder's formula."""
    pairs = pairs.astype(np.uint32)

    def cosine(word):
        return (((word << 2) | 2) & 0xFFFFFFFF).astype(np.uint32).view(np.int32).astype(np.float64) * SCALE

    u, v = cosine(pairs[:, 0]), cosine(pairs[:, 1])
    s = (1.0 - u * u) - v * v
    w = np.where(s >= SMALLEST_ROOT, np.sqrt(np.maximum(s, 0.0)), 0.0)
    negative = (pairs[:, 0] >> 30) & 1 == 1
    axis_z = (pairs[:, 1] >> 31) == 1
    axis_y = ~axis_z & ((pairs[:, 1] >> 30) & 1 == 1)
    axis_x = ~axis_z & ~axis_y
    out = np.empty((len(pairs), 3))
    for axis, plus, minus in (
        (axis_z, (-v, u, w), (v, u, -w)),
        (axis_y, (-u, w, v), (u, -w, v)),
        (axis_x, (w, u, v), (-w, -u, v)),
    ):
        for k in range(3):
            out[axis & ~negative, k] = plus[k][axis & ~negative]
            out[axis & negative, k] = minus[k][axis & negative]
    return out


def squared_chords(a, b):
    """((dx^2 + dy^2) + dz^2) of vectors a - b (broadcast over the leading
    axes): the program's score, summed in its order."""
    d = a - b
    return (d[..., 0] * d[..., 0] + d[..., 1] * d[..., 1]) + d[..., 2] * d[..., 2]


def numpy_scores(table, queries):
    """The score of every pair of the table (columns) for every query (rows)."""
    return squared_chords(numpy_decode(table)[None, :, :], numpy_decode(queries)[:, None, :])


def ranked(scores):
    """Each row's indices by score, then index: the brute force's order."""
    return np.argsort(scores, axis=-1, kind="stable")


def same_bits(a, b):
    return np.array_equal(np.asarray(a, np.float64).view(np.uint64), np.asarray(b, np.float64).view(np.uint64))
