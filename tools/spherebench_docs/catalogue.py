"""The catalogue of searches as src/catalogue/search_catalogue.h writes it, and
the bytes per location of each stored form (src/geo/stored_form.h), read from
those headers so that the documents name every search as the code does."""
import os
import re

SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src")
ENTRY = re.compile(r'\{SearchId::k\w+,\s*"(?P<name>\w+)",\s*Form::k(?P<form>\w+),\s*SearchKind::k(?P<kind>\w+),'
                   r'\s*(?P<vector>true|false),\s*(?P<exact>true|false),\s*"(?P<entry>[^"]*)"(?:,\s*SearchId::k\w+)?\}')
# The forms whose bytes differ from the default's 8, as stored_form.h's
# bytes_per_location writes them ("case Form::kS2Point: return 3 * 8;").
BYTES_CASE = re.compile(r"case Form::k(\w+):\s*return (\d+) \* (\d+);")
DEFAULT_BYTES = re.compile(r"default:\s*return (\d+);")


class Search:
    def __init__(self, name, form, kind, vector, exact, entry, bytes_):
        self.name, self.form, self.kind, self.vector, self.exact, self.entry = name, form, kind, vector, exact, entry
        self.bytes = bytes_


def _read(path):
    with open(path) as f:
        return f.read()


def form_bytes(stored_form_h):
    """{form name: bytes per location} from the text of stored_form.h;
    "default" for every other form."""
    sizes = {form: int(a) * int(b) for form, a, b in BYTES_CASE.findall(stored_form_h)}
    sizes["default"] = int(DEFAULT_BYTES.search(stored_form_h)[1])
    return sizes


def parse(catalogue_h, stored_form_h):
    """{name: Search} in the catalogue's order."""
    sizes = form_bytes(stored_form_h)
    searches = {}
    for m in ENTRY.finditer(catalogue_h):
        searches[m["name"]] = Search(m["name"], m["form"], m["kind"].lower(), m["vector"] == "true",
                                     m["exact"] == "true", m["entry"], sizes.get(m["form"], sizes["default"]))
    if not searches:
        raise ValueError("no searches found in the catalogue")
    return searches


def load(source=SOURCE):
    return parse(_read(os.path.join(source, "catalogue", "search_catalogue.h")),
                 _read(os.path.join(source, "geo", "stored_form.h")))
