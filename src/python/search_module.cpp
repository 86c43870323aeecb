// The module's searches: nearest() over a table given with the queries, and
// Index, a table made ready once for repeated queries of the nearest, the k
// nearest and everything within a distance.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/threads.h"
#include "geo/distance.h"
#include "python/arrays.h"
#include "python/module_parts.h"
#include "python/searches.h"

namespace py = pybind11;

namespace spherebench {

PassSearch search_argument(const std::string& name) {
    if (const auto search = find_pass_search(name)) return *search;
    throw py::value_error("unknown search \"" + name + "\": this build has " + quoted_list(python_search_names()));
}

SearchTable ready_table(std::vector<CdcPair> pairs, PassSearch search) {
    py::gil_scoped_release release;
    return SearchTable(std::move(pairs), search);
}

namespace {

using Results = std::pair<py::array_t<int64_t>, py::array_t<double>>;

// The table's pairs (or degrees), checked.
std::vector<CdcPair> table_pairs(const ArrayLike& pairs_object) {
    std::vector<CdcPair> pairs = positions_argument(pairs_object.object, "pairs", false).pairs;
    if (pairs.empty()) throw py::value_error("pairs is empty: a search needs at least one pair to find");
    if (pairs.size() > static_cast<size_t>(INT_MAX))
        throw py::value_error("pairs holds " + std::to_string(pairs.size()) + " rows, more than a search takes");
    return pairs;
}

// The threads a `workers` argument asks for: a count of at least 1, or -1
// for one per core (as scipy's workers); anything else is a ValueError.
int worker_threads(long long workers) {
    if (workers == -1) return machine_threads();
    if (workers < 1)
        throw py::value_error("workers must be a count of threads (at least 1), or -1 for one per core, not " +
                              std::to_string(workers));
    return static_cast<int>(std::min<long long>(workers, INT_MAX));
}

// The k nearest of each query (the nearest where k is 1), asked without the
// GIL, into arrays of k answers a query.
Results search_all(const SearchTable& table, const std::vector<CdcPair>& queries, int k, int threads) {
    std::vector<py::ssize_t> shape{static_cast<py::ssize_t>(queries.size())};
    if (k != 1) shape.push_back(static_cast<py::ssize_t>(k));
    py::array_t<int64_t> indices(shape);
    py::array_t<double> chords(shape);
    int64_t* index_out = indices.mutable_data();
    double* chord_out = chords.mutable_data();
    {
        py::gil_scoped_release release;
        if (k == 1)
            table.find_all_nearest(queries.data(), queries.size(), threads, index_out, chord_out);
        else
            table.find_all_k(queries.data(), queries.size(), k, threads, index_out, chord_out);
    }
    return {indices, chords};
}

// The answers of one position given alone, alone: its row of each array.
py::tuple answers(const Positions& queries, const Results& results) {
    if (!queries.single) return py::make_tuple(results.first, results.second);
    return py::make_tuple(results.first[py::int_(0)], results.second[py::int_(0)]);
}

// Every argument is checked before any work.
py::tuple nearest(const ArrayLike& pairs, const ArrayLike& query_pairs, const std::string& search) {
    const PassSearch chosen = search_argument(search);
    std::vector<CdcPair> table = table_pairs(pairs);
    const Positions queries = positions_argument(query_pairs.object, "query_pairs", true);
    return answers(queries, search_all(ready_table(std::move(table), chosen), queries.pairs, 1, 1));
}

// Answers beyond max_km made none: the table's length and inf.
void bound_answers(const SearchTable& table, std::optional<double> max_km, Results& results) {
    if (!max_km) return;
    const double limit = within_chord2(distance_argument(*max_km, "max_km"));
    int64_t* indices = results.first.mutable_data();
    double* chords = results.second.mutable_data();
    for (py::ssize_t i = 0; i < results.second.size(); ++i)
        if (chords[i] > limit) indices[i] = static_cast<int64_t>(table.size()), chords[i] = INFINITY;
}

py::tuple query(const SearchTable& table, const ArrayLike& query_pairs, long long k, long long workers,
                std::optional<double> max_km) {
    const Positions queries = positions_argument(query_pairs.object, "query_pairs", true);
    if (k < 1) throw py::value_error("k must be at least 1, not " + std::to_string(k));
    if (k > INT_MAX) throw py::value_error("k " + std::to_string(k) + " is more than a search holds");
    if (max_km) distance_argument(*max_km, "max_km");
    const int threads = worker_threads(workers);
    Results results = search_all(table, queries.pairs, static_cast<int>(k), threads);
    bound_answers(table, max_km, results);
    return answers(queries, results);
}

// The limit of each query: km one number for all, or one a query.
std::vector<double> within_limits(const ArrayLike& km, size_t queries) {
    const py::array_t<double> given = real_array(km.object, "km");
    if (given.ndim() > 1 || (given.ndim() == 1 && static_cast<size_t>(given.size()) != queries))
        throw py::value_error("km must be one number, or one a query (" + std::to_string(queries) + "), not " +
                              std::to_string(given.size()) + " numbers");
    std::vector<double> limits(queries);
    for (size_t i = 0; i < queries; ++i)
        limits[i] = within_chord2(distance_argument(given.data()[given.ndim() == 0 ? 0 : i], "km"));
    return limits;
}

py::object within(const SearchTable& table, const ArrayLike& query_pairs, const ArrayLike& km, long long workers) {
    const Positions queries = positions_argument(query_pairs.object, "query_pairs", true);
    const std::vector<double> limits = within_limits(km, queries.pairs.size());
    const int threads = worker_threads(workers);
    std::vector<std::vector<Nearest>> found(queries.pairs.size());
    {
        py::gil_scoped_release release;
        table.find_all_within(queries.pairs.data(), found.size(), limits.data(), threads, found.data());
    }
    py::list out;
    for (const std::vector<Nearest>& each : found) {
        py::array_t<int64_t> indices(static_cast<py::ssize_t>(each.size()));
        int64_t* index_out = indices.mutable_data();
        for (size_t j = 0; j < each.size(); ++j) index_out[j] = each[j].index;
        out.append(std::move(indices));
    }
    if (queries.single) return out[0];
    return out;
}

constexpr const char* kNearestDoc = R"((indices, squared chords): for each query pair, the nearest of pairs.

pairs and query_pairs are uint32 (or int32) pairs, shape (N, 2), or
floats: rows of latitude, longitude in degrees, encoded as encode()
encodes them (a query of shape (2,) is one, answered alone).
indices (int64) count rows of pairs; the squared chord (float64) is the
program's score between the decoded pair and the decoded query; km =
chord_to_km(chords). Exact: every search gives the same answer, the
lowest index winning ties.
search is one of spherebench.searches: "brute", and "pruned" and
"indexed" where this build has them.)";

constexpr const char* kQueryDoc = R"((indices, squared chords) of the k nearest pairs to each query pair.

query_pairs: pairs, or degrees (latitude, longitude) as floats, as
Index() takes them; one position of shape (2,) is answered alone (a
number each for k=1, rows of k for k > 1). Nearest first, by squared chord, then index: the first k of the order
testing every pair gives, chords bit for bit the program's scores.
k=1 gives arrays of shape (n,), as nearest() does; k > 1 arrays of shape
(n, k). Where the table holds fewer than k pairs, each row ends with the
index len(self) and the chord inf, as scipy's cKDTree.query fills it
(indexing the table with it fails rather than silently taking its last
row). max_km, as cKDTree.query's distance_upper_bound: answers farther
than max_km (as within() judges it) are given as len(self) and inf.

workers threads share the queries, each a contiguous part (-1: one per
core); the answers do not depend on it. The GIL is released meanwhile.
chord_to_km() turns the squared chords into kilometres:

