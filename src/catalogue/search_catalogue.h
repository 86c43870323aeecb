// The catalogue of searches: every search the project times, by the one name
// it is timed and documented under, with its stored form, how it finds the
// nearest location, whether its answer is exact and its type. The suite, the
// scale study, the comparison of forms, the program's record and the
// documents take names and facts from here and nowhere else.
//
// Each search is one type, in the header the entry names, built from a table
// of its form and asked queries:
//
//   class CdcPruned {
//    public:
//     using Records = const CdcPair*;  // what it is built from, with a count
//     using Query = CdcPoint;          // what it is asked with
//     static constexpr ScoreOrder kOrder = ScoreOrder::kSmallerNearer;
//     CdcPruned(Records records, int count);
//     Nearest nearest(const Query& query) const;
//     // Offers its locations to a result set: the k nearest, those within
//     // a limit (method/result_sets.h).
//     template <typename Results>
//     void find(const Query& query, Results& results) const;
//     size_t bytes() const;            // all it reads over the table
//   };
//
// (an anchor answers nearest(query, k) and within(query, limit) by its
// library's own calls instead of find), and its header ties it to its entry
// with SearchType below. A new search is its type, its test and its line
// here; make_search (query/search.h) then builds it by its entry for every
// caller.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "geo/stored_form.h"

