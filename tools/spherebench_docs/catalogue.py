"""The catalogue of searches and the stored forms as the suite's run states
them in its context (the C++ catalogue, written as JSON by
src/catalogue/catalogue_json.cpp): every search's name, form, kind and facts,
every form's bytes per location and whether the program stores it. The
documents name searches and take their orders from here alone."""
from .results import ASKED, context_facts


class Form:
    def __init__(self, name, bytes, program):  # noqa: A002 (the JSON's field)
        self.name, self.bytes, self.program = name, bytes, program


class Search:
    # exhaustive: absent from runs saved before the catalogue said it.
    def __init__(self, name, benchmark, form, kind, vector, exact, entry, bytes_, exhaustive=None):
        self.name, self.benchmark, self.form, self.kind = name, benchmark, form, kind
        self.vector, self.exact, self.entry, self.bytes = vector, exact, entry, bytes_
        self.exhaustive = exhaustive


class Catalogue:
    """forms and searches: {name: Form or Search}, in the catalogue's order."""

    def __init__(self, facts):
        self.forms = {f["name"]: Form(**f) for f in facts["forms"]}
        self.searches = {}
        for s in facts["searches"]:
            self.searches[s["name"]] = Search(bytes_=self.forms[s["form"]].bytes, **s)
        if not self.searches:
            raise ValueError("the catalogue holds no searches")
        self.kinds = {s.kind for s in self.searches.values()}

    def __getitem__(self, name):
        return self.searches[name]

    def __contains__(self, name):
        return name in self.searches

    def ordered(self, names):
        """The names that are searches of the catalogue, in its order."""
        return [s for s in self.searches if s in set(names)]

    def program_forms(self):
        """The forms the program stores, the first its own choice."""
        return [f for f in self.forms.values() if f.program]

    def find(self, form, kind=None, vector=None):
        """The searches of a form, of a kind and vector or scalar where given;
        a kind the catalogue does not know is an error, not an empty list."""
        ASKED["kinds"].add(kind)
        if kind is not None and kind not in self.kinds:
            raise ValueError("the catalogue has no searches of kind " + kind)
        return [s for s in self.searches.values() if s.form == form and kind in (None, s.kind)
                and vector in (None, s.vector)]

    def brute(self, form, vector=False):
        """The form's brute force, scalar or vector; None where it has none."""
        found = self.find(form, "brute", vector)
        return found[0] if found else None


def of(results):
    """The catalogue of a suite run (results.load), from its context."""
    return Catalogue(context_facts(results, "catalogue"))