    i, chords = index.query(np.array([[48.85, 2.35]]), k=3, max_km=50)
    km = spherebench.chord_to_km(chords)   # inf where none was that near)";

constexpr const char* kWithinDoc = R"(For each query pair, an int64 array of the pairs within km of it.

query_pairs as for query() (one position alone: one array). km is one
number for every query or an array of one a query, kilometres on the
6371 km sphere (at least 0; inf: every pair). Each
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
    py::class_<SearchTable> index(m, "Index", R"(A table of pairs made ready for repeated queries.

Index(pairs, search=None) checks and copies the pairs (uint32 pairs,
shape (N, 2), or floats: rows of latitude, longitude in degrees) and, with the
"indexed" search (the default), builds the index once. query() finds the
nearest or the k nearest pairs to each query pair, within() every pair
within a distance. save() writes the index to a file and Index.open()
opens it at once; an Index pickles through the same saved form.)");
    index
        .def(py::init([](const ArrayLike& pairs, std::optional<std::string> search) {
                 const PassSearch chosen = search ? search_argument(*search) : kRepeatedSearch;
                 return ready_table(table_pairs(pairs), chosen);
             }),
             py::arg("pairs"), py::arg("search") = py::none())
        .def("query", &query, py::arg("query_pairs"), py::arg("k") = 1, py::arg("workers") = 1,
             py::arg("max_km") = py::none(), kQueryDoc)
        .def("within", &within, py::arg("query_pairs"), py::arg("km"), py::arg("workers") = 1, kWithinDoc)
        .def("__len__", [](const SearchTable& table) { return table.size(); })
        .def_property_readonly(
            "nbytes", [](const SearchTable& table) { return table.bytes(); },
            "The bytes the Index holds: its search's structure and, for the searches that read the pairs as they "
            "are, the pairs.")
        .def_property_readonly(
            "search", [](const SearchTable& table) { return pass_search_name(table.search()); },
            "The search the queries use.");
    define_saved(index);
}

}  // namespace spherebench
