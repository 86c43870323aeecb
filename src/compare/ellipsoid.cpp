#include "compare/ellipsoid.h"

#include <GeographicLib/Geodesic.hpp>
#include <algorithm>
#include <cmath>

#include "base/median.h"

namespace spherebench {

namespace {

const GeographicLib::Geodesic& wgs84() { return GeographicLib::Geodesic::WGS84(); }

EllipsoidCall ellipsoid_call(const BundledData& data, int i) {
    const double lat = static_cast<double>(data.path[i].latitude), lon = static_cast<double>(data.path[i].longitude);
    EllipsoidCall call;
    for (int j = 0; j < static_cast<int>(data.sources.size()); ++j) {
        double metres;
        wgs84().Inverse(lat, lon, data.sources[j].latitude, data.sources[j].longitude, metres);
        if (j == data.truth[i].nearest) call.sphere_nearest_metres = metres;
        if (j == data.truth[i].second) call.sphere_second_metres = metres;
        call.geodesic.offer(j, metres);
    }
    return call;
}

}  // namespace

EllipsoidComparison compare_with_ellipsoid(const BundledData& data) {
    const int points = data.line.count;
    EllipsoidComparison e;
    for (int i = 0; i < points; ++i) {
        const EllipsoidCall& c = e.calls.emplace_back(ellipsoid_call(data, i));
        const NearestAirports& t = data.truth[i];
        if (t.nearest_metres >= 1) {
            const double scale = static_cast<double>(t.second_metres / t.nearest_metres);
            e.shifts.push_back(std::fabs(c.sphere_second_metres - c.sphere_nearest_metres * scale));
        }
        if (c.geodesic.nearest != t.nearest) {
            e.differ.push_back(i);
            e.worst_excess = std::max(e.worst_excess, c.excess());
            e.worst_excess_share = std::max(e.worst_excess_share, c.excess() / c.geodesic.nearest_metres);
        }
        e.by_geodesic_margin.push_back(i);
    }
    std::sort(e.differ.begin(), e.differ.end(),
              [&](int a, int b) { return e.calls[a].excess() < e.calls[b].excess(); });
    std::stable_sort(e.by_geodesic_margin.begin(), e.by_geodesic_margin.end(), [&](int a, int b) {
        const NearestTwo<double>&ga = e.calls[a].geodesic, &gb = e.calls[b].geodesic;
        return ga.second_metres - ga.nearest_metres < gb.second_metres - gb.nearest_metres;
    });
    e.worst_shift = *std::max_element(e.shifts.begin(), e.shifts.end());
    e.median_shift = median(e.shifts);
    return e;
}

// a (1 - e^2) and a^2 / b = a / (1 - f), with e^2 = f (2 - f).
double least_curvature_radius() {
    const double f = wgs84().Flattening();
    return wgs84().EquatorialRadius() * (1 - f * (2 - f));
}

double greatest_curvature_radius() { return wgs84().EquatorialRadius() / (1 - wgs84().Flattening()); }

}  // namespace spherebench
