"""The type stubs beside the module against the module itself: the same
names, and every function and method with the parameters the module's own
signatures give (pybind11 writes them on the docstring's first line); and
help() shows what each does."""
import ast
import pydoc
import re
from pathlib import Path

import spherebench

ALIASES = {"Indices", "Chords", "Pairs", "Reals"}  # the stubs' own shorthands


def stub_tree():
    return ast.parse((Path(spherebench.__file__).parent / "spherebench.pyi").read_text(encoding="utf-8"))


def stub_names(body):
    """name -> parameter names (None for a variable) of the definitions in body."""
    names = {}
    for node in body:
        if isinstance(node, ast.FunctionDef):
            names[node.name] = [a.arg for a in node.args.args if a.arg != "self"]
        elif isinstance(node, ast.ClassDef):
            names[node.name] = stub_names(node.body)
        elif isinstance(node, ast.AnnAssign):
            names[node.target.id] = None
        elif isinstance(node, ast.Assign):
            names.update((t.id, None) for t in node.targets)
    return names


def signature_names(function):
    """The parameter names of pybind11's signature line."""
    first = function.__doc__.splitlines()[0]
    params = re.match(r"\w+\((.*)\) ->", first).group(1)
    return [p.split(":")[0].strip() for p in params.split(", ") if p and not p.startswith("self")]


def test_the_stubs_name_what_the_module_has_with_its_parameters():
    stubs = stub_names(stub_tree().body)
    public = {n for n in dir(spherebench) if not n.startswith("_")} | {"__version__"}
    assert set(stubs) - ALIASES == public
    for name in public - {"Index"}:
        if callable(getattr(spherebench, name)):
            assert stubs[name] == signature_names(getattr(spherebench, name)), name
    for method in ("query", "within", "save", "open"):
        assert stubs["Index"][method] == signature_names(getattr(spherebench.Index, method)), method
    assert set(stubs["Index"]) == {"__init__", "search", "nbytes", "__len__", "__repr__", "query", "within", "save",
                                   "open", "pairs", "__getstate__", "__setstate__"}


def test_help_shows_what_each_does():
    text = pydoc.render_doc(spherebench, renderer=pydoc.plaintext)
    for words in ("k nearest", "within km", "chord_to_km", "6371 km sphere", "workers threads"):
        assert words in text, words
