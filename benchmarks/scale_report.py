#!/usr/bin/env python3
"""docs/SCALE.md and the data of docs/scale.png from one run of the suite's
scale benchmarks (--benchmark_filter=^BM_Scale, JSON output).

    scale_report.py RESULTS.json L1 L2 L3 DOC.md PLOT.gp DATA.dat

L1, L2, L3: the cache sizes in bytes (one core's L1 data and L2, the L3).
Writes the document, a gnuplot fragment that plots DATA.dat (loaded by
tools/plot_scale.gp) and the data. With repetitions, each figure is the
fastest of them (the least disturbed on a shared machine); bandwidths the
highest.
"""
import re
import sys

sys.dont_write_bytecode = True  # no __pycache__ beside the scripts
import suite_results  # noqa: E402

ORDER = ["CdcVector", "CdcPass", "FloatVector", "S2PointVector", "LatLongVector", "LatLongPass", "S2CellIdPass"]
BYTES = {"CdcPass": 8, "CdcVector": 8, "LatLongPass": 8, "LatLongVector": 8, "S2CellIdPass": 8,
         "S2PointVector": 24, "FloatVector": 12}
WHAT = {
    "CdcPass": "direction cosines, the program's scalar pass (`find_nearest<CdcMethod>`)",
    "CdcVector": "direction cosines, the exact Highway search",
    "LatLongPass": "fixed-point lat/long, the program's scalar pass",
    "LatLongVector": "fixed-point lat/long, the SLEEF vector search (not exact by design)",
    "S2CellIdPass": "S2CellId, scalar (`ToPoint` per test)",
    "S2PointVector": "S2Point as three arrays of doubles, the exact Highway search",
    "FloatVector": "three floats as three arrays, the exact Highway search",
}
BATCH = 1000
TIE = 1.1  # two times closer than this are taken as equal
ONE = re.compile(r"^BM_Scale(One|Batch)/(\w+)/locations:(\d+)/threads:(\d+)")
READ = re.compile(r"^BM_ScaleRead/bytes:(\d+)/threads:(\d+)")


def load(path):
    """Per benchmark, the least of its repetitions: CPU time per test per
    thread (the process's CPU time over its threads: what each core spent,
    whoever else ran on it), wall-clock time per test, and the read
    bandwidths likewise (the highest); the ratios of wall-clock to CPU
    time per thread, which are 1 on an idle machine; and how far apart the
    repetitions of each search were (slowest over fastest, less 1)."""
    results = suite_results.load(path)
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
    return results, cpu, wall, bw_cpu, bw_wall, sorted(stretch), spread


def size_name(n):
    k = n.bit_length() - 1
    return f"2^{k}" if n == 1 << k else str(n)


def mib(b):
    return f"{b / 2**20:.3g} MiB" if b >= 2**20 else f"{b / 2**10:.3g} KiB"


class Run:
    def __init__(self, path, l1, l2, l3):
        self.results, self.t, self.wall, self.bw, self.bw_wall, self.stretch, self.spread = load(path)
        self.caches = (l1, l2, l3)
        self.sizes = sorted({k[2] for k in self.t})
        self.largest = self.sizes[-1]

    def line(self, mode, search, threads):
        return {n: self.t[(mode, search, n, threads)] for n in self.sizes if (mode, search, n, threads) in self.t}

    def compute_floor(self, mode, search, threads):
        """The least time per test where the table sits in one core's L2."""
        line = self.line(mode, search, threads)
        inside = [t for n, t in line.items() if n * BYTES[search] <= self.caches[1]]
        return min(inside) if inside else None

    def memory_floor(self, mode, search, n, threads):
        """Bytes each test needs from where the table lies, over the bandwidth
        measured at the table's size: every location once per query, or once
        per batch and thread when blocked."""
        bw = self.bw.get((n * BYTES[search], threads))
        if bw is None:
            return None
        per_test = BYTES[search] if mode == "One" else BYTES[search] * threads / BATCH
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


