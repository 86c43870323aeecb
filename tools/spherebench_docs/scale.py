"""One run of the suite's scale benchmarks (BM_ScaleOne, BM_ScaleBatch,
BM_ScaleRead), read for docs/SCALE.md and docs/scale.png: per benchmark the
least CPU time per test per thread of its repetitions, the wall-clock time,
the read bandwidths, and the floors a search cannot beat. The searches, their
order and bytes come from the run's catalogue, the batch and the tile from
its context ("scale")."""
import re

from . import catalogue
from . import results as results_

TIE = 1.1  # two times closer than this are taken as equal
ONE = re.compile(r"^BM_Scale(One|Batch)/(\w+)/locations:(\d+)/threads:(\d+)")
READ = re.compile(r"^BM_ScaleRead/bytes:(\d+)/threads:(\d+)")


def read_times(results):
    """Per benchmark, the least of its repetitions: CPU time per test per
    thread (the process's CPU time over its threads: what each core spent,
    whoever else ran on it), wall-clock time per test, and the read
    bandwidths likewise (the highest); the ratios of wall-clock to CPU time
    per thread, which are 1 on an idle machine; and how far apart the
    repetitions of each search were (slowest over fastest, less 1)."""
    cpu, wall, bw_cpu, bw_wall, stretch, reps = {}, {}, {}, {}, [], {}
    for b in results["benchmarks"]:
        if b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
            continue
        name = b.get("run_name", b["name"])
        threads = int(re.search(r"/threads:(\d+)", name)[1]) if "/threads:" in name else 1
        share = b["real_time"] / (b["cpu_time"] / threads)  # wall-clock over CPU time per thread
        stretch.append(share)
        if m := ONE.match(name):
            key = (m[1], m[2], int(m[3]), int(m[4]))
            wall[key] = min(wall.get(key, float("inf")), b["per_test"] * 1e9)
            cpu[key] = min(cpu.get(key, float("inf")), b["per_test"] * 1e9 / share)
            reps.setdefault(key, []).append(b["per_test"] / share)
        elif m := READ.match(name):
            key = (int(m[1]), int(m[2]))
            bw_wall[key] = max(bw_wall.get(key, 0.0), b["bytes_per_second"])
            bw_cpu[key] = max(bw_cpu.get(key, 0.0), b["bytes_per_second"] * share)
    spread = sorted(max(v) / min(v) - 1 for v in reps.values() if len(v) > 1) or [0.0]
    return cpu, wall, bw_cpu, bw_wall, sorted(stretch), spread


class Run:
    """results: a suite run (results.load); caches: (L1d, L2, L3) in bytes,
    by default the ones the run recorded."""

    def __init__(self, results, caches=None):
        self.results, self.catalogue = results, catalogue.of(results)
        facts = results_.context_facts(results, "scale")
        self.batch, self.tile_bytes = facts["batch"], facts["tile_bytes"]
        self.t, self.wall, self.bw, self.bw_wall, self.stretch, self.spread = read_times(results)
        self.caches = caches or tuple(results_.cache_bytes(results, level, kind)
                                      for level, kind in ((1, "Data"), (2, "Unified"), (3, "Unified")))
        self.searches = self.catalogue.ordered({k[1] for k in self.t})
        self.bytes = {s: self.catalogue[s].bytes for s in self.searches}
        self.sizes = sorted({k[2] for k in self.t})
        self.largest = self.sizes[-1]

    def fastest_of_each_form(self, mode, threads):
        """{form: its fastest search at the largest size}, in the catalogue's
        order of forms."""
        best = {}
        for s in self.searches:
            t, form = self.t.get((mode, s, self.largest, threads)), self.catalogue[s].form
            if t is not None and (form not in best or t < self.t[(mode, best[form], self.largest, threads)]):
                best[form] = s
        return {f: best[f] for f in self.catalogue.forms if f in best}

    def smallest_and_larger(self, mode, threads):
        """The fastest search of the fastest form of the fewest bytes, and the
        fastest search of each larger form: what the study sets side by side."""
        best = self.fastest_of_each_form(mode, threads)
        least = min(self.bytes[s] for s in best.values())
        small = min((s for s in best.values() if self.bytes[s] == least),
                    key=lambda s: self.t[(mode, s, self.largest, threads)])
        return small, [s for s in best.values() if self.bytes[s] > least]

    def line(self, mode, search, threads):
        return {n: self.t[(mode, search, n, threads)] for n in self.sizes if (mode, search, n, threads) in self.t}

    def compute_floor(self, mode, search, threads):
        """The least time per test where the table sits in one core's L2."""
        line = self.line(mode, search, threads)
        inside = [t for n, t in line.items() if n * self.bytes[search] <= self.caches[1]]
        return min(inside) if inside else None

    def memory_floor(self, mode, search, n, threads):
        """Bytes each test needs from where the table lies, over the bandwidth
        measured at the table's size: every location once per query, or once
        per batch and thread when blocked."""
        bw = self.bw.get((n * self.bytes[search], threads))
        if bw is None:
            return None
        per_test = self.bytes[search] if mode == "One" else self.bytes[search] * threads / self.batch
        return per_test / bw * 1e9

    def floor(self, mode, search, n, threads):
        c, m = self.compute_floor(mode, search, threads), self.memory_floor(mode, search, n, threads)
        return max(x for x in (c, m) if x is not None) if (c, m) != (None, None) else None

    def crossover(self, a, b, mode, threads):
        """The smallest size from which search a is faster than b at every
        measured size; None if a is not faster at the largest."""
        la, lb = self.line(mode, a, threads), self.line(mode, b, threads)
        common = [n for n in self.sizes if n in la and n in lb]
        start = None
        for n in reversed(common):
            if la[n] < lb[n]:
                start = n
            else:
                break
        return start, common