namespace spherebench {

enum class SearchId {
    kCdcBrute,
    kCdcBruteVector,
    kCdcPruned,
    kCdcPrunedVector,
    kCdcIndex,
    kLatLongBrute,
    kLatLongBruteVector,
    kLatLongPruned,
    kLatLongPrunedVector,
    kLatLongIndex,
    kS2CellIdBrute,
    kS2PointBruteVector,
    kS2PointIndex,
    kFloatBruteVector,
    kNanoflannKdTree,
    kBoostRtree,
    kS2ClosestPoint,
    kFaissFlat,
};

enum class SearchKind {
    kBrute,   // tests every location
    kPruned,  // a scan in table order that skips what a bound shows cannot win
    kIndex,   // a structure built once per table, searched by bounds
    kAnchor,  // another library's index, set beside the project's own
};

struct SearchFacts {
    SearchId id;
    const char* name;  // the name it is timed, recorded and documented under
    Form form;         // what it reads; an anchor reads the decoded directions
    SearchKind kind;
    bool vector;  // Highway, dispatched to the best target at run time
    // The same winner and score bits as the plain scalar search of its form
    // (its vector brute force for the lat/long vector searches, whose sines
    // come from SLEEF), the lowest index winning ties. An anchor is not:
    // its answers are counted against the exact ones.
    bool exact;
    const char* entry;  // its type, and the header it is declared in
    // The exact search it must agree with, winner and score bits: the scalar
    // brute force of its form, but the vector one for the lat/long vector
    // searches (whose sines come from SLEEF) and for S2Point (whose scalar
    // search gives no score); itself where there is no other; CdcBrute over
    // the same pairs for an anchor, which is only counted against it.
    SearchId reference;
    // Reads every location of its table for each query: the brute forces,
    // the pruned scans (which skip the score, not the reading) and a flat
    // anchor; its time follows the table's size, not its spread.
    bool exhaustive;
};

inline constexpr SearchFacts kSearchCatalogue[] = {
    {SearchId::kCdcBrute, "CdcBrute", Form::kCdcPair, SearchKind::kBrute, false, true,
     "CdcBrute (method/brute_force.h)", SearchId::kCdcBrute, true},
    {SearchId::kCdcBruteVector, "CdcBruteVector", Form::kCdcPair, SearchKind::kBrute, true, true,
     "CdcBruteVector (vector/cdc_block_search.h)", SearchId::kCdcBrute, true},
    {SearchId::kCdcPruned, "CdcPruned", Form::kCdcPair, SearchKind::kPruned, false, true,
     "CdcPruned (search/cdc_pruned_search.h)", SearchId::kCdcBrute, true},
    {SearchId::kCdcPrunedVector, "CdcPrunedVector", Form::kCdcPair, SearchKind::kPruned, true, true,
     "CdcPrunedVector (vector/cdc_pruned_vector_search.h)", SearchId::kCdcBrute, true},
    {SearchId::kCdcIndex, "CdcIndex", Form::kCdcPair, SearchKind::kIndex, false, true, "CdcIndex (search/cdc_index.h)",
     SearchId::kCdcBrute, false},
    {SearchId::kLatLongBrute, "LatLongBrute", Form::kFixedLatLong, SearchKind::kBrute, false, true,
     "LatLongBrute (method/brute_force.h)", SearchId::kLatLongBrute, true},
    {SearchId::kLatLongBruteVector, "LatLongBruteVector", Form::kFixedLatLong, SearchKind::kBrute, true, true,
     "LatLongBruteVector (vector/latlong_vector_search.h)", SearchId::kLatLongBruteVector, true},
    {SearchId::kLatLongPruned, "LatLongPruned", Form::kFixedLatLong, SearchKind::kPruned, false, true,
     "LatLongPruned (search/latlong_pruned_search.h)", SearchId::kLatLongBrute, true},
    {SearchId::kLatLongPrunedVector, "LatLongPrunedVector", Form::kFixedLatLong, SearchKind::kPruned, true, true,
     "LatLongPrunedVector (vector/latlong_pruned_vector_search.h)", SearchId::kLatLongBruteVector, true},
    {SearchId::kLatLongIndex, "LatLongIndex", Form::kFixedLatLong, SearchKind::kIndex, false, true,
     "LatLongIndex (search/latlong_index.h)", SearchId::kLatLongBrute, false},
    {SearchId::kS2CellIdBrute, "S2CellIdBrute", Form::kS2CellId, SearchKind::kBrute, false, true,
     "S2CellIdBrute (forms/representations.h)", SearchId::kS2CellIdBrute, true},
    {SearchId::kS2PointBruteVector, "S2PointBruteVector", Form::kS2Point, SearchKind::kBrute, true, true,
     "S2PointBruteVector (vector/component_vector_search.h)", SearchId::kS2PointBruteVector, true},
    {SearchId::kS2PointIndex, "S2PointIndex", Form::kS2Point, SearchKind::kIndex, false, true,
     "S2PointIndex (search/point_index.h)", SearchId::kS2PointBruteVector, false},
    {SearchId::kFloatBruteVector, "FloatBruteVector", Form::kFloatVector, SearchKind::kBrute, true, true,
     "FloatBruteVector (vector/component_vector_search.h)", SearchId::kFloatBruteVector, true},
    {SearchId::kNanoflannKdTree, "NanoflannKdTree", Form::kS2Point, SearchKind::kAnchor, false, false,
     "NanoflannKdTree: nanoflann::KDTreeSingleIndexAdaptor (anchors/anchor.h)", SearchId::kCdcBrute, false},
    {SearchId::kBoostRtree, "BoostRtree", Form::kS2Point, SearchKind::kAnchor, false, false,
     "BoostRtree: boost::geometry::index::rtree (anchors/anchor.h)", SearchId::kCdcBrute, false},
    {SearchId::kS2ClosestPoint, "S2ClosestPoint", Form::kS2Point, SearchKind::kAnchor, false, false,
     "S2ClosestPoint: S2ClosestPointQuery over S2PointIndex (anchors/anchor.h)", SearchId::kCdcBrute, false},
    {SearchId::kFaissFlat, "FaissFlat", Form::kFloatVector, SearchKind::kAnchor, false, false,
     "FaissFlat: faiss::IndexFlatL2 (anchors/anchor.h)", SearchId::kCdcBrute, true},
};

// The type of a search, by its id: each search's header specialises this
// with `using type = ...;` (an anchor's only where its library was found).
template <SearchId id>
struct SearchType {};

// Ties a search's type to its catalogue entry, in the type's header:
// SPHEREBENCH_SEARCH_TYPE(kCdcIndex, CdcIndex);
#define SPHEREBENCH_SEARCH_TYPE(entry, search_type) \
    template <>                                     \
    struct SearchType<SearchId::entry> {            \
        using type = search_type;                   \
    }

template <SearchId id>
concept SearchTypeKnown = requires {
    typename SearchType<id>::type;
};

constexpr const SearchFacts& search_facts(SearchId id) {
    for (const SearchFacts& facts : kSearchCatalogue)
        if (facts.id == id) return facts;
    return kSearchCatalogue[0];  // unreachable: every id is listed
}

constexpr const char* search_name(SearchId id) { return search_facts(id).name; }
constexpr SearchId reference_search(SearchId id) { return search_facts(id).reference; }

// The name of the suite's benchmark that times the search: "BM_" and its name.
inline std::string benchmark_name(SearchId id) { return std::string("BM_") + search_name(id); }

// The search of that name, if the catalogue has one.
constexpr std::optional<SearchId> find_search(std::string_view name) {
    for (const SearchFacts& facts : kSearchCatalogue)
        if (name == facts.name) return facts.id;
    return std::nullopt;
}

// Listed in the order of the enumeration, each once.
constexpr bool catalogue_is_in_order() {
    int i = 0;
    for (const SearchFacts& facts : kSearchCatalogue)
        if (static_cast<int>(facts.id) != i++) return false;
    return true;
}
static_assert(catalogue_is_in_order());

}  // namespace spherebench
