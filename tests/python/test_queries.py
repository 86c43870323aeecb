"""Index.query(k), Index.within(km) and the distance conversions: against a
brute force written here in NumPy (answers, order and chords bit for bit),
against scipy's cKDTree (sets and order, its choices scored again exactly),
and on several threads against one."""
import math

import numpy as np
import pytest

import spherebench
from numpy_model import numpy_decode, numpy_scores, ranked, same_bits, squared_chords

HALF_CIRCUMFERENCE_KM = math.pi * 6371


def copies_table():
    """Hundreds of copies of a few sites among other locations, which fill
    whole leaves and nodes of the index's tree, and queries at the sites."""
    sites = spherebench.random_table("uniform", 4, 7)
    table = np.concatenate([spherebench.random_table("uniform", 300, 8), np.repeat(sites, 700, axis=0)])
    return table[np.random.default_rng(9).permutation(len(table))], sites


@pytest.fixture(scope="module", params=["uniform", "towns", "repeated", "copies"])
def case(request):
    """A table of a kind (the repeated one and the copies full of ties),
    queries near it, uniform ones and some of its own pairs, every score and
    their order."""
    kind = request.param
    if kind == "copies":
        table, near = copies_table()
    else:
        table, near = spherebench.random_table(kind, 3000, seed=5), spherebench.near_queries(kind, 150, seed=5)
    queries = np.concatenate([near, spherebench.random_table("uniform", 100, 6), table[::300]])
    scores = numpy_scores(table, queries)
    order = ranked(scores)
    return table, queries, scores, order, np.take_along_axis(scores, order, axis=1)


@pytest.mark.parametrize("search", spherebench.searches)
def test_k_nearest_is_the_brute_forces_order(case, search):
    table, queries, _, order, sorted_scores = case
    index = spherebench.Index(table, search=search)
    for k in (1, 2, 10, 100):
        indices, chords = index.query(queries, k=k)
        expected = order[:, :k] if k > 1 else order[:, 0]
        assert indices.dtype == np.int64 and indices.shape == expected.shape
        assert np.array_equal(indices, expected)
        assert same_bits(chords, sorted_scores[:, :k] if k > 1 else sorted_scores[:, 0])


@pytest.mark.parametrize("search", spherebench.searches)
def test_within_is_every_pair_at_or_below_the_limit_in_order(case, search):
    table, queries, _, order, sorted_scores = case
    index = spherebench.Index(table, search=search)
    for km in (0, 1, 10, 50, 500, 5000):
        counts = np.count_nonzero(sorted_scores <= spherebench.within_chord(km), axis=1)
        found = index.within(queries, km)
        assert len(found) == len(queries)
        for row, indices in enumerate(found):
            assert indices.dtype == np.int64 and np.array_equal(indices, order[row, : counts[row]])


def test_within_zero_km_is_the_copies_of_the_query(case):
    table, queries, *_ = case
    for query, indices in zip(queries, spherebench.Index(table).within(queries, 0)):
        assert np.array_equal(indices, np.flatnonzero(np.all(table == query, axis=1)))


def test_within_half_the_circumference_or_more_is_everything_in_order(case):
    table, queries, _, order, _ = case
    index = spherebench.Index(table)
    for km in (HALF_CIRCUMFERENCE_KM, 1e9, math.inf):
        assert all(np.array_equal(found, row) for found, row in zip(index.within(queries, km), order))


def test_within_the_km_of_a_chord_keeps_the_pairs_at_that_chord(case):
    """No location at the boundary is lost: km made from a pair's own squared
    chord keeps that pair (without the limit's margin over km_to_chord(km),
    about half of them would go)."""
    table, queries, scores, *_ = case
    index = spherebench.Index(table)
    chosen = np.random.default_rng(9).integers(0, len(table), len(queries))
    for row, column in enumerate(chosen):
        found = index.within(queries[row : row + 1], spherebench.chord_to_km(scores[row, column]))[0]
        assert column in found
        assert np.all(scores[row, found] <= scores[row, column] * (1 + 1e-14))


