// The module's searches: nearest() over a table given with the queries, and
// Index, a table made ready once for repeated queries of the nearest, the k
// nearest and everything within a distance.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "geo/distance.h"
#include "python/arrays.h"
#include "python/module_parts.h"
#include "python/searches.h"
#include "python/workers.h"

namespace py = pybind11;

namespace spherebench {

namespace {

using Results = std::pair<py::array_t<int64_t>, py::array_t<double>>;

PassSearch search_argument(const std::string& name) {
    if (const auto search = find_pass_search(name)) return *search;
    throw py::value_error("unknown search \"" + name + "\": this build has " + quoted_list(python_search_names()));
}

// The table's pairs, checked.
std::vector<CdcPair> table_pairs(py::handle pairs_object) {
    std::vector<CdcPair> pairs = pairs_argument(pairs_object, "pairs");
    if (pairs.empty()) throw py::value_error("pairs is empty: a search needs at least one pair to find");
    if (pairs.size() > static_cast<size_t>(INT_MAX))
        throw py::value_error("pairs holds " + std::to_string(pairs.size()) + " rows, more than a search takes");
    return pairs;
}

// The index, where the search has one, is built without the GIL.
SearchTable ready_table(std::vector<CdcPair> pairs, PassSearch search) {
    py::gil_scoped_release release;
    return SearchTable(std::move(pairs), search);
}

// find(first, count, indices, chords) over the queries' shares, without the
// GIL, into arrays of `row` answers a query.
template <typename Find>
Results search_all(const std::vector<CdcPair>& queries, size_t row, int threads, const Find& find) {
    std::vector<py::ssize_t> shape{static_cast<py::ssize_t>(queries.size())};
    if (row != 1) shape.push_back(static_cast<py::ssize_t>(row));
    py::array_t<int64_t> indices(shape);
    py::array_t<double> chords(shape);
    int64_t* index_out = indices.mutable_data();
    double* chord_out = chords.mutable_data();
    {
        py::gil_scoped_release release;
        split_over_threads(queries.size(), threads, [&](size_t begin, size_t end) {
            find(queries.data() + begin, end - begin, index_out + begin * row, chord_out + begin * row);
        });
    }
    return {indices, chords};
}

Results nearest_all(const SearchTable& table, const std::vector<CdcPair>& queries, int threads) {
    return search_all(queries, 1, threads, [&](const CdcPair* first, size_t count, int64_t* indices, double* chords) {
        table.find_all_nearest(first, count, indices, chords);
    });
}

// Every argument is checked before any work.
Results nearest(py::handle pairs, py::handle query_pairs, const std::string& search) {
    const PassSearch chosen = search_argument(search);
    std::vector<CdcPair> table = table_pairs(pairs);
    const std::vector<CdcPair> queries = pairs_argument(query_pairs, "query_pairs");
    return nearest_all(ready_table(std::move(table), chosen), queries, 1);
}

Results query(const SearchTable& table, py::handle query_pairs, long long k, long long workers) {
    const std::vector<CdcPair> queries = pairs_argument(query_pairs, "query_pairs");
    if (k < 1) throw py::value_error("k must be at least 1, not " + std::to_string(k));
    if (k > INT_MAX) throw py::value_error("k " + std::to_string(k) + " is more than a search holds");
    const int threads = worker_threads(workers);
    if (k == 1) return nearest_all(table, queries, threads);
    return search_all(queries, static_cast<size_t>(k), threads,
                      [&](const CdcPair* first, size_t count, int64_t* indices, double* chords) {
                          table.find_all_k(first, count, static_cast<int>(k), indices, chords);
                      });
}

std::vector<py::array_t<int64_t>> within(const SearchTable& table, py::handle query_pairs, double km,
                                         long long workers) {
    const std::vector<CdcPair> queries = pairs_argument(query_pairs, "query_pairs");
    const double limit = within_chord2(distance_argument(km, "km"));
    const int threads = worker_threads(workers);
    std::vector<std::vector<Nearest>> found(queries.size());
    {
        py::gil_scoped_release release;
        split_over_threads(queries.size(), threads, [&](size_t begin, size_t end) {
            table.find_all_within(queries.data() + begin, end - begin, limit, found.data() + begin);
        });
    }
    std::vector<py::array_t<int64_t>> out;
    out.reserve(found.size());
    for (const std::vector<Nearest>& each : found) {
        py::array_t<int64_t> indices(static_cast<py::ssize_t>(each.size()));
        int64_t* index_out = indices.mutable_data();
        for (size_t j = 0; j < each.size(); ++j) index_out[j] = each[j].index;
        out.push_back(std::move(indices));
    }
    return out;
}

[[noreturn]] void raise_os_error(const std::string& message) {
    PyErr_SetString(PyExc_OSError, message.c_str());
    throw py::error_already_set();
}

void save(const SearchTable& table, const std::filesystem::path& path) {
    std::optional<std::string> failure;
    {
        py::gil_scoped_release release;
        failure = table.save(path.string());
    }
    if (failure) raise_os_error(*failure);
}

SearchTable open_saved(const std::filesystem::path& path, bool check) {
    Opened<CdcIndex> opened;
    {
        py::gil_scoped_release release;
        opened = CdcIndex::open(path.string(), check ? SavedCheck::kWhole : SavedCheck::kHeader);
    }
    if (!opened.index) raise_os_error(opened.failure);
    return SearchTable(std::move(*opened.index));
}

// The table's pairs, uint32 (N, 2), read-only: a copy in table order.
py::array_t<uint32_t> table_pairs_array(const SearchTable& table) {
    const std::vector<CdcPair> pairs = table.pairs();
    py::array_t<uint32_t> words({static_cast<py::ssize_t>(pairs.size()), py::ssize_t{2}});
    if (!pairs.empty()) std::memcpy(words.mutable_data(), pairs.data(), pairs.size() * sizeof(CdcPair));
    words.attr("setflags")(py::arg("write") = false);
    return words;
}

// Pickled as the search's name and, for the index, its saved form (opened
// again without a rebuild), else the pairs' words.
py::tuple pickled(const SearchTable& table) {
    const bool indexed = table.search() == PassSearch::kIndexed;
    std::string bytes;
    if (indexed)
        bytes = table.saved_bytes();
    else {
        const std::vector<CdcPair> pairs = table.pairs();
        bytes.assign(reinterpret_cast<const char*>(pairs.data()), pairs.size() * sizeof(CdcPair));
    }
    return py::make_tuple(pass_search_name(table.search()), py::bytes(bytes));
}

SearchTable unpickled(const py::tuple& state) {
    if (state.size() != 2) throw py::value_error("a pickled Index holds a search's name and bytes");
    const PassSearch search = search_argument(state[0].cast<std::string>());
    const std::string bytes = state[1].cast<std::string>();
    if (search != PassSearch::kIndexed) {
        if (bytes.size() % sizeof(CdcPair) != 0) throw py::value_error("a pickled Index's pairs are cut short");
        std::vector<CdcPair> pairs(bytes.size() / sizeof(CdcPair));
        if (!pairs.empty()) std::memcpy(pairs.data(), bytes.data(), bytes.size());
        return ready_table(std::move(pairs), search);
    }
    Opened<CdcIndex> opened = CdcIndex::open_bytes(copied_bytes(bytes), "the pickled Index");
    if (!opened.index) throw py::value_error(opened.failure);
    return SearchTable(std::move(*opened.index));
}

std::string index_repr(const SearchTable& table) {
    return "<spherebench.Index search='" + std::string(pass_search_name(table.search())) +
           "' count=" + std::to_string(table.size()) + " nbytes=" + std::to_string(table.bytes()) + ">";
}

constexpr const char* kSaveDoc = R"(Writes the index to a file, whole or not at all (OSError on failure).

Only the "indexed" search has an index to save. The file (docs/SAVED_INDEX.md)
is written beside path and renamed over it, so a process that has the old
file open keeps reading it. Index.open(path) opens it again.)";

constexpr const char* kOpenDoc = R"(The Index saved at path, opened at once: the file mapped read-only.

Nothing is rebuilt or copied; processes that open one file share its
pages. It answers as the Index that was saved, bit for bit. A file cut
short, damaged, of another version or byte order, or not a saved index
raises OSError naming the file and the fault.

check=True reads the whole file once (its checksum and every range a
search reads by). check=False reads its header and tables only, so that
opening takes a fraction of a millisecond however large the file: only for
a file this program saved and nothing changed since, as a damaged one may
then give wrong answers or end the process.)";

