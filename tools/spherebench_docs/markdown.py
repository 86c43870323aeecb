"""Markdown tables, numbers as the documents write them, and the generated
parts of a hand-written document."""
import re


def table(header, rows, align=None):
    """A Markdown table: header cells, rows of cells (str() of each), and per
    column "l" or "r" (default: the first column left, the others right)."""
    align = align or "l" + "r" * (len(header) - 1)
    rule = "|" + "|".join("---" if a == "l" else "---:" for a in align) + "|"
    return "\n".join([_row(header), rule] + [_row([str(c) for c in row]) for row in rows])


def _row(cells):
    return "| " + " | ".join(cells) + " |"


def mark(figure, text):
    """The text of a figure, with * where its repetitions were noisy."""
    return text + ("*" if getattr(figure, "noisy", False) else "")


def short(t):
    """A time in ns with about three significant digits; "–" where none."""
    if t is None:
        return "–"
    return f"{t:.2g}" if t < 0.01 else f"{t:.3f}" if t < 1 else f"{t:.2f}" if t < 10 else f"{t:.1f}"


def millimetres(metres):
    """Two decimals, else (finer than 0.01 mm) two significant digits, as
    printf's %.1e writes them."""
    mm = metres * 1000
    return "%.2f" % mm if mm >= 0.01 else "%.1e" % mm


GENERATED = re.compile(r"(<!-- generated: (?P<name>[\w-]+)[^\n]*-->\n)(?P<body>.*?)(<!-- end of generated: (?P=name) -->)",
                       re.S)


def splice(document, parts):
    """The document with the body between each pair of marker lines
    `<!-- generated: NAME ... -->` and `<!-- end of generated: NAME -->`
    replaced by parts[NAME]; every part must have its markers."""
    missing = set(parts) - {m["name"] for m in GENERATED.finditer(document)}
    if missing:
        raise ValueError("no markers for " + ", ".join(sorted(missing)))

    def body(m):
        text = parts.get(m["name"])
        return m.group(0) if text is None else m.group(1) + text.rstrip("\n") + "\n" + m.group(4)
    return GENERATED.sub(body, document)