def fmt(t):
    if t is None:
        return "–"
    return f"{t:.2g}" if t < 0.01 else f"{t:.3f}" if t < 1 else f"{t:.2f}" if t < 10 else f"{t:.1f}"


def time_table(run, mode, threads):
    sizes = [n for n in run.sizes if any((mode, s, n, threads) in run.t for s in ORDER)]
    out = ["| search | bytes | " + " | ".join(size_name(n) for n in sizes) + " |",
           "|---|---:|" + "---:|" * len(sizes)]
    for s in ORDER:
        line = run.line(mode, s, threads)
        if line:
            out.append(f"| {s} | {BYTES[s]} | " + " | ".join(fmt(line.get(n)) for n in sizes) + " |")
    return "\n".join(out)


def bandwidth_table(run):
    byte_sizes = sorted({b for b, _ in run.bw})
    out = ["| bytes read | 1 thread (GB/s) | 2 threads (GB/s) | 2 / 1 |", "|---:|---:|---:|---:|"]
    for b in byte_sizes:
        one, two = run.bw.get((b, 1)), run.bw.get((b, 2))
        ratio = f"{two / one:.2f}" if one and two else "–"
        out.append(f"| {mib(b)} | {fmt(one and one / 1e9)} | {fmt(two and two / 1e9)} | {ratio} |")
    return "\n".join(out)


def floor_table(run):
    n = run.largest
    out = [f"| search | mode | threads | ns per test at {size_name(n)} | wall-clock | compute floor (in L2) "
           "| memory floor | time / larger floor | 1 thread / 2 threads |", "|---|---|---:|---:|---:|---:|---:|---:|---:|"]
    for s in ORDER:
        for mode in ("One", "Batch"):
            for threads in (1, 2):
                t = run.t.get((mode, s, n, threads))
                if t is None:
                    continue
                f = run.floor(mode, s, n, threads)
                other = run.t.get((mode, s, n, 1))
                speedup = f"{other / t:.2f}" if threads == 2 and other else ""
                out.append(f"| {s} | {'one query' if mode == 'One' else 'batch'} | {threads} | {fmt(t)} "
                           f"| {fmt(run.wall.get((mode, s, n, threads)))} "
                           f"| {fmt(run.compute_floor(mode, s, threads))} | {fmt(run.memory_floor(mode, s, n, threads))} "
                           f"| {f'{t / f:.2f}' if f else '–'} | {speedup} |")
    return "\n".join(out)


def crossover_sentence(run, mode, threads, other):
    start, common = run.crossover("CdcVector", other, mode, threads)
    a, b = run.line(mode, "CdcVector", threads), run.line(mode, other, threads)
    n = run.largest
    if not common:
        return f"{other}: not measured."
    if start is None:
        mf = run.memory_floor(mode, other, n, threads)
        own = f"its own arithmetic ({fmt(run.compute_floor(mode, 'CdcVector', threads))} ns per test in cache)"
        why = (f"{own} costs more than reading {BYTES[other]} bytes ({fmt(mf)} ns at the measured bandwidth)"
               if mode == "One" else f"{own} costs more than {other}'s "
               f"({fmt(run.compute_floor(mode, other, threads))} ns), and a blocked batch leaves every form "
               f"with its arithmetic alone (memory floor {fmt(mf)} ns)")
        return (f"the 8-byte form does not overtake {other} ({BYTES[other]} bytes) at any size up to "
                f"{size_name(n)}: at {size_name(n)} it takes {fmt(a[n])} ns per test against {fmt(b[n])} ns, "
                f"because {why}")
    if start == common[0]:
        return (f"the 8-byte form is faster than {other} ({BYTES[other]} bytes) at every size measured, "
                f"{fmt(a[n])} against {fmt(b[n])} ns at {size_name(n)}")
    where = (f"({mib(start * 8)} of pairs against {mib(start * BYTES[other])}; L2 {mib(run.caches[1])}, "
             f"L3 {mib(run.caches[2])}): {fmt(a[start])} against {fmt(b[start])} ns")
    # Where the pair is faster by less than the noise, name the size from
    # which it is clearly faster too.
    clear = next((m for m in common if m >= start and all(b[k] >= TIE * a[k] for k in common if k >= m)), None)
    if clear != start:
        later = (f"clearly faster from {size_name(clear)} on ({fmt(a[clear])} against {fmt(b[clear])} ns)"
                 if clear else "never by more than the noise")
        return (f"the 8-byte form overtakes {other} ({BYTES[other]} bytes) from {size_name(start)} locations on "
                f"{where}, which is within {100 * (TIE - 1):.0f} %, a tie within the noise; it is {later}")
    if start == n:
        return f"the 8-byte form overtakes {other} ({BYTES[other]} bytes) only at the largest size, {size_name(n)} {where}"
    return (f"the 8-byte form overtakes {other} ({BYTES[other]} bytes) from {size_name(start)} locations on "
            f"{where} there, {fmt(a[n])} against {fmt(b[n])} ns at {size_name(n)}")