constexpr const char* kNearestDoc = R"((indices, squared chords): for each query pair, the nearest of pairs.

indices (int64) count rows of pairs; the squared chord (float64) is the
program's score between the decoded pair and the decoded query. Exact:
every search gives the same answer, the lowest index winning ties.
search is one of spherebench.searches: "brute", and "pruned" and
"indexed" where this build has them.)";

constexpr const char* kQueryDoc = R"((indices, squared chords) of the k nearest pairs to each query pair.

Nearest first, by squared chord, then index: the first k of the order
testing every pair gives, chords bit for bit the program's scores.
k=1 gives arrays of shape (n,), as nearest() does; k > 1 arrays of shape
(n, k). Where the table holds fewer than k pairs, each row ends with the
index len(self) and the chord inf, as scipy's cKDTree.query fills it
(indexing the table with it fails rather than silently taking its last
row).

workers threads share the queries, each a contiguous part (-1: one per
core); the answers do not depend on it. The GIL is released meanwhile.
chord_to_km() turns the squared chords into kilometres.)";

constexpr const char* kWithinDoc = R"(For each query pair, an int64 array of the pairs within km of it.

Kilometres on the 6371 km sphere (km at least 0; inf: every pair). Each
array is sorted nearest first, by squared chord, then index: the order
query() gives. (scipy's cKDTree.query_ball_point(..., return_sorted=True)
sorts its indices by index; np.sort of these arrays gives that order.)
A pair is within km where its squared chord to the query, computed as
the search computes it, is at most within_chord(km): no pair whose exact
distance is km or less is left out (within(q, chord_to_km(c)) keeps the
pairs at squared chord c), and none farther than a fraction of a
micrometre beyond km (up to 10000 km) is taken in.
workers as for query().)";

}  // namespace

