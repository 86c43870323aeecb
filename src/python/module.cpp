// The Python module "spherebench": locations as concise direction cosines in
// NumPy arrays, encoded from degrees, decoded, and searched exactly.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "geo/cdc_encoder.h"
#include "geo/coords.h"
#include "python/arrays.h"
#include "python/searches.h"

namespace py = pybind11;
using namespace spherebench;

namespace {

using Results = std::pair<py::array_t<int64_t>, py::array_t<double>>;

py::array_t<uint32_t> encode(py::handle latitudes, py::handle longitudes) {
    const std::vector<double> lat = reals_argument(latitudes, "latitudes");
    const std::vector<double> lon = reals_argument(longitudes, "longitudes");
    check_positions(lat, lon);
    py::array_t<uint32_t> pairs({static_cast<py::ssize_t>(lat.size()), py::ssize_t{2}});
    uint32_t* words = pairs.mutable_data();
    for (size_t i = 0; i < lat.size(); ++i) {
        const CdcPair pair = encode_degrees(lat[i], lon[i]);
        words[2 * i] = static_cast<uint32_t>(pair.first);
        words[2 * i + 1] = static_cast<uint32_t>(pair.second);
    }
    return pairs;
}

py::array_t<double> decode(py::handle pairs_object) {
    const std::vector<CdcPair> pairs = pairs_argument(pairs_object, "pairs");
    py::array_t<double> vectors({static_cast<py::ssize_t>(pairs.size()), py::ssize_t{3}});
    double* out = vectors.mutable_data();
    for (size_t i = 0; i < pairs.size(); ++i) {
        const UnitVector v = decode_cdc(pairs[i]);
        out[3 * i] = v.x;
        out[3 * i + 1] = v.y;
        out[3 * i + 2] = v.z;
    }
    return vectors;
}

PassSearch search_argument(const std::string& name) {
    if (const auto search = find_pass_search(name)) return *search;
    std::string known;
    for (const std::string& each : python_search_names()) known += (known.empty() ? "\"" : ", \"") + each + "\"";
    throw py::value_error("unknown search \"" + name + "\": this build has " + known);
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

Results search_all(const SearchTable& table, const std::vector<CdcPair>& queries) {
    const auto count = static_cast<py::ssize_t>(queries.size());
    py::array_t<int64_t> indices(count);
    py::array_t<double> chords(count);
    int64_t* index_out = indices.mutable_data();
    double* chord_out = chords.mutable_data();
    {
        py::gil_scoped_release release;
        table.find_all_nearest(queries.data(), queries.size(), index_out, chord_out);
    }
    return {indices, chords};
}

// Every argument is checked before any work.
Results nearest(py::handle pairs, py::handle query_pairs, const std::string& search) {
    const PassSearch chosen = search_argument(search);
    std::vector<CdcPair> table = table_pairs(pairs);
    const std::vector<CdcPair> queries = pairs_argument(query_pairs, "query_pairs");
    return search_all(ready_table(std::move(table), chosen), queries);
}

constexpr const char* kModuleDoc = R"(Locations on the sphere as concise direction cosines.

A location is stored as two 32-bit words, a row of a uint32 array of shape
(N, 2), exactly the words of an airports.ptc or flightline.lnc line (int32
arrays are taken as the same bits). encode() makes them from degrees,
decode() gives the unit vectors, nearest() and Index find the nearest
stored location exactly, as the program's direction-cosine search does.)";

void define_index(py::module_& m) {
    py::class_<SearchTable>(m, "Index", R"(A table of pairs made ready for repeated queries.

Index(pairs, search=None) checks and copies the pairs and, with the
"indexed" search (the default), builds the index once.)")
        .def(py::init([](py::handle pairs, std::optional<std::string> search) {
                 const PassSearch chosen = search ? search_argument(*search) : kRepeatedSearch;
                 return ready_table(table_pairs(pairs), chosen);
             }),
             py::arg("pairs"), py::arg("search") = py::none())
        .def(
            "query",
            [](const SearchTable& table, py::handle query_pairs) {
                return search_all(table, pairs_argument(query_pairs, "query_pairs"));
            },
            py::arg("query_pairs"),
            "(indices, squared chords) of the nearest pair of the table to each query pair, as nearest() gives.")
        .def("__len__", [](const SearchTable& table) { return table.size(); })
        .def_property_readonly(
            "search", [](const SearchTable& table) { return pass_search_name(table.search()); },
            "The search the queries use.");
}

}  // namespace

PYBIND11_MODULE(spherebench, m) {
    m.doc() = kModuleDoc;
    m.attr("__version__") = SPHEREBENCH_VERSION;
    m.attr("searches") = py::tuple(py::cast(python_search_names()));
    m.def("encode", &encode, py::arg("latitudes"), py::arg("longitudes"),
          R"(uint32 array (N, 2): the pairs of the positions given in degrees.

Latitudes in [-90, 90] and longitudes in [-180, 180], as many of each;
the words are those make-inputs writes for the same degrees.)");
    m.def("decode", &decode, py::arg("pairs"),
          R"(float64 array (N, 3): the unit vectors (x, y, z) of the pairs.

Bit for bit the program's decoder: not normalised, the major component
computed from the two stored ones.)");
    m.def("nearest", &nearest, py::arg("pairs"), py::arg("query_pairs"), py::arg("search") = "brute",
          R"((indices, squared chords): for each query pair, the nearest of pairs.

indices (int64) count rows of pairs; the squared chord (float64) is the
program's score between the decoded pair and the decoded query. Exact:
every search gives the same answer, the lowest index winning ties.
search is one of spherebench.searches: "brute", and "pruned" and
"indexed" where this build has them.)");
    define_index(m);
}
