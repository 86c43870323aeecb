"""Index.save and Index.open, pickling, the pairs and the repr: an Index
opened or unpickled answers as the one built, bit for bit; a bad file
raises OSError naming it."""
import os
import pickle

import numpy as np
import pytest

import spherebench


@pytest.fixture(scope="module")
def built():
    table = spherebench.random_table("towns", 3000, seed=3)
    queries = np.concatenate([spherebench.near_queries("towns", 200, seed=3), spherebench.random_table("uniform", 50, 4)])
    return table, queries, spherebench.Index(table)


def same_answers(a, b, queries):
    for k in (1, 5):
        (ia, ca), (ib, cb) = a.query(queries, k=k), b.query(queries, k=k)
        assert np.array_equal(ia, ib) and np.array_equal(ca.view(np.uint64), cb.view(np.uint64))
    for x, y in zip(a.within(queries, 80.0), b.within(queries, 80.0)):
        assert np.array_equal(x, y)


def test_opened_index_answers_as_built(built, tmp_path):
    table, queries, index = built
    path = tmp_path / "towns.sbi"
    index.save(path)
    opened = spherebench.Index.open(str(path))
    assert len(opened) == len(index) == len(table) and opened.search == "indexed"
    same_answers(index, opened, queries)
    same_answers(index, spherebench.Index.open(path, check=False), queries)
    assert np.array_equal(opened.pairs, table) and np.array_equal(index.pairs, table)
    assert not opened.pairs.flags.writeable
    # Saving again over the open file leaves the opened index reading its own.
    spherebench.Index(table[:10]).save(path)
    same_answers(index, opened, queries)
    assert len(spherebench.Index.open(path)) == 10


def test_pickles_through_the_saved_form(built):
    table, queries, index = built
    for original in (index, spherebench.Index(table, search="pruned")):
        copy = pickle.loads(pickle.dumps(original))
        assert copy.search == original.search and len(copy) == len(original)
        same_answers(original, copy, queries)


def test_repr_says_search_count_and_bytes(built):
    index = built[2]
    assert repr(index) == f"<spherebench.Index search='indexed' count=3000 nbytes={index.nbytes}>"


def test_bad_files_and_paths_raise_oserror_naming_them(built, tmp_path):
    table, _, index = built
    path = tmp_path / "cut.sbi"
    index.save(path)
    data = path.read_bytes()
    path.write_bytes(data[:-1])
    with pytest.raises(OSError, match=f"can't open {path}: it is cut short"):
        spherebench.Index.open(path)
    path.write_bytes(b"latitude,longitude\n")
    with pytest.raises(OSError, match="it is not a saved index"):
        spherebench.Index.open(path)
    with pytest.raises(OSError, match=f"can't open {tmp_path}: it is a directory"):
        spherebench.Index.open(tmp_path)
    with pytest.raises(OSError, match="only the indexed search saves its index"):
        spherebench.Index(table, search="brute").save(tmp_path / "brute.sbi")
    with pytest.raises(OSError, match="can't write"):
        index.save(tmp_path / "no-such-folder" / "x.sbi")
    assert sorted(os.listdir(tmp_path)) == ["cut.sbi"]