void define_searches(py::module_& m) {
    m.def("nearest", &nearest, py::arg("pairs"), py::arg("query_pairs"), py::arg("search") = "brute", kNearestDoc);
    py::class_<SearchTable>(m, "Index", R"(A table of pairs made ready for repeated queries.

Index(pairs, search=None) checks and copies the pairs and, with the
"indexed" search (the default), builds the index once. query() finds the
nearest or the k nearest pairs to each query pair, within() every pair
within a distance. save() writes the index to a file and Index.open()
opens it at once; an Index pickles through the same saved form.)")
        .def(py::init([](py::handle pairs, std::optional<std::string> search) {
                 const PassSearch chosen = search ? search_argument(*search) : kRepeatedSearch;
                 return ready_table(table_pairs(pairs), chosen);
             }),
             py::arg("pairs"), py::arg("search") = py::none())
        .def("query", &query, py::arg("query_pairs"), py::arg("k") = 1, py::arg("workers") = 1, kQueryDoc)
        .def("within", &within, py::arg("query_pairs"), py::arg("km"), py::arg("workers") = 1, kWithinDoc)
        .def("__len__", [](const SearchTable& table) { return table.size(); })
        .def("__repr__", &index_repr)
        .def("save", &save, py::arg("path"), kSaveDoc)
        .def_static("open", &open_saved, py::arg("path"), py::arg("check") = true, kOpenDoc)
        .def(py::pickle(&pickled, &unpickled))
        .def_property_readonly("pairs", &table_pairs_array,
                               "uint32 array (len(self), 2), read-only: the table's pairs in table order (a copy).")
        .def_property_readonly(
            "nbytes", [](const SearchTable& table) { return table.bytes(); },
            "The bytes the Index holds: its search's structure and, for the searches that read the pairs as they "
            "are, the pairs.")
        .def_property_readonly(
            "search", [](const SearchTable& table) { return pass_search_name(table.search()); },
            "The search the queries use.");
}

}  // namespace spherebench
