"""The module's random tables of each kind and their near queries: the
generator written again here in plain Python, the spreads as stated, and the
searches exact on every kind (NumPy's brute force, written apart from the
module).

Run by CTest (python_module) with PYTHONPATH naming the module's build folder.
"""
import math

import numpy as np
import pytest

import spherebench
from test_module import numpy_decode, numpy_nearest, same_bits

PAIR_BOUND = 2.449489742783178 * 2.0 / 2147483640.0  # sqrt(6) half cells of the pair
EARTH_METRES = 6371000.0  # the project's sphere


def splitmix_directions(seed, count):
    """Uniform directions as the C++ generator draws them: splitmix64 words,
    53 bits each, z uniform in [-1, 1] and the azimuth in [0, 2 pi)."""
    mask, state = 2**64 - 1, seed

    def unit():
        nonlocal state
        state = (state + 0x9E3779B97F4A7C15) & mask
        z = ((state ^ (state >> 30)) * 0xBF58476D1CE4E5B9) & mask
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & mask
        return ((z ^ (z >> 31)) >> 11) * 2.0**-53

    rows = []
    for _ in range(count):
        z = 2.0 * unit() - 1.0
        azimuth = 2.0 * math.pi * unit()
        r = math.sqrt(1.0 - z * z)
        rows.append((r * math.cos(azimuth), r * math.sin(azimuth), z))
    return np.array(rows)


def metres(a, b):
    """Great-circle metres between rows of unit vectors (broadcast)."""
    return 2 * np.arcsin(np.minimum(np.linalg.norm(a - b, axis=-1) / 2, 1.0)) * EARTH_METRES


def test_the_uniform_kind_is_the_seeds_splitmix_directions():
    table = spherebench.random_table("uniform", 500, 99)
    error = np.linalg.norm(numpy_decode(table) - splitmix_directions(99, 500), axis=1)
    assert error.max() <= PAIR_BOUND * 1.001
    # The default seed is the benchmarks' table seed.
    assert np.array_equal(spherebench.random_table("uniform", 20), spherebench.random_table("uniform", 20, 20240501))


@pytest.mark.parametrize("kind", spherebench.table_kinds)
def test_same_seed_same_table_and_a_shorter_one_its_start(kind):
    table = spherebench.random_table(kind, 300, 5)
    assert table.dtype == np.uint32 and table.shape == (300, 2)
    assert np.array_equal(table, spherebench.random_table(kind, 300, 5))
    assert np.array_equal(table[:120], spherebench.random_table(kind, 120, 5))
    assert not np.array_equal(table, spherebench.random_table(kind, 300, 6))
    queries = spherebench.near_queries(kind, 300, 5)
    assert queries.shape == (300, 2) and np.array_equal(queries, spherebench.near_queries(kind, 300, 5))
    assert not np.array_equal(queries, table)


def test_the_spreads():
    assert spherebench.table_kinds == ("uniform", "towns", "city", "line", "repeated")
    city = numpy_decode(spherebench.random_table("city", 2000, 3))
    centre = city.mean(axis=0) / np.linalg.norm(city.mean(axis=0))
    assert metres(city, centre).max() <= 5000 * 1.01
    near = numpy_decode(spherebench.near_queries("city", 200, 3))
    assert metres(near, centre).max() <= 5000 * 1.01
    # 20000 picks of 300 sites: every site is stored, and every near query is one.
    repeated = spherebench.random_table("repeated", 20000, 4)
    sites = {tuple(row) for row in repeated}
    assert len(sites) == 300
    assert all(tuple(row) in sites for row in spherebench.near_queries("repeated", 100, 4))
    # A line 3000 km long: no two locations further apart.
    line = numpy_decode(spherebench.random_table("line", 2000, 8))
    assert metres(line[:, None, :], line[None, :, :]).max() <= 3.0e6 * 1.01


@pytest.mark.parametrize("kind", spherebench.table_kinds)
@pytest.mark.parametrize("search", spherebench.searches)
def test_every_search_is_exact_on_every_kind(kind, search):
    table = spherebench.random_table(kind, 3000, 12)
    queries = np.concatenate([spherebench.near_queries(kind, 150, 12), spherebench.random_table("uniform", 50, 13)])
    expected = numpy_nearest(table, queries)
    indices, chords = spherebench.Index(table, search=search).query(queries)
    assert np.array_equal(indices, expected[0]) and same_bits(chords, expected[1])


def test_bad_arguments():
    with pytest.raises(ValueError, match='unknown kind of table "cities": the kinds are "uniform", "towns"'):
        spherebench.random_table("cities", 3)
    with pytest.raises(ValueError, match="count -1 is not a count of locations"):
        spherebench.near_queries("city", -1)
    with pytest.raises(TypeError):
        spherebench.random_table("city", 3, -1)  # a seed is a 64-bit word
    assert spherebench.random_table("towns", 0).shape == (0, 2)
