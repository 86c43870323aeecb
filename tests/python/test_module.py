"""The Python module against the program, the bundled data, NumPy and cKDTree.

Run by CTest (python_module) with PYTHONPATH naming the module's build folder
and SPHEREBENCH_PROGRAM the built program (by hand: build/release/spherebench
where it is).
"""
import csv
import math
import os
import re
import subprocess
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import numpy as np
import pytest

import spherebench
from numpy_model import SCALE, numpy_decode, numpy_scores, same_bits, squared_chords

DATA = Path(__file__).resolve().parents[2] / "data"


def read_words(path):
    """The two words and the rest of each record line, as the loader reads them."""
    rows = []
    for line in path.read_text(encoding="utf-8").splitlines():
        if line.startswith((";", "*")):
            continue
        first, second, rest = (line.split(maxsplit=2) + [""])[:3]
        rows.append((int(first) & 0xFFFFFFFF, int(second) & 0xFFFFFFFF, rest))
    return np.array([r[:2] for r in rows], dtype=np.uint32), [r[2] for r in rows]


@pytest.fixture(scope="module")
def airports():
    return read_words(DATA / "airports.ptc")


@pytest.fixture(scope="module")
def flight_line():
    return read_words(DATA / "flightline.lnc")[0]


def numpy_nearest(table, queries):
    """First index of the least score: the brute force's answer."""
    indices, chords = np.empty(len(queries), np.int64), np.empty(len(queries))
    for start in range(0, len(queries), 64):
        score = numpy_scores(table, queries[start : start + 64])
        indices[start : start + 64] = np.argmin(score, axis=1)
        chords[start : start + 64] = score[np.arange(len(score)), indices[start : start + 64]]
    return indices, chords


def test_encode_gives_the_words_of_the_bundled_airports(airports):
    with open(DATA / "airports.csv", newline="", encoding="utf-8") as f:
        records = list(csv.DictReader(f))
    pairs = spherebench.encode([float(r["latitude"]) for r in records], [float(r["longitude"]) for r in records])
    assert pairs.dtype == np.uint32 and pairs.shape == (len(records), 2)
    assert np.array_equal(pairs, airports[0])


def test_decode_is_the_decoders_formula_bit_for_bit():
    rng = np.random.default_rng(7)
    edges = [[0, 0], [0x40000000, 0], [0, 0x40000000], [0x40000000, 0x80000000], [0, 0xC0000000],
             [0x80000000, 0], [0x1FFFFFFF, 0x40000000], [0x60000000, 0x40000000], [0x3FFFFFFF, 0xFFFFFFFF]]
    pairs = np.concatenate([np.array(edges, np.uint32), rng.integers(0, 2**32, (100000, 2), dtype=np.uint32)])
    vectors = spherebench.decode(pairs)
    assert vectors.dtype == np.float64 and vectors.shape == (len(pairs), 3)
    assert same_bits(vectors, numpy_decode(pairs))
    assert same_bits(vectors[0], [1.0, 2 * SCALE, 2 * SCALE])
    assert math.copysign(1, vectors[7, 1]) == -1  # the -0.0 that makes the longitude -pi
    # int32 words are the same bits; strided and big-endian arrays are read as such.
    assert same_bits(spherebench.decode(pairs.view(np.int32)), vectors)
    assert same_bits(spherebench.decode(pairs[::3]), vectors[::3])
    assert same_bits(spherebench.decode(pairs.astype(">u4")), vectors)


def test_decode_of_encode_is_within_the_pair_bound():
    rng = np.random.default_rng(11)
    lat, lon = rng.uniform(-90, 90, 20000), rng.uniform(-180, 180, 20000)
    lat[:4], lon[:4] = [90, -90, 0, 45], [180, -180, -180, 0]
    r, t = np.radians(lat), np.radians(lon)
    exact = np.stack([np.cos(r) * np.cos(t), np.cos(r) * np.sin(t), np.sin(r)], axis=1)
    error = np.linalg.norm(spherebench.decode(spherebench.encode(lat, lon)) - exact, axis=1)
    assert error.max() <= 2.449489742783178 * 2.0 / 2147483640.0 * 1.001


@pytest.mark.parametrize("search", spherebench.searches)
def test_every_search_is_the_exact_brute_force(airports, flight_line, search):
    table = airports[0]
    rng = np.random.default_rng(3)
    queries = np.concatenate([flight_line, rng.integers(0, 2**32, (500, 2), dtype=np.uint32), table[:50]])
    expected = numpy_nearest(table, queries)
    for indices, chords in (spherebench.nearest(table, queries, search=search),
                            spherebench.Index(table, search=search).query(queries)):
        assert indices.dtype == np.int64 and np.array_equal(indices, expected[0])
        assert same_bits(chords, expected[1])
    # The table twice over: every winner is its first copy.
    indices, chords = spherebench.nearest(np.concatenate([table, table]), queries, search=search)
    assert np.array_equal(indices, expected[0]) and same_bits(chords, expected[1])


