// The catalogue of searches: every search the project times, by the one name
// it is timed and documented under, with its stored form, how it finds the
// nearest location, whether its answer is exact and where it is written.
// The suite, the scale study, the comparison of forms, the program's record
// and the documents take names and facts from here and nowhere else; a new
// search enters here first.
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
    const char* entry;  // the function that answers a query, and its header
};

inline constexpr SearchFacts kSearchCatalogue[] = {
    {SearchId::kCdcBrute, "CdcBrute", Form::kCdcPair, SearchKind::kBrute, false, true,
     "find_nearest<CdcMethod> (method/nearest.h)"},
    {SearchId::kCdcBruteVector, "CdcBruteVector", Form::kCdcPair, SearchKind::kBrute, true, true,
     "cdc_block_find_nearest (vector/cdc_block_search.h)"},
    {SearchId::kCdcPruned, "CdcPruned", Form::kCdcPair, SearchKind::kPruned, false, true,
     "cdc_pruned_find_nearest (search/cdc_pruned_search.h)"},
    {SearchId::kCdcPrunedVector, "CdcPrunedVector", Form::kCdcPair, SearchKind::kPruned, true, true,
     "cdc_pruned_vector_find_nearest (vector/cdc_pruned_vector_search.h)"},
    {SearchId::kCdcIndex, "CdcIndex", Form::kCdcPair, SearchKind::kIndex, false, true,
     "cdc_index_find_nearest (search/cdc_index.h)"},
    {SearchId::kLatLongBrute, "LatLongBrute", Form::kFixedLatLong, SearchKind::kBrute, false, true,
     "find_nearest<LatLongMethod> (method/nearest.h)"},
    {SearchId::kLatLongBruteVector, "LatLongBruteVector", Form::kFixedLatLong, SearchKind::kBrute, true, true,
     "latlong_vector_find_nearest (vector/latlong_vector_search.h)"},
    {SearchId::kLatLongPruned, "LatLongPruned", Form::kFixedLatLong, SearchKind::kPruned, false, true,
     "latlong_pruned_find_nearest (search/latlong_pruned_search.h)"},
    {SearchId::kLatLongPrunedVector, "LatLongPrunedVector", Form::kFixedLatLong, SearchKind::kPruned, true, true,
     "latlong_pruned_vector_find_nearest (vector/latlong_pruned_vector_search.h)"},
    {SearchId::kLatLongIndex, "LatLongIndex", Form::kFixedLatLong, SearchKind::kIndex, false, true,
     "latlong_index_find_nearest (search/latlong_index.h)"},
    {SearchId::kS2CellIdBrute, "S2CellIdBrute", Form::kS2CellId, SearchKind::kBrute, false, true,
     "nearest_by_cell_ids (forms/representations.h)"},
    {SearchId::kS2PointBruteVector, "S2PointBruteVector", Form::kS2Point, SearchKind::kBrute, true, true,
     "double_components_find_nearest (vector/component_vector_search.h)"},
    {SearchId::kS2PointIndex, "S2PointIndex", Form::kS2Point, SearchKind::kIndex, false, true,
     "point_index_find_nearest (search/point_index.h)"},
    {SearchId::kFloatBruteVector, "FloatBruteVector", Form::kFloatVector, SearchKind::kBrute, true, true,
     "float_components_find_nearest (vector/component_vector_search.h)"},
    {SearchId::kNanoflannKdTree, "NanoflannKdTree", Form::kS2Point, SearchKind::kAnchor, false, false,
     "nanoflann::KDTreeSingleIndexAdaptor (anchors/anchor_searches.h)"},
    {SearchId::kBoostRtree, "BoostRtree", Form::kS2Point, SearchKind::kAnchor, false, false,
     "boost::geometry::index::rtree (anchors/anchor_searches.h)"},
    {SearchId::kS2ClosestPoint, "S2ClosestPoint", Form::kS2Point, SearchKind::kAnchor, false, false,
     "S2ClosestPointQuery over S2PointIndex (anchors/anchor_searches.h)"},
    {SearchId::kFaissFlat, "FaissFlat", Form::kFloatVector, SearchKind::kAnchor, false, false,
     "faiss::IndexFlatL2 (anchors/anchor_searches.h)"},
};

constexpr const SearchFacts& search_facts(SearchId id) {
    for (const SearchFacts& facts : kSearchCatalogue)
        if (facts.id == id) return facts;
    return kSearchCatalogue[0];  // unreachable: every id is listed
}

constexpr const char* search_name(SearchId id) { return search_facts(id).name; }

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
