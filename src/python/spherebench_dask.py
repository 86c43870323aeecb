"""Nearest locations for fixes too many for one machine, on a Dask cluster.

nearest_on_dask(index_path, fixes) answers a Dask array or DataFrame of
fixes from an index saved with spherebench.Index.save, lazily: the task
graph carries the file's path, never the index, and each worker process
opens the file once (mapped read-only, its pages shared by the processes of
one machine) and answers every partition it is given with Index.query.
The path must name the same file on every worker (a shared disk, or a copy
at the same place on each machine); the workers import this module and
spherebench, as the client does.

    import dask
    indices, chords = nearest_on_dask("towns.sbi", fixes)   # Dask arrays
    indices, chords = dask.compute(indices, chords)          # asked once for both
"""
import os
import threading
from typing import Any, Optional, Sequence, Union

import dask.array as da
import dask.dataframe as dd
import numpy as np
import pandas as pd

import spherebench

__all__ = ["answer_columns", "nearest_on_dask", "opened_index", "opened_paths"]

# This process's opened indexes: path -> (the file's identity, the Index).
_opened: dict[str, tuple[tuple[int, ...], spherebench.Index]] = {}
_opens: list[str] = []
_lock = threading.Lock()

_ANSWER = np.dtype([("location", np.int64), ("chord", np.float64)])


def opened_index(path: str) -> spherebench.Index:
    """The Index saved at path, opened the first time this process asks
    and kept; opened again where the file has been replaced or rewritten
    since (another inode, size or modification time), so that no answer
    comes from a file that is no longer there."""
    status = os.stat(path)
    identity = (status.st_dev, status.st_ino, status.st_size, status.st_mtime_ns)
    with _lock:
        held = _opened.get(path)
        if held is None or held[0] != identity:
            held = (identity, spherebench.Index.open(path))
            _opened[path] = held
            _opens.append(path)
        return held[1]


def opened_paths() -> list[str]:
    """The index files this process has opened, one entry each time it
    opened one: on a cluster, client.run(spherebench_dask.opened_paths)
    says which files each worker opened and how often."""
    with _lock:
        return list(_opens)


def _answer_block(block: np.ndarray, path: str, k: int, max_km: Optional[float]) -> np.ndarray:
    """One block's answers as records (location, chord), (n,) or (n, k)."""
    indices, chords = opened_index(path).query(block, k=k, max_km=max_km)
    answers = np.empty(indices.shape, dtype=_ANSWER)
    answers["location"], answers["chord"] = indices, chords
    return answers


def answer_columns(k: int) -> tuple[list[str], list[str]]:
    """The columns nearest_on_dask adds to a DataFrame: location and chord
    for k=1, else location1..locationk and chord1..chordk, nearest first."""
    if k == 1:
        return ["location"], ["chord"]
    return [f"location{r}" for r in range(1, k + 1)], [f"chord{r}" for r in range(1, k + 1)]


def _answer_frame(part: pd.DataFrame, path: str, columns: list[str], k: int,
                  max_km: Optional[float]) -> pd.DataFrame:
    """One partition with its answers' columns added."""
    indices, chords = opened_index(path).query(part[columns].to_numpy(), k=k, max_km=max_km)
    locations, chord_names = answer_columns(k)
    added = dict(zip(locations, indices.reshape(len(part), k).T))
    added.update(zip(chord_names, chords.reshape(len(part), k).T))
    return part.assign(**added)


def nearest_on_dask(index_path: Union[str, "os.PathLike[str]"], fixes: Union[da.Array, dd.DataFrame], k: int = 1,
                    max_km: Optional[float] = None,
                    columns: Sequence[str] = ("latitude", "longitude")) -> Any:
    """The k nearest locations of the index saved at index_path to each fix,
    as Index.query gives them, lazily.

    fixes is a Dask array of shape (n, 2) or a Dask DataFrame; its fixes are
    what an Index takes: floats are (latitude, longitude) in degrees,
    uint32 or int32 the stored pairs. An array gives the pair (indices,
    chords) of Dask arrays, (n,) for k=1 or (n, k), chunked as the fixes'
    rows (dask.compute(indices, chords) asks each block once). A DataFrame
    gives itself with columns added (answer_columns(k)), by its two
    `columns`, partition for partition with its index.

    max_km as for Index.query: answers farther off are the index's length
    and inf. A relative index_path is taken from this process's working
    folder. The file is opened, and its faults raised, by the workers, as
    the answers are computed.
    """
    path = os.path.abspath(os.fspath(index_path))
    if isinstance(k, bool) or not isinstance(k, (int, np.integer)) or k < 1:
        raise ValueError(f"k must be a whole number of at least 1, not {k!r}")
    k = int(k)
    if isinstance(fixes, dd.DataFrame):
        return _frame_answers(path, fixes, k, max_km, list(columns))
    if isinstance(fixes, da.Array):
        if fixes.ndim != 2 or fixes.shape[1] != 2:
            raise ValueError(f"fixes must be of shape (n, 2), not {fixes.shape}")
        # Each block needs whole rows.
        rows = fixes.rechunk({1: 2})
        shape_of_k: dict[str, Any] = {"drop_axis": 1} if k == 1 else {"chunks": (rows.chunks[0], (k,))}
        answers = rows.map_blocks(_answer_block, path, k, max_km, dtype=_ANSWER,
                                  meta=np.empty((0,) * (1 if k == 1 else 2), dtype=_ANSWER), **shape_of_k)
        return answers["location"], answers["chord"]
    raise TypeError(f"fixes must be a Dask array or DataFrame, not {type(fixes).__name__}")


def _frame_answers(path: str, fixes: dd.DataFrame, k: int, max_km: Optional[float],
                   columns: list[str]) -> dd.DataFrame:
    if len(columns) != 2 or any(c not in fixes.columns for c in columns):
        raise ValueError(f"columns must name two of the fixes' columns, not {columns}")
    locations, chord_names = answer_columns(k)
    taken = [c for c in locations + chord_names if c in fixes.columns]
    if taken:
        raise ValueError(f"the fixes already have the answers' columns {taken}")
    meta = fixes._meta.assign(**{c: np.empty(0, np.int64) for c in locations},
                              **{c: np.empty(0, np.float64) for c in chord_names})
    return fixes.map_partitions(_answer_frame, path, columns, k, max_km, meta=meta)
