// The Python module "spherebench": locations as concise direction cosines in
// NumPy arrays, encoded from degrees, decoded, and searched exactly.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "base/format.h"
#include "geo/cdc_encoder.h"
#include "geo/coords.h"
#include "python/arrays.h"
#include "python/module_parts.h"
#include "python/searches.h"
#include "random/random_tables.h"
#include "random/table_kinds.h"

namespace py = pybind11;
using namespace spherebench;

namespace {

// uint32 (N, 2): the pairs made by `pair_of(i)` for i from 0 to count - 1.
template <typename PairOf>
py::array_t<uint32_t> pairs_array(size_t count, const PairOf& pair_of) {
    py::array_t<uint32_t> pairs({static_cast<py::ssize_t>(count), py::ssize_t{2}});
    uint32_t* words = pairs.mutable_data();
    for (size_t i = 0; i < count; ++i) {
        const CdcPair pair = pair_of(i);
        words[2 * i] = static_cast<uint32_t>(pair.first);
        words[2 * i + 1] = static_cast<uint32_t>(pair.second);
    }
    return pairs;
}

py::array_t<uint32_t> encode(const ArrayLike& latitudes, const ArrayLike& longitudes) {
    const std::vector<double> lat = reals_argument(latitudes.object, "latitudes");
    const std::vector<double> lon = reals_argument(longitudes.object, "longitudes");
    check_positions(lat, lon);
    return pairs_array(lat.size(), [&](size_t i) { return encode_degrees(lat[i], lon[i]); });
}

std::vector<std::string> table_kind_names() {
    std::vector<std::string> names;
    for (const TableKind kind : kTableKinds) names.emplace_back(table_kind_name(kind));
    return names;
}

TableKind kind_argument(const std::string& name) {
    if (const auto kind = find_table_kind(name)) return *kind;
    throw py::value_error("unknown kind of table \"" + name + "\": the kinds are " + quoted_list(table_kind_names()));
}

// The pairs of the directions that `draw` makes of (kind, count, seed), as
// the benchmarks' tables encode them (FormTable's pairs).
py::array_t<uint32_t> drawn_pairs(std::vector<UnitVector> (*draw)(TableKind, int, uint64_t), const std::string& kind,
                                  long long count, uint64_t seed) {
    const TableKind chosen = kind_argument(kind);
    if (count < 0 || count > INT_MAX)
        throw py::value_error("count " + std::to_string(count) + " is not a count of locations (0 to " +
                              std::to_string(INT_MAX) + ")");
    std::vector<UnitVector> directions;
    {
        py::gil_scoped_release release;
        directions = draw(chosen, static_cast<int>(count), seed);
    }
    return pairs_array(directions.size(), [&](size_t i) { return encode_cdc(directions[i]); });
}

py::array_t<double> decode(const ArrayLike& pairs_object) {
    const std::vector<CdcPair> pairs = pairs_argument(pairs_object.object, "pairs");
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

constexpr const char* kModuleDoc = R"(Locations on the sphere as concise direction cosines.

A location is stored as two 32-bit words, a row of a uint32 array of shape
(N, 2), exactly the words of an airports.ptc or flightline.lnc line (int32
arrays are taken as the same bits). encode() makes them from degrees,
decode() gives the unit vectors, nearest() and Index find the nearest
stored location exactly, as the program's direction-cosine search does;
Index also the k nearest and every location within a distance, on several
threads. Distances are squared chords between the decoded unit vectors;
chord_to_km(), km_to_chord() and chord_to_angle(), angle_to_chord()
convert them, on the 6371 km sphere. random_table() and near_queries() make
the benchmarks' tables of each of table_kinds, and queries near them, from
a seed. Index and nearest() also take positions as floats, rows of
latitude, longitude in degrees, which they encode as encode() does:

    >>> import numpy as np, spherebench
    >>> towns = np.array([[48.8566, 2.3522], [51.5072, -0.1276]])  # Paris, London
    >>> index = spherebench.Index(towns)
    >>> i, chord = index.query(np.array([51.0, 0.0]))     # one fix
    >>> int(i), round(spherebench.chord_to_km(chord), 1)
    (1, 57.1)

Index.save() writes the index to a file that Index.open() maps at once.)";

// Made from the spreads' own constants, so that it says what the tables are.
const std::string& random_table_doc() {
    static const std::string doc =
        "uint32 array (count, 2): the pairs of a random table of that kind.\n\n"
        "kind is one of spherebench.table_kinds: \"uniform\" on the sphere, \"towns\" (" +
        std::to_string(kTownCount) + " centres, sizes by Zipf's law, " + shortest_decimal(kTownSpreadMetres / 1000) +
        " km of spread), \"city\" (within " + shortest_decimal(kCityRadiusMetres / 1000) +
        " km of one centre), \"line\" (a wandering arc " + shortest_decimal(kLineLengthMetres / 1000) +
        " km long and " + shortest_decimal(kLineWidthMetres / 1000) + " km wide) or \"repeated\" (" +
        std::to_string(kRepeatedSites) +
        " sites, each stored many times). The same pairs as the C++ benchmarks' table of that kind, count and seed "
        "(the default seed is theirs); a table of fewer locations is the start of a larger one.";
    return doc;
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
    m.attr("table_kinds") = py::tuple(py::cast(table_kind_names()));
    // The program's capacities and the C++ query benchmarks' seed of their
    // uniform queries: random_table("uniform", n, uniform_query_seed).
    m.attr("airport_capacity") = kAirportCapacity;
    m.attr("flight_line_capacity") = kFlightLineCapacity;
    m.attr("uniform_query_seed") = kFlightLineSeed;
    m.def(
        "random_table",
        [](const std::string& kind, long long count, uint64_t seed) {
            return drawn_pairs(table_directions, kind, count, seed);
        },
        py::arg("kind"), py::arg("count"), py::arg("seed") = kAirportSeed, random_table_doc().c_str());
    m.def(
        "near_queries",
        [](const std::string& kind, long long count, uint64_t seed) {
            return drawn_pairs(near_query_directions, kind, count, seed);
        },
        py::arg("kind"), py::arg("count"), py::arg("seed") = kAirportSeed,
        R"(uint32 array (count, 2): query pairs near random_table(kind, n, seed).

Drawn from the same spread as the table (the same towns, city, line or
sites; uniform on the sphere for "uniform"), apart from its own locations,
as the C++ benchmarks' near queries are.)");
    define_searches(m);
    define_distances(m);
}
