"""Positions as degrees beside pairs, one fix alone, max_km, a km per query
and help() naming array types: each the same answers as the pairs' own
questions."""
import pydoc

import numpy as np
import pytest

import spherebench


@pytest.fixture(scope="module")
def towns():
    """Degrees of a table of towns and of fixes near them, their pairs, and
    an Index of each."""
    vectors = spherebench.decode(spherebench.random_table("towns", 2000, seed=8))
    fixes = spherebench.decode(spherebench.near_queries("towns", 100, seed=8))

    def degrees(v):
        return np.column_stack([np.degrees(np.arcsin(np.clip(v[:, 2], -1, 1))), np.degrees(np.arctan2(v[:, 1], v[:, 0]))])

    table, queries = degrees(vectors), degrees(fixes)
    pairs = spherebench.encode(table[:, 0], table[:, 1])
    query_pairs = spherebench.encode(queries[:, 0], queries[:, 1])
    return table, queries, spherebench.Index(table), pairs, query_pairs, spherebench.Index(pairs)


def test_degrees_are_encoded_as_encode_does(towns):
    table, queries, by_degrees, pairs, query_pairs, by_pairs = towns
    assert np.array_equal(by_degrees.pairs, pairs)
    for k in (1, 4):
        i, c = by_degrees.query(queries, k=k)
        j, d = by_pairs.query(query_pairs, k=k)
        assert np.array_equal(i, j) and np.array_equal(c, d)
    i, c = spherebench.nearest(table, queries)
    assert np.array_equal(i, by_pairs.query(query_pairs)[0])


def test_one_fix_is_answered_alone(towns):
    queries, index = towns[1], towns[2]
    i, c = index.query(queries[5])
    assert np.ndim(i) == 0 and (i, c) == tuple(a[5] for a in index.query(queries))
    i, c = index.query(queries[5], k=3)
    assert i.shape == (3,) and np.array_equal(i, index.query(queries, k=3)[0][5])
    assert np.array_equal(index.within(queries[5], 40.0), index.within(queries, 40.0)[5])


def test_max_km_leaves_out_what_is_farther(towns):
    queries, index = towns[1], towns[2]
    every_i, every_c = index.query(queries, k=5)
    i, c = index.query(queries, k=5, max_km=20.0)
    near = every_c <= spherebench.within_chord(20.0)
    assert near.any() and not near.all()
    assert np.array_equal(i[near], every_i[near]) and np.array_equal(c[near], every_c[near])
    assert (i[~near] == len(index)).all() and np.isinf(c[~near]).all()


def test_a_km_per_query(towns):
    queries, index = towns[1], towns[2]
    km = np.linspace(0.0, 60.0, len(queries))
    each = index.within(queries, km)
    assert [len(a) for a in each] != [0] * len(queries)
    for q, k, found in zip(queries, km, each):
        assert np.array_equal(found, index.within(q, float(k)))
    with pytest.raises(ValueError, match=r"km must be one number, or one a query \(100\), not 3 numbers"):
        index.within(queries, [1.0, 2.0, 3.0])


def test_wrong_floats_and_integers_named_by_what_they_are():
    with pytest.raises(ValueError, match=r"pairs holds floats of the shape \(3,\): degrees .* encode\(latitudes"):
        spherebench.Index(np.array([1.0, 2.0, 3.0]))
    with pytest.raises(ValueError, match=r"pairs row 1: latitude 91 is outside"):
        spherebench.Index(np.array([[1.0, 2.0], [91.0, 0.0]]))
    with pytest.raises(TypeError, match="uint32 .* pairs, or floats: degrees of latitude, longitude; not int64"):
        spherebench.Index(np.array([[1, 2]], np.int64))


def test_help_names_array_types():
    text = pydoc.render_doc(spherebench.Index, renderer=pydoc.plaintext)
    assert "numpy.typing.ArrayLike" in text and "handle" not in text
    assert "chord_to_km" in spherebench.__doc__ and ">>> index = spherebench.Index(towns)" in spherebench.__doc__


def test_the_module_docstrings_example_runs_as_written():
    import doctest

    assert doctest.testmod(spherebench).failed == 0
