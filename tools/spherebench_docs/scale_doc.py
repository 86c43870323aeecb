"""docs/SCALE.md from one run of the suite's scale benchmarks (scale.Run):
every search the run timed, in the catalogue's order; the fastest search of
the smallest form set beside the fastest of each larger form."""
from . import index_scale_doc
from .markdown import short, table
from .results import context_facts, load_caveat, load_text, median
from .scale import TIE


def size_name(n):
    k = n.bit_length() - 1
    return f"2^{k}" if n == 1 << k else str(n)


def mib(b):
    return f"{b / 2**20:.3g} MiB" if b >= 2**20 else f"{b / 2**10:.3g} KiB"


def time_table(run, mode, threads):
    sizes = [n for n in run.sizes if any((mode, s, n, threads) in run.t for s in run.searches)]
    out = ["| search | bytes | " + " | ".join(size_name(n) for n in sizes) + " |",
           "|---|---:|" + "---:|" * len(sizes)]
    for s in run.searches:
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
    for s in run.searches:
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


def crossover_sentence(run, mode, threads, small, other):
    """Whether and from which size the smaller form's search (small) is
    faster than the larger one's (other), and why not where it is not."""
    start, common = run.crossover(small, other, mode, threads)
    a, b = run.line(mode, small, threads), run.line(mode, other, threads)
    n, form = run.largest, f"{small} ({run.bytes[small]} bytes)"
    if not common:
        return f"{other}: not measured"
    if start is None:
        mf = run.memory_floor(mode, other, n, threads)
        own = f"its own arithmetic ({short(run.compute_floor(mode, small, threads))} ns per test in cache)"
        why = (f"{own} costs more than reading {run.bytes[other]} bytes ({short(mf)} ns at the measured bandwidth)"
               if mode == "One" else f"{own} costs more than {other}'s "
               f"({short(run.compute_floor(mode, other, threads))} ns), and a blocked batch leaves every form "
               f"with its arithmetic alone (memory floor {short(mf)} ns)")
        return (f"{form} does not overtake {other} ({run.bytes[other]} bytes) at any size up to "
                f"{size_name(n)}: at {size_name(n)} it takes {short(a[n])} ns per test against {short(b[n])} ns, "
                f"because {why}")
    if start == common[0]:
        return (f"{form} is faster than {other} ({run.bytes[other]} bytes) at every size measured, "
                f"{short(a[n])} against {short(b[n])} ns at {size_name(n)}")
    where = (f"({mib(start * run.bytes[small])} against {mib(start * run.bytes[other])}; L2 {mib(run.caches[1])}, "
             f"L3 {mib(run.caches[2])}): {short(a[start])} against {short(b[start])} ns")
    # Where the smaller form is faster by less than the noise, name the size
    # from which it is clearly faster too.
    clear = next((m for m in common if m >= start and all(b[k] >= TIE * a[k] for k in common if k >= m)), None)
    if clear != start:
        later = (f"clearly faster from {size_name(clear)} on ({short(a[clear])} against {short(b[clear])} ns)"
                 if clear else "never by more than the noise")
        return (f"{form} overtakes {other} ({run.bytes[other]} bytes) from {size_name(start)} locations on "
                f"{where}, which is within {100 * (TIE - 1):.0f} %, a tie within the noise; it is {later}")
    if start == n:
        return f"{form} overtakes {other} ({run.bytes[other]} bytes) only at the largest size, {size_name(n)} {where}"
    return (f"{form} overtakes {other} ({run.bytes[other]} bytes) from {size_name(start)} locations on "
            f"{where} there, {short(a[n])} against {short(b[n])} ns at {size_name(n)}")


def crossovers(run, mode, threads):
    small, larger = run.smallest_and_larger(mode, threads)
    return "; ".join(crossover_sentence(run, mode, threads, small, other) for other in larger)


def speedups(run, mode, n, times=None):
    times = run.t if times is None else times
    parts = []
    for s in run.searches:
        one, two = times.get((mode, s, n, 1)), times.get((mode, s, n, 2))
        if one and two:
            parts.append(f"{s} {one / two:.2f}")
    return ", ".join(parts) if parts else "not measured"


def searches_table(run):
    """What each search of the tables is, from the catalogue of searches."""
    return table(["search", "form", "bytes", "vector", "entry point"],
                 [[s, run.catalogue[s].form, run.bytes[s], "Highway" if run.catalogue[s].vector else "scalar",
                   f"`{run.catalogue[s].entry}`"] for s in run.searches], "llrll")


def batch_limits(run):
    """Which searches the run batched only up to a size below the largest."""
    stops = {}
    for s in run.searches:
        batched = [n for n in run.sizes if ("Batch", s, n, 1) in run.t]
        if batched and batched[-1] < run.largest:
            stops.setdefault(batched[-1], []).append(s)
    return "".join(f" {', '.join(names)} are batched only up to {size_name(n)} locations: they are far from any "
                   "memory limit, so blocking cannot change them, and a batch at the largest size would take minutes."
                   for n, names in sorted(stops.items()))


def in_cache(run):
    """The suite's largest table, which sits in one core's L2."""
    return max(context_facts(run.results, "suite_tables")["airport_counts"])


def largest_table(run):
    return max(run.searches, key=lambda s: run.bytes[s])


