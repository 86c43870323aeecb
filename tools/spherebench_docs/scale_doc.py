"""docs/SCALE.md from one run of the suite's scale benchmarks (scale.Run)."""
from .markdown import short, table
from .scale import ORDER, TIE


def size_name(n):
    k = n.bit_length() - 1
    return f"2^{k}" if n == 1 << k else str(n)


def mib(b):
    return f"{b / 2**20:.3g} MiB" if b >= 2**20 else f"{b / 2**10:.3g} KiB"


def time_table(run, mode, threads):
    sizes = [n for n in run.sizes if any((mode, s, n, threads) in run.t for s in ORDER)]
    out = ["| search | bytes | " + " | ".join(size_name(n) for n in sizes) + " |",
           "|---|---:|" + "---:|" * len(sizes)]
    for s in ORDER:
        line = run.line(mode, s, threads)
        if line:
            out.append(f"| {s} | {run.bytes[s]} | " + " | ".join(short(line.get(n)) for n in sizes) + " |")
    return "\n".join(out)


def bandwidth_table(run):
    byte_sizes = sorted({b for b, _ in run.bw})
    out = ["| bytes read | 1 thread (GB/s) | 2 threads (GB/s) | 2 / 1 |", "|---:|---:|---:|---:|"]
    for b in byte_sizes:
        one, two = run.bw.get((b, 1)), run.bw.get((b, 2))
        ratio = f"{two / one:.2f}" if one and two else "–"
        out.append(f"| {mib(b)} | {short(one and one / 1e9)} | {short(two and two / 1e9)} | {ratio} |")
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
                out.append(f"| {s} | {'one query' if mode == 'One' else 'batch'} | {threads} | {short(t)} "
                           f"| {short(run.wall.get((mode, s, n, threads)))} "
                           f"| {short(run.compute_floor(mode, s, threads))} | {short(run.memory_floor(mode, s, n, threads))} "
                           f"| {f'{t / f:.2f}' if f else '–'} | {speedup} |")
    return "\n".join(out)


def crossover_sentence(run, mode, threads, other):
    start, common = run.crossover("CdcBruteVector", other, mode, threads)
    a, b = run.line(mode, "CdcBruteVector", threads), run.line(mode, other, threads)
    n = run.largest
    if not common:
        return f"{other}: not measured."
    if start is None:
        mf = run.memory_floor(mode, other, n, threads)
        own = f"its own arithmetic ({short(run.compute_floor(mode, 'CdcBruteVector', threads))} ns per test in cache)"
        why = (f"{own} costs more than reading {run.bytes[other]} bytes ({short(mf)} ns at the measured bandwidth)"
               if mode == "One" else f"{own} costs more than {other}'s "
               f"({short(run.compute_floor(mode, other, threads))} ns), and a blocked batch leaves every form "
               f"with its arithmetic alone (memory floor {short(mf)} ns)")
        return (f"the 8-byte form does not overtake {other} ({run.bytes[other]} bytes) at any size up to "
                f"{size_name(n)}: at {size_name(n)} it takes {short(a[n])} ns per test against {short(b[n])} ns, "
                f"because {why}")
    if start == common[0]:
        return (f"the 8-byte form is faster than {other} ({run.bytes[other]} bytes) at every size measured, "
                f"{short(a[n])} against {short(b[n])} ns at {size_name(n)}")
    where = (f"({mib(start * 8)} of pairs against {mib(start * run.bytes[other])}; L2 {mib(run.caches[1])}, "
             f"L3 {mib(run.caches[2])}): {short(a[start])} against {short(b[start])} ns")
    # Where the pair is faster by less than the noise, name the size from
    # which it is clearly faster too.
    clear = next((m for m in common if m >= start and all(b[k] >= TIE * a[k] for k in common if k >= m)), None)
    if clear != start:
        later = (f"clearly faster from {size_name(clear)} on ({short(a[clear])} against {short(b[clear])} ns)"
                 if clear else "never by more than the noise")
        return (f"the 8-byte form overtakes {other} ({run.bytes[other]} bytes) from {size_name(start)} locations on "
                f"{where}, which is within {100 * (TIE - 1):.0f} %, a tie within the noise; it is {later}")
    if start == n:
        return f"the 8-byte form overtakes {other} ({run.bytes[other]} bytes) only at the largest size, {size_name(n)} {where}"
    return (f"the 8-byte form overtakes {other} ({run.bytes[other]} bytes) from {size_name(start)} locations on "
            f"{where} there, {short(a[n])} against {short(b[n])} ns at {size_name(n)}")


def speedups(run, mode, n, times=None):
    times = run.t if times is None else times
    parts = []
    for s in ORDER:
        one, two = times.get((mode, s, n, 1)), times.get((mode, s, n, 2))
        if one and two:
            parts.append(f"{s} {one / two:.2f}")
    return ", ".join(parts) if parts else "not measured"