def test_k_beyond_the_table_fills_with_its_length_and_inf():
    table = spherebench.encode([10, 10, -5, 80, 10], [20, 20, 0, 100, 20])  # three copies of one place
    query = spherebench.encode([10.5], [20])
    indices, chords = spherebench.Index(table).query(query, k=8)
    assert indices.shape == (1, 8) and indices[0].tolist() == [0, 1, 4, 2, 3, 5, 5, 5]
    assert np.all(np.isinf(chords[0, 5:])) and np.all(np.isfinite(chords[0, :5]))
    assert same_bits(chords[0, :5], np.sort(numpy_scores(table, query)[0]))


def test_workers_share_the_queries_without_changing_an_answer():
    table = spherebench.random_table("towns", 20000)
    queries = spherebench.near_queries("towns", 1001)  # shares of unequal size
    index = spherebench.Index(table)
    one = [index.query(queries), index.query(queries, k=10), index.within(queries, 50)]
    for workers in (2, 3, -1):
        many = [index.query(queries, workers=workers), index.query(queries, k=10, workers=workers),
                index.within(queries, 50, workers=workers)]
        for (i1, c1), (i2, c2) in zip(one[:2], many[:2]):
            assert np.array_equal(i1, i2) and same_bits(c1, c2)
        assert all(np.array_equal(a, b) for a, b in zip(one[2], many[2]))
    # Fewer queries than threads, and none.
    assert np.array_equal(index.query(queries[:1], k=3, workers=4)[0], one[1][0][:1, :3])
    assert index.query(queries[:0], k=3, workers=2)[0].shape == (0, 3)
    assert index.within(queries[:0], 50, workers=2) == []


@pytest.mark.parametrize("kind", ["uniform", "city"])
def test_agrees_with_ckdtree_on_sets_and_order(kind):
    """cKDTree measures its own rounded distances between the same decoded
    vectors: where its choice differs from the exact one, the exact scores of
    both differ by a few units in the last place at most."""
    spatial = pytest.importorskip("scipy.spatial")
    table, queries = spherebench.random_table(kind, 20000), spherebench.near_queries(kind, 500)
    vectors, points = spherebench.decode(table), spherebench.decode(queries)
    assert same_bits(vectors, numpy_decode(table))
    tree, index = spatial.cKDTree(vectors), spherebench.Index(table)

    indices, chords = index.query(queries, k=10)
    _, tree_indices = tree.query(points, k=10)
    tree_scores = np.sort(squared_chords(vectors[tree_indices], points[:, None, :]), axis=1)
    assert np.all(chords <= tree_scores)  # rank by rank, no other choice is nearer
    assert np.all(tree_scores - chords <= 8 * np.spacing(chords))
    assert np.mean([set(a) == set(b) for a, b in zip(indices, tree_indices)]) >= 0.99

    limit = spherebench.within_chord(50)
    found = index.within(queries, 50)
    tree_found = tree.query_ball_point(points, math.sqrt(limit), return_sorted=True)
    for point, ours, theirs in zip(points, found, tree_found):
        scores = squared_chords(vectors[ours], point)
        assert np.all(scores <= limit) and np.all(np.diff(scores) >= 0)  # nearest first
        for other in set(theirs) ^ set(ours.tolist()):  # only where the tree's rounding decides
            assert abs(squared_chords(vectors[other], point) - limit) <= 8 * np.spacing(limit)


