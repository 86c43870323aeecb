"""spherebench_dask on a cluster of two worker processes: the answers are
one Index's, bit for bit, for an array of pairs and a DataFrame of degrees
in uneven partitions, an empty one among them; each worker opens the saved
file once, by its path, and the task graph holds no index. A replaced file
is opened again; README's recipe runs as written."""
import logging
import re
import subprocess
import sys
from pathlib import Path

import numpy as np
import pytest

pytest.importorskip("dask.dataframe", reason="dask is not importable here (Debian: python3-dask)")
distributed = pytest.importorskip("distributed",
                                  reason="distributed is not importable here (Debian: python3-distributed)")

import cloudpickle  # noqa: E402 (after the skips: it comes with dask)
import dask  # noqa: E402
import dask.array as da  # noqa: E402
import dask.dataframe as dd  # noqa: E402
import pandas as pd  # noqa: E402

import spherebench  # noqa: E402
import spherebench_dask  # noqa: E402
from numpy_model import same_bits  # noqa: E402
from spherebench_dask import answer_columns, nearest_on_dask  # noqa: E402

# distributed's event loop, on this Python's tornado.
pytestmark = pytest.mark.filterwarnings("ignore:make_current is deprecated:DeprecationWarning")
README = Path(__file__).resolve().parents[2] / "README.md"
PAIR_PARTS = [(900, 1), (1, 2), (2600, 3), (40, 4)]  # (count, seed) of near_queries
PAIR_CHUNKS = (500, 0, 400, 1, 2000, 640)  # the same 3541 rows cut otherwise
FRAME_PARTS = [(1200, 5), (0, 6), (7, 7), (1800, 8)]  # (count, seed) of degrees


def near_towns(count, seed):
    """Pairs near the towns, made by the workers: this function is sent to
    them whole, as spherebench's compiled functions do not pickle and the
    workers need not import the tests."""
    return spherebench.near_queries("towns", count, seed=seed)


cloudpickle.register_pickle_by_value(sys.modules[__name__])


@pytest.fixture(scope="module")
def saved(tmp_path_factory):
    path = tmp_path_factory.mktemp("index") / "towns.sbi"
    index = spherebench.Index(spherebench.random_table("towns", 20000, seed=11))
    index.save(path)
    return str(path), index


@pytest.fixture(scope="module")
def client():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None,
                                  silence_logs=logging.ERROR) as cluster, distributed.Client(cluster) as client:
        yield client


def pair_fixes():
    """Pairs made by the workers themselves (nothing of them in the graph),
    under new keys each call, and the same pairs made here."""
    parts = [da.from_delayed(dask.delayed(near_towns)(n, s), (n, 2), np.uint32) for n, s in PAIR_PARTS]
    whole = np.concatenate([near_towns(n, s) for n, s in PAIR_PARTS])
    return da.concatenate(parts).rechunk((PAIR_CHUNKS, (2,))), whole


def degree_fixes():
    """A DataFrame of (vehicle, latitude, longitude) made by the workers, its
    index counting from 100 a partition, and the same frame made here."""
    parts, here = [], []
    for n, seed in FRAME_PARTS:
        columns = {"vehicle": np.full(n, seed)}
        index = pd.RangeIndex(100 * seed, 100 * seed + n)
        degrees = dask.delayed(np.random.default_rng(seed).uniform)([-90, -180], [90, 180], (n, 2))
        parts.append(dask.delayed(pd.DataFrame)(dict(columns, latitude=degrees[:, 0], longitude=degrees[:, 1]),
                                                index=index))
        degrees = np.random.default_rng(seed).uniform([-90, -180], [90, 180], (n, 2))
        here.append(pd.DataFrame(dict(columns, latitude=degrees[:, 0], longitude=degrees[:, 1]), index=index))
    whole = pd.concat(here)
    return dd.from_delayed(parts, meta=whole.iloc[:0]), whole


@pytest.mark.parametrize("k, max_km", [(1, None), (4, 300.0)])
def test_arrays_of_pairs_answer_as_one_index(client, saved, k, max_km):
    path, index = saved
    fixes, whole = pair_fixes()
    indices, chords = nearest_on_dask(path, fixes, k=k, max_km=max_km)
    assert indices.chunks[0] == chords.chunks[0] == PAIR_CHUNKS
    got_indices, got_chords = dask.compute(indices, chords, scheduler=client)
    want_indices, want_chords = index.query(whole, k=k, max_km=max_km)
    assert got_indices.dtype == np.int64 and np.array_equal(got_indices, want_indices)
    assert same_bits(got_chords, want_chords)
    if max_km:  # some answers left out, not all
        assert 0 < np.count_nonzero(want_indices == len(index)) < want_indices.size