def searches_table(run, searches):
    """What each search of the tables is, from the catalogue of searches."""
    return table(["search", "form", "bytes", "vector", "entry point"],
                 [[s, searches[s].form, run.bytes[s], "Highway" if searches[s].vector else "scalar",
                   f"`{searches[s].entry}`"] for s in ORDER], "llrll")


def renamed_note(run):
    """What a run made before the scale study's searches were renamed timed
    under the name that is now CdcBruteVector's."""
    if not any(old.endswith("/CdcVector/") for old in run.results.get("renamed_from", [])):
        return ""
    return ("\n\nThis run was made under the benchmarks' former names (PERFORMANCE.md lists them): its\n"
            "CdcBruteVector figures are of the vector search over the table as stored\n"
            "(`cdc_vector_find_nearest`), which `BM_ScaleOne/CdcVector` timed, not of the block search.")


def introduction(run):
    """What was measured, how, and on which machine."""
    c = run.results["context"]
    load_before, load_after = c.get("load_before", "?"), c.get("load_after", "?")
    reps = max((b.get("repetitions", 1) for b in run.results["benchmarks"]), default=1)
    l1, l2, l3 = run.caches
    n = run.largest
    median, worst = run.stretch[len(run.stretch) // 2], run.stretch[-1]
    spread = ("One repetition: no spread to show." if reps < 2 else
              f"The repetitions of a search differed by a median of {100 * run.spread[len(run.spread) // 2]:.1f} % "
              f"and at most {100 * run.spread[-1]:.0f} % (CPU time).")
    return f"""# The stored forms beyond the cache

Made by `tools/make_docs.sh` from one run of the benchmark suite's scale benchmarks saved in
`docs/scale.json` (`benchmarks/scale_benchmarks.cpp`, the searches in `src/scale/`; `tools/make_docs.sh
--scale` makes a new run); do not edit by hand. The searches are named as in
`src/catalogue/search_catalogue.h`.

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
L3 {mib(l3)} (as the run recorded them); {c.get('compiler', '?')}; Highway target {c.get('vector_target', '?')}.
Load average {load_before} at the start, {load_after} at the end: the machine was shared with
other builds and benchmarks. {spread} Before timing, the suite checked the split and blocked searches against the plain one
and the exact vector searches against their scalar ones: {c.get('scale_searches_agree', '?')}.{renamed_note(run)}

![time per test against table size](scale.png)

"""


def answer(run):
    """The crossovers, what blocking does, and what the second core gives."""
    n = run.largest
    one1 = [crossover_sentence(run, "One", 1, other) for other in ("S2PointBruteVector", "FloatBruteVector")]
    one2 = [crossover_sentence(run, "One", 2, other) for other in ("S2PointBruteVector", "FloatBruteVector")]
    batch1 = [crossover_sentence(run, "Batch", 1, other) for other in ("S2PointBruteVector", "FloatBruteVector")]
    bw1, bw2 = run.bw.get((n * 24, 1)), run.bw.get((n * 24, 2))
    blocking = []
    for s in ("CdcBruteVector", "S2PointBruteVector", "FloatBruteVector"):
        one, batch = run.t.get(("One", s, n, 1)), run.t.get(("Batch", s, n, 1))
        if one and batch:
            blocking.append(f"{s} {short(one)} → {short(batch)} ns ({one / batch:.1f}×)")
    return f"""## The answer

- **One query, 1 thread:** {one1[0]}; {one1[1]}.
- **One query, 2 threads:** {one2[0]}; {one2[1]}.
- **Blocking** (batch of 1000, 1 thread) takes the memory out of the question: at {size_name(n)}
  {'; '.join(blocking)}. So {batch1[0]}; {batch1[1]}.
- **The second core**, at {size_name(n)}, speed-up of 2 threads over 1: one query {speedups(run, 'One', n)};
  batch {speedups(run, 'Batch', n)}. The read bandwidth over {mib(n * 24)} went from
  {short(bw1 and bw1 / 1e9)} to {short(bw2 and bw2 / 1e9)} GB/s. In cache (14000 locations): one query
  {speedups(run, 'One', 14000)}. These are ratios of CPU time per thread: how the work of each core
  shrinks when the work is split, which is the wall-clock speed-up where the two threads run at
  once on otherwise idle cores. Here the machine carried more runnable work than its two cores,
  and the wall-clock ratios at {size_name(n)} were: one query {speedups(run, 'One', n, run.wall)}.

"""


def tables(run, searches):
    """Every figure of the run, and what each search is (searches: the catalogue)."""
    n = run.largest
    return f"""## One query at a time, ns per test

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

{searches_table(run, searches)}
"""


def document(run, searches):
    """docs/SCALE.md; searches: the catalogue (catalogue.load())."""
    return introduction(run) + answer(run) + tables(run, searches)