def speedups(run, mode, n, times=None):
    times = run.t if times is None else times
    parts = []
    for s in ORDER:
        one, two = times.get((mode, s, n, 1)), times.get((mode, s, n, 2))
        if one and two:
            parts.append(f"{s} {one / two:.2f}")
    return ", ".join(parts) if parts else "not measured"


def document(run):
    c = run.results["context"]
    load_before, load_after = c.get("load_before", "?"), c.get("load_after", "?")
    reps = max((b.get("repetitions", 1) for b in run.results["benchmarks"]), default=1)
    l1, l2, l3 = run.caches
    n = run.largest
    median, worst = run.stretch[len(run.stretch) // 2], run.stretch[-1]
    spread = ("One repetition: no spread to show." if reps < 2 else
              f"The repetitions of a search differed by a median of {100 * run.spread[len(run.spread) // 2]:.1f} % "
              f"and at most {100 * run.spread[-1]:.0f} % (CPU time).")
    one1 = [crossover_sentence(run, "One", 1, other) for other in ("S2PointVector", "FloatVector")]
    one2 = [crossover_sentence(run, "One", 2, other) for other in ("S2PointVector", "FloatVector")]
    batch1 = [crossover_sentence(run, "Batch", 1, other) for other in ("S2PointVector", "FloatVector")]
    bw1, bw2 = run.bw.get((n * 24, 1)), run.bw.get((n * 24, 2))
    blocking = []
    for s in ("CdcVector", "S2PointVector", "FloatVector"):
        one, batch = run.t.get(("One", s, n, 1)), run.t.get(("Batch", s, n, 1))
        if one and batch:
            blocking.append(f"{s} {fmt(one)} → {fmt(batch)} ns ({one / batch:.1f}×)")
    return f"""# The stored forms beyond the cache

Made by `tools/make_docs.sh --scale` from one run of the benchmark suite's scale benchmarks
(`benchmarks/scale_benchmarks.cpp`, the searches in `src/scale/`); do not edit by hand.

At 14000 airports ([REPRESENTATIONS.md](REPRESENTATIONS.md)) every table sits in one core's L2
and a form's size cannot matter. Here each form is searched over tables of 2^10 to
{size_name(n)} random locations (the largest S2Point table is {mib(n * 24)}), in the layout
its fastest search reads: the 8-byte forms (the direction-cosine pair, the fixed-point
latitude/longitude, the S2CellId) as arrays of records, S2Point and the three floats as three
arrays of components. Every search is exact (the same winner and score as its scalar search,
the lowest index winning ties) except the lat/long vector search, whose sines and cosines are
SLEEF's.

- **One query** (`BM_ScaleOne`): each query scans the whole table, as a server answering
  positions one by one does. On 2 threads the table is split in two for every query and the
  halves' winners merged (the lowest index on ties); the threads are started once per run of
  queries, so no per-query hand-off is counted.
- **Batch** (`BM_ScaleBatch`): 1000 queries, blocked: the table is read in tiles of 256 KiB
  and every query searches a tile before the next is read, so the table comes from memory once
  per batch (per thread) instead of once per query. On 2 threads the queries are split. The
  slow searches (the scalar ones and the lat/long vector search) are batched only up to 2^14
  locations: they are far from any memory limit, so blocking cannot change them, and a batch
  at 2^24 would take minutes.
- **Read bandwidth** (`BM_ScaleRead`): a plain vector sum over as many bytes as each table,
  on 1 and 2 threads. A form's **memory floor** is its bytes per test over that bandwidth (for
  a batch, divided by the batch); its **compute floor** is its own fastest time per test with
  the table in L2. A search cannot beat the larger of the two.

Times are nanoseconds per proximity test: the process's CPU time over its threads, the
fastest of {reps} repetition(s). On an idle machine that is the wall-clock time; on this
shared one it leaves out the time the threads waited for a core, and the wall-clock figures
(in the last table) were longer by a median factor of {median:.2f} (up to {worst:.1f}). Run of
{c['date']}: {c.get('cpu', '?')}, {c['num_cpus']} CPUs; L1d {mib(l1)}, L2 {mib(l2)} per core,
L3 {mib(l3)} (from sysfs); {c.get('compiler', '?')}; Highway target {c.get('vector_target', '?')}.
Load average {load_before} at the start, {load_after} at the end: the machine was shared with
other builds and benchmarks. {spread} Before timing, the suite checked the split and blocked searches against the plain one
and the exact vector searches against their scalar ones: {c.get('scale_searches_agree', '?')}.

![time per test against table size](scale.png)

## The answer

- **One query, 1 thread:** {one1[0]}; {one1[1]}.
- **One query, 2 threads:** {one2[0]}; {one2[1]}.
- **Blocking** (batch of 1000, 1 thread) takes the memory out of the question: at {size_name(n)}
  {'; '.join(blocking)}. So {batch1[0]}; {batch1[1]}.
- **The second core**, at {size_name(n)}, speed-up of 2 threads over 1: one query {speedups(run, 'One', n)};
  batch {speedups(run, 'Batch', n)}. The read bandwidth over {mib(n * 24)} went from
  {fmt(bw1 and bw1 / 1e9)} to {fmt(bw2 and bw2 / 1e9)} GB/s. In cache (14000 locations): one query
  {speedups(run, 'One', 14000)}. These are ratios of CPU time per thread: how the work of each core
  shrinks when the work is split, which is the wall-clock speed-up where the two threads run at
  once on otherwise idle cores. Here the machine carried more runnable work than its two cores,
  and the wall-clock ratios at {size_name(n)} were: one query {speedups(run, 'One', n, run.wall)}.

## One query at a time, ns per test

1 thread:

{time_table(run, 'One', 1)}

2 threads:

{time_table(run, 'One', 2)}

## Batch of 1000, blocked, ns per test

1 thread:

{time_table(run, 'Batch', 1)}

2 threads:

{time_table(run, 'Batch', 2)}

## Read bandwidth

Bytes summed per second of CPU time per thread, the highest of the repetitions.

{bandwidth_table(run)}

## Floors at {size_name(n)}

{floor_table(run)}

## The searches

| search | what |
|---|---|
""" + "\n".join(f"| {s} | {WHAT[s]} |" for s in ORDER) + "\n"


def main():
    path, l1, l2, l3, doc, gp, data = sys.argv[1:8]
    run = Run(path, int(l1), int(l2), int(l3))
    with open(doc, "w") as f:
        f.write(document(run))
    import scale_plot  # noqa: E402 (it uses this module's tables)
    scale_plot.plot_data(run, data, gp)


if __name__ == "__main__":
    main()