def test_index_uses_the_best_search_of_the_build(airports, flight_line):
    index = spherebench.Index(airports[0])
    assert len(index) == len(airports[0]) and index.search == spherebench.searches[-1]
    indices, chords = index.query(np.zeros((0, 2), np.uint32))
    assert indices.shape == (0,) and chords.shape == (0,)
    # Queries from several threads at once (the GIL released) find the same.
    expected = index.query(flight_line)
    with ThreadPoolExecutor(4) as pool:
        for indices, chords in pool.map(lambda _: index.query(flight_line), range(8)):
            assert np.array_equal(indices, expected[0]) and same_bits(chords, expected[1])


def program_list(program):
    """The airports the program lists for the direction-cosine method on the bundled data."""
    out = subprocess.run([program, str(DATA)], check=True, capture_output=True, text=True).stdout
    block = out.split("(test proximity using CDC coordinates)")[1].split("[Duration")[0]
    return re.findall(r"^ *\d+ +-?[\d.]+ +-?[\d.]+ (.*)$", block, re.MULTILINE)


def test_the_programs_list_on_the_bundled_data(airports, flight_line):
    program = os.environ.get("SPHEREBENCH_PROGRAM", str(DATA.parent / "build" / "release" / "spherebench"))
    if not Path(program).is_file():
        pytest.skip(f"no built program at {program} (SPHEREBENCH_PROGRAM names it)")
    names = airports[1]
    for search in spherebench.searches:
        indices, _ = spherebench.nearest(airports[0], flight_line, search=search)
        met = [names[i] for k, i in enumerate(indices) if k == 0 or i != indices[k - 1]]
        assert met == program_list(program)


@pytest.mark.parametrize("table_size", [50, 20000])
def test_agrees_with_ckdtree_up_to_ties(table_size):
    spatial = pytest.importorskip("scipy.spatial")
    rng = np.random.default_rng(table_size)
    lat = np.degrees(np.arcsin(rng.uniform(-1, 1, table_size + 3000)))
    pairs = spherebench.encode(lat, rng.uniform(-180, 180, len(lat)))
    table, queries = pairs[:table_size], pairs[table_size:]
    indices, chords = spherebench.nearest(table, queries)
    _, tree_indices = spatial.cKDTree(spherebench.decode(table)).query(spherebench.decode(queries))
    # Where the tree chose another, it is a tie or a near tie under its own
    # rounding: its choice scores no better and within a few units in the last
    # place of the winner (scores of the same decoded vectors, exactly).
    tree_scores = squared_chords(numpy_decode(table)[tree_indices], numpy_decode(queries))
    assert np.all(chords <= tree_scores)
    other = tree_indices != indices
    assert np.all(tree_scores[other] - chords[other] <= 8 * np.spacing(chords[other]))
    assert other.sum() <= len(queries) // 100


def test_bad_inputs_raise_clear_errors(airports):
    table = airports[0]
    cases = [
        (TypeError, "must hold real numbers", lambda: spherebench.encode(["a"], [1.0])),
        (TypeError, "must hold real numbers", lambda: spherebench.encode([1j], [1.0])),
        (ValueError, "one-dimensional", lambda: spherebench.encode([[1.0, 2.0]], [1.0, 2.0])),
        (ValueError, "1 latitudes but 2 longitudes", lambda: spherebench.encode([1.0], [1.0, 2.0])),
        (ValueError, r"position 1: latitude 90\.5 is outside", lambda: spherebench.encode([0, 90.5], [0, 0])),
        (ValueError, "latitude nan is outside", lambda: spherebench.encode([np.nan], [0])),
        (ValueError, "longitude -180.25 is outside", lambda: spherebench.encode([0], [-180.25])),
        (ValueError, "longitude inf is outside", lambda: spherebench.encode([0], [np.inf])),
        (TypeError, "uint32", lambda: spherebench.decode(np.zeros((2, 2)))),
        (TypeError, "uint32", lambda: spherebench.decode([[1, 2]])),  # int64 from a list
        (TypeError, "uint32", lambda: spherebench.decode(None)),
        (ValueError, r"shape \(N, 2\).*\(3, 3\)", lambda: spherebench.decode(np.zeros((3, 3), np.uint32))),
        (ValueError, r"\(2,\)", lambda: spherebench.decode(np.zeros(2, np.uint32))),
        (ValueError, "pairs is empty", lambda: spherebench.nearest(np.zeros((0, 2), np.uint32), table)),
        (ValueError, "pairs is empty", lambda: spherebench.Index(np.zeros((0, 2), np.uint32))),
        (ValueError, 'unknown search "fast"', lambda: spherebench.nearest(table, table, search="fast")),
        (ValueError, 'unknown search "Brute"', lambda: spherebench.Index(table, search="Brute")),
        (TypeError, "", lambda: spherebench.nearest(table, table, search=3)),
        (TypeError, "query_pairs", lambda: spherebench.nearest(table, np.zeros((1, 2), np.int64))),
        (ValueError, "query_pairs", lambda: spherebench.Index(table).query(np.zeros((1, 3), np.uint32))),
    ]
    for error, message, call in cases:
        with pytest.raises(error, match=message):
            call()
    # Empty arrays of the right form are no error.
    assert spherebench.encode([], []).shape == (0, 2)
    assert spherebench.decode(np.zeros((0, 2), np.uint32)).shape == (0, 3)
