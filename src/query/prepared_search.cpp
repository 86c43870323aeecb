#include "query/prepared_search.h"

#include <ctime>
#include <vector>

#include "forms/representations.h"
#include "method/latlong_method.h"
#include "scale/scale_search.h"
#include "search/cdc_pruned_search.h"
#include "search/latlong_pruned_search.h"
#include "vector/cdc_block_search.h"
#include "vector/cdc_pruned_vector_search.h"
#include "vector/component_vector_search.h"
#include "vector/latlong_pruned_vector_search.h"
#include "vector/latlong_vector_search.h"

namespace spherebench {

namespace {

CdcPoint cdc_query(const FormTable& queries, int q) { return arrange_point(decode_cdc(queries.cdc[q])); }

UnitVector point_query(const FormTable& queries, int q) { return {queries.xs[q], queries.ys[q], queries.zs[q]}; }

// Processor time, not wall-clock: on a machine shared with other work, what
// a build itself took (the process builds on one thread at a time).
double seconds_since(std::clock_t start) { return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC; }

// The anchor over the table's pairs decoded.
void prepare_anchor(PreparedSearch& p) {
    const FormTable& t = *p.table;
    std::vector<double> xs(static_cast<size_t>(t.count)), ys(xs.size()), zs(xs.size());
    for (int i = 0; i < t.count; ++i) {
        const UnitVector v = decode_cdc(t.cdc[i]);
        xs[i] = v.x, ys[i] = v.y, zs[i] = v.z;
    }
    const std::clock_t start = std::clock();
    p.anchor = build_anchor_index(p.id, xs.data(), ys.data(), zs.data(), t.count);
    p.build_seconds = seconds_since(start);
    p.bytes = anchor_index_bytes(*p.anchor);
}

// The grouped pairs or the index the search reads, and its bytes; false for
// a search that reads the table as it is.
bool build_structure(PreparedSearch& p) {
    const FormTable& t = *p.table;
    switch (p.id) {
        case SearchId::kCdcBruteVector:
        case SearchId::kCdcPrunedVector:
            p.groups = group_by_flag_case(t.cdc.data(), t.count);
            p.bytes = p.groups.pairs.size() * (sizeof(CdcPair) + sizeof(double));
            return true;
        case SearchId::kCdcIndex:
            p.cdc_index = build_cdc_index(t.cdc.data(), t.count);
            p.bytes = cdc_index_bytes(*p.cdc_index);
            return true;
        case SearchId::kLatLongIndex:
            p.latlong_index = build_latlong_index(t.fixed.data(), t.count);
            p.bytes = latlong_index_bytes(*p.latlong_index);
            return true;
        case SearchId::kS2PointIndex:
            p.point_index = build_point_index(t.xs.data(), t.ys.data(), t.zs.data(), t.count);
            p.bytes = point_index_bytes(*p.point_index);
            return true;
        default:
            return false;
    }
}

}  // namespace

bool search_built(SearchId id) {
    switch (id) {
        case SearchId::kNanoflannKdTree:
        case SearchId::kBoostRtree:
        case SearchId::kS2ClosestPoint:
        case SearchId::kFaissFlat:
            return anchor_built(id);
        default:
            return true;  // the project's own searches, in every build that has this layer
    }
}

SearchId reference_search(SearchId id) {
    switch (id) {
        case SearchId::kLatLongBruteVector:
        case SearchId::kLatLongPrunedVector:
            return SearchId::kLatLongBruteVector;
        case SearchId::kS2CellIdBrute:
        case SearchId::kFloatBruteVector:
            return id;
        default:
            break;
    }
    if (search_facts(id).kind == SearchKind::kAnchor) return SearchId::kCdcBrute;  // over the same pairs
    switch (search_facts(id).form) {
        case Form::kFixedLatLong:
            return SearchId::kLatLongBrute;
        case Form::kS2Point:
            return SearchId::kS2PointBruteVector;
        default:
            return SearchId::kCdcBrute;
    }
}

std::unique_ptr<PreparedSearch> prepare_search(SearchId id, const FormTable& table) {
    auto p = std::make_unique<PreparedSearch>();
    p->id = id;
    p->table = &table;
    p->bytes = static_cast<size_t>(table.count) * bytes_per_location(table.form);
    if (search_facts(id).kind == SearchKind::kAnchor) {
        prepare_anchor(*p);
        return p;
    }
    const std::clock_t start = std::clock();
    if (build_structure(*p)) p->build_seconds = seconds_since(start);
    return p;
}

Nearest answer_query(const PreparedSearch& p, const FormTable& queries, int q) {
    const FormTable& t = *p.table;
    const int n = t.count;
    switch (p.id) {
        case SearchId::kCdcBrute:
            return with_cdc_method(p.arrangement, [&](auto method) {
                return find_nearest<decltype(method)>(t.cdc.data(), n, cdc_query(queries, q));
            });
        case SearchId::kCdcBruteVector:
            return cdc_block_find_nearest(p.groups, queries.cdc[q]);
        case SearchId::kCdcPruned:
            return cdc_pruned_find_nearest(t.cdc.data(), n, cdc_query(queries, q));
        case SearchId::kCdcPrunedVector:
            return cdc_pruned_vector_find_nearest(p.groups, queries.cdc[q]);
        case SearchId::kCdcIndex:
            return cdc_index_find_nearest(*p.cdc_index, cdc_query(queries, q));
        case SearchId::kLatLongBrute:
            return find_nearest<LatLongMethod>(t.fixed.data(), n, from_fixed(queries.fixed[q]));
        case SearchId::kLatLongBruteVector:
            return latlong_vector_find_nearest(t.fixed.data(), n, queries.fixed[q]);
        case SearchId::kLatLongPruned:
            return latlong_pruned_find_nearest(t.fixed.data(), n, queries.fixed[q]);
        case SearchId::kLatLongPrunedVector:
            return latlong_pruned_vector_find_nearest(t.fixed.data(), n, queries.fixed[q]);
        case SearchId::kLatLongIndex:
            return latlong_index_find_nearest(*p.latlong_index, queries.fixed[q]);
        case SearchId::kS2CellIdBrute:
            return search_whole(SearchId::kS2CellIdBrute, t, queries, q);
        case SearchId::kS2PointBruteVector:
            return double_components_find_nearest(t.xs.data(), t.ys.data(), t.zs.data(), n, point_query(queries, q));
        case SearchId::kS2PointIndex:
            return point_index_find_nearest(*p.point_index, point_query(queries, q));
        case SearchId::kFloatBruteVector:
            return float_components_find_nearest(t.fxs.data(), t.fys.data(), t.fzs.data(), n, queries.fxs[q],
                                                 queries.fys[q], queries.fzs[q]);
        case SearchId::kNanoflannKdTree:
        case SearchId::kBoostRtree:
        case SearchId::kS2ClosestPoint:
        case SearchId::kFaissFlat:
            return anchor_find_nearest(*p.anchor, decode_cdc(queries.cdc[q]));
        default:
            break;  // not built here
    }
    return {kNoWinner, kStartScore};
}

}  // namespace spherebench
