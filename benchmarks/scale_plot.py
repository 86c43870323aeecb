"""The data and gnuplot commands of docs/scale.png, from a run that
scale_report.py has read (see there); called by its main."""
from scale_report import BYTES, ORDER


def plot_data(run, data_path, gp_path):
    """Blocks of "bytes ns" per line, and the plot commands that draw them."""
    blocks, commands = [], []
    colours = {s: i + 1 for i, s in enumerate(ORDER)}
    for threads in (1, 2):
        plots = []
        for mode, dash in (("One", 1), ("Batch", 3)):
            for s in ORDER:
                line = run.line(mode, s, threads)
                if not line:
                    continue
                blocks.append("\n".join(f"{n * BYTES[s]} {t}" for n, t in sorted(line.items())))
                label = f"{s} ({BYTES[s]} B)" + ("" if mode == "One" else ", batch")
                plots.append(f"data index {len(blocks) - 1} using 1:2 with linespoints ls {colours[s]} dt {dash} "
                             f"{'pt 7 ps 0.7' if mode == 'One' else 'pt 6 ps 0.7'} title '{label}'")
        for b in (8, 12, 24):
            points = [(n * b, b / run.bw[(n * b, threads)] * 1e9) for n in run.sizes if (n * b, threads) in run.bw]
            if points:
                blocks.append("\n".join(f"{x} {y}" for x, y in points))
                like = {8: "CdcVector", 12: "FloatVector", 24: "S2PointVector"}[b]
                plots.append(f"data index {len(blocks) - 1} using 1:2 with lines ls {colours[like]} dt 2 lw 1 "
                             f"title 'memory floor, {b} B'")
        commands.append(f"set title '{threads} thread{'s' if threads > 1 else ''}'\nplot " + ", \\\n     ".join(plots))
    with open(data_path, "w") as f:
        f.write("\n\n\n".join(blocks) + "\n")
    with open(gp_path, "w") as f:
        f.write(f"data = '{data_path}'\n")
        f.write("set lmargin at screen 0.06\nset rmargin at screen 0.49\n" + commands[0] + "\n")
        f.write("unset key\nset lmargin at screen 0.56\nset rmargin at screen 0.99\n" + commands[1] + "\n")