def introduction(run):
    """What was measured, how, and on which machine."""
    c = run.results["context"]
    reps = max((b.get("repetitions", 1) for b in run.results["benchmarks"]), default=1)
    load = " ".join(filter(None, [f"One-minute {load_text(c)}.", load_caveat(c)])) + " "
    l1, l2, l3 = run.caches
    n = run.largest
    biggest = largest_table(run)
    spread = ("One repetition: no spread to show." if reps < 2 else
              f"The repetitions of a search differed by a median of {100 * median(run.spread):.1f} % "
              f"and at most {100 * run.spread[-1]:.0f} % (CPU time).")
    return f"""# The stored forms beyond the cache

Made by `tools/make_docs.sh` from one run of the benchmark suite's scale benchmarks saved in
`docs/scale.json` (`benchmarks/scale_benchmarks.cpp`, the searches in `src/scale/`; `tools/make_docs.sh
--scale` makes a new run); do not edit by hand. The searches are named as in
`src/catalogue/search_catalogue.h`.

At {in_cache(run)} airports ([REPRESENTATIONS.md](REPRESENTATIONS.md)) every table sits in one core's L2
and a form's size cannot matter. Here each form is searched over tables of 2^10 to
{size_name(n)} random locations (the largest {run.catalogue[biggest].form} table is {mib(n * run.bytes[biggest])}), in the layout
its fastest search reads: the 8-byte forms (the direction-cosine pair, the fixed-point
latitude/longitude, the S2CellId) as arrays of records, S2Point and the three floats as three
arrays of components. Every search is exact (the same winner and score as its scalar search,
the lowest index winning ties) except the lat/long vector search, whose sines and cosines are
SLEEF's.

- **One query** (`BM_ScaleOne`): each query scans the whole table, as a server answering
  positions one by one does. On 2 threads the table is split in two for every query and the
  halves' winners merged (the lowest index on ties); the threads are started once per run of
  queries, so no per-query hand-off is counted.
- **Batch** (`BM_ScaleBatch`): {run.batch} queries, blocked: the table is read in tiles of
  {mib(run.tile_bytes)} and every query searches a tile before the next is read, so the table comes
  from memory once per batch (per thread) instead of once per query. On 2 threads the queries
  are split.{batch_limits(run)}
- **Read bandwidth** (`BM_ScaleRead`): a plain vector sum over as many bytes as each table,
  on 1 and 2 threads. A form's **memory floor** is its bytes per test over that bandwidth (for
  a batch, divided by the batch); its **compute floor** is its own fastest time per test with
  the table in L2. A search cannot beat the larger of the two.

Times are nanoseconds per proximity test: the process's CPU time over its threads, the
fastest of {reps} repetition(s). On an idle machine that is the wall-clock time; on this
shared one it leaves out the time the threads waited for a core, and the wall-clock figures
(in the last table) were longer by a median factor of {median(run.stretch):.2f} (up to {run.stretch[-1]:.1f}). Run of
{c['date']}: {c.get('cpu', '?')}, {c['num_cpus']} CPUs; L1d {mib(l1)}, L2 {mib(l2)} per core,
L3 {mib(l3)} (as the run recorded them); {c.get('compiler', '?')}; Highway target {c.get('vector_target', '?')}.
{load}{spread} Before timing, the suite checked the split and blocked searches against the plain one
and the exact vector searches against their scalar ones: {c.get('scale_searches_agree', '?')}.

![time per test against table size](scale.png)

"""


def answer(run):
    """The crossovers, what blocking does, and what the second core gives."""
    n, biggest = run.largest, run.bytes[largest_table(run)]
    bw1, bw2 = run.bw.get((n * biggest, 1)), run.bw.get((n * biggest, 2))
    blocking = []
    for s in run.searches:
        one, batch = run.t.get(("One", s, n, 1)), run.t.get(("Batch", s, n, 1))
        if one and batch:
            blocking.append(f"{s} {short(one)} → {short(batch)} ns ({one / batch:.1f}×)")
    return f"""## The answer

- **One query, 1 thread:** {crossovers(run, 'One', 1)}.
- **One query, 2 threads:** {crossovers(run, 'One', 2)}.
- **Blocking** (batch of {run.batch}, 1 thread) takes the memory out of the question: at {size_name(n)}
  {'; '.join(blocking)}. So {crossovers(run, 'Batch', 1)}.
- **The second core**, at {size_name(n)}, speed-up of 2 threads over 1: one query {speedups(run, 'One', n)};
  batch {speedups(run, 'Batch', n)}. The read bandwidth over {mib(n * biggest)} went from
  {short(bw1 and bw1 / 1e9)} to {short(bw2 and bw2 / 1e9)} GB/s. In cache ({in_cache(run)} locations): one query
  {speedups(run, 'One', in_cache(run))}. These are ratios of CPU time per thread: how the work of each core
  shrinks when the work is split, which is the wall-clock speed-up where the two threads run at
  once on otherwise idle cores. Here the machine carried more runnable work than its two cores,
  and the wall-clock ratios at {size_name(n)} were: one query {speedups(run, 'One', n, run.wall)}.

"""


def tables(run):
    """Every figure of the run, and what each search is."""
    n = run.largest
    return f"""## One query at a time, ns per test

1 thread:

{time_table(run, 'One', 1)}

2 threads:

{time_table(run, 'One', 2)}

## Batch of {run.batch}, blocked, ns per test

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

{searches_table(run)}
"""


def document(run, index_run=None):
    """docs/SCALE.md; with a run of index-scale, its part on the indexes."""
    return introduction(run) + answer(run) + tables(run) + (index_scale_doc.section(index_run) if index_run else "")