def test_conversions_of_numbers_and_arrays():
    chords = np.array([[0.0, 1e-12, 6.2e-11], [0.5, 2.0, 3.999]])
    km = spherebench.chord_to_km(chords)
    assert km.shape == (2, 3) and km.dtype == np.float64
    expected = [[2 * math.asin(math.sqrt(c) / 2) * 6371 for c in row] for row in chords.tolist()]
    assert np.allclose(km, expected, rtol=4e-15, atol=0)
    assert same_bits(spherebench.km_to_chord(km), [[spherebench.km_to_chord(x) for x in row] for row in km.tolist()])
    assert np.allclose(spherebench.km_to_chord(km), chords, rtol=1e-14, atol=0)
    assert spherebench.chord_to_km(4.0) == HALF_CIRCUMFERENCE_KM and spherebench.chord_to_km(4.0000000000000001) == \
        HALF_CIRCUMFERENCE_KM
    assert spherebench.km_to_chord(30000) == 4.0 and spherebench.km_to_chord(math.inf) == 4.0
    assert spherebench.chord_to_angle(2.0) == pytest.approx(math.pi / 2, rel=4e-16, abs=0)
    assert spherebench.angle_to_chord(math.pi / 3) == pytest.approx(1.0, rel=6e-16, abs=0)
    assert isinstance(spherebench.chord_to_km(1), float) and isinstance(spherebench.km_to_chord(np.float32(5)), float)
    assert spherebench.chord_to_km([]).shape == (0,) and spherebench.within_chord([50]).shape == (1,)
    for km in (0.0, 50.0, 10007.0, 20015.0):
        assert spherebench.km_to_chord(km) < spherebench.within_chord(km) <= \
            spherebench.km_to_chord(km) * (1 + 1e-14) + 1e-27


def test_bad_arguments_raise_clear_errors():
    table = spherebench.random_table("uniform", 100)
    index, queries = spherebench.Index(table), table[:3]
    cases = [
        (ValueError, "k must be at least 1, not 0", lambda: index.query(queries, k=0)),
        (ValueError, "k must be at least 1, not -2", lambda: index.query(queries, k=-2)),
        (TypeError, "", lambda: index.query(queries, k=2.5)),
        (ValueError, "workers must be .* not 0", lambda: index.query(queries, workers=0)),
        (ValueError, "workers must be .* not -2", lambda: index.within(queries, 5, workers=-2)),
        (ValueError, "km must be at least 0, not -1", lambda: index.within(queries, -1)),
        (ValueError, "km must be at least 0, not nan", lambda: index.within(queries, math.nan)),
        (TypeError, "", lambda: index.within(queries, "5")),
        (ValueError, r"query_pairs must have the shape \(N, 2\)", lambda: index.within(table[:, :1], 5)),
        # Floats are degrees: the words as floats lie far outside them.
        (ValueError, "query_pairs row 0: latitude .* is outside", lambda: index.query(queries.astype(np.float64), k=2)),
        (ValueError, "chords must be at least 0, not -0.5", lambda: spherebench.chord_to_km([0.5, -0.5])),
        (ValueError, "km must be at least 0, not nan", lambda: spherebench.km_to_chord(math.nan)),
        (ValueError, "angles must be at least 0", lambda: spherebench.angle_to_chord(-1)),
        (TypeError, "km must hold real numbers", lambda: spherebench.within_chord("50")),
    ]
    for error, message, call in cases:
        with pytest.raises(error, match=message):
            call()


def test_the_index_keeps_one_copy_of_the_table():
    # The index stores the pairs once, in its own order (12 bytes a pair
    # with their indices, under a byte of tree); the brute force reads the
    # table as it is, beside the Index's own fixed size (about a kilobyte:
    # room for the index's structure in either search).
    table = spherebench.random_table("towns", 100000)
    indexed, brute = spherebench.Index(table), spherebench.Index(table, search="brute")
    assert 12 * len(table) < indexed.nbytes <= 13.5 * len(table)
    assert 8 * len(table) <= brute.nbytes < 8 * len(table) + 2000
    del table
    queries = spherebench.near_queries("towns", 50)
    assert same_bits(indexed.query(queries)[1], brute.query(queries)[1])