@pytest.mark.parametrize("k", [1, 3])
def test_frames_of_degrees_gain_one_indexs_answers(client, saved, k, monkeypatch):
    path, index = saved
    # A relative path is the client's: the workers started elsewhere.
    monkeypatch.chdir(Path(path).parent)
    fixes, whole = degree_fixes()
    answers = nearest_on_dask(Path(path).name, fixes, k=k, max_km=1000.0)
    assert answers.npartitions == len(FRAME_PARTS)
    got = answers.compute(scheduler=client)
    locations, chords = answer_columns(k)
    assert list(got.columns) == ["vehicle", "latitude", "longitude", *locations, *chords]
    pd.testing.assert_frame_equal(got[whole.columns], whole)
    want_indices, want_chords = index.query(whole[["latitude", "longitude"]].to_numpy(), k=k, max_km=1000.0)
    assert np.array_equal(got[locations].to_numpy().reshape(want_indices.shape), want_indices)
    assert same_bits(got[chords].to_numpy().reshape(want_chords.shape), want_chords)


def test_each_worker_opens_the_file_once_and_the_graph_holds_no_index(client, saved):
    path, index = saved
    data = Path(path).read_bytes()
    indices, chords = nearest_on_dask(path, pair_fixes()[0], k=2)
    graph = cloudpickle.dumps(dict(dask.base.collections_to_dsk([indices, chords])))
    assert len(graph) < 20000 < len(data)
    assert index.pairs.tobytes()[:64] not in graph and data[len(data) // 2:][:64] not in graph
    # Every partition on one worker, then on the other.
    workers = sorted(client.scheduler_info()["workers"])
    assert len(workers) == 2
    want_indices, want_chords = index.query(pair_fixes()[1], k=2)
    for worker in workers:
        indices, chords = nearest_on_dask(path, pair_fixes()[0], k=2)
        got_indices, got_chords = client.gather(client.compute([indices, chords], workers=[worker]))
        assert np.array_equal(got_indices, want_indices) and same_bits(got_chords, want_chords)
    assert client.run(spherebench_dask.opened_paths) == {worker: [path] for worker in workers}
    assert path not in spherebench_dask.opened_paths()


def test_a_file_replaced_is_opened_again(tmp_path):
    path = str(tmp_path / "few.sbi")
    table = spherebench.random_table("uniform", 50, seed=12)
    spherebench.Index(table).save(path)
    first = spherebench_dask.opened_index(path)
    assert spherebench_dask.opened_index(path) is first and len(first) == 50
    spherebench.Index(table[:20]).save(path)
    assert len(spherebench_dask.opened_index(path)) == 20
    assert spherebench_dask.opened_paths().count(path) == 2


def test_refuses_an_index_for_its_path_and_columns_it_would_overwrite(saved):
    path, index = saved
    fixes, whole = degree_fixes()
    with pytest.raises(TypeError):  # the index itself is never shipped
        nearest_on_dask(index, fixes)
    with pytest.raises(ValueError, match=r"answers' columns \['location'\]"):
        nearest_on_dask(path, fixes.rename(columns={"vehicle": "location"}))
    with pytest.raises(ValueError, match=r"shape \(n, 2\)"):
        nearest_on_dask(path, da.zeros((4, 3)))


def test_readmes_recipe_runs_as_written(tmp_path):
    section = README.read_text(encoding="utf-8").split("\n### Past one machine: Dask\n", 1)[1]
    (tmp_path / "recipe.py").write_text(re.search(r"```python\n(.*?)```", section, re.S).group(1))
    run = subprocess.run([sys.executable, "recipe.py"], cwd=tmp_path, capture_output=True, text=True)
    assert run.returncode == 0, run.stderr
    said = re.fullmatch(r"(\d+) of 200000 fixes within 20 km of (\d+) towns\n", run.stdout)
    assert said and int(said[1]) > 0 and int(said[2]) > 0, run.stdout
