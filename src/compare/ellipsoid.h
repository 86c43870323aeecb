// The nearest airport on the WGS84 ellipsoid against the nearest on the
// sphere, at every point of the bundled path: what representations-report
// sets the stored forms' precision beside.
#pragma once

#include <vector>

#include "measure/bundled_measures.h"

namespace spherebench {

// At one point: the nearest two airports by WGS84 geodesic distance, and the
// geodesic distances of the sphere's nearest two.
struct EllipsoidCall {
    NearestTwo<double> geodesic;
    double sphere_nearest_metres = 0, sphere_second_metres = 0;

    // How much farther along the geodesic the sphere's answer is.
    double excess() const { return sphere_nearest_metres - geodesic.nearest_metres; }
};

struct EllipsoidComparison {
    std::vector<EllipsoidCall> calls;     // per point of the path
    std::vector<int> differ;              // points whose nearest airports differ, least excess first
    std::vector<int> by_geodesic_margin;  // every point, the closest geodesic call first
    double worst_excess = 0;              // of the points that differ, in metres
    double worst_excess_share = 0;        // and as a share of the distance
    // Per point not on an airport (the path's ends are): the runner-up's
    // geodesic distance against the nearest's scaled as the sphere has them,
    // zero if the ellipsoid only rescaled distances.
    std::vector<double> shifts;
    double worst_shift = 0, median_shift = 0;
};

EllipsoidComparison compare_with_ellipsoid(const BundledData& data);

// The least and the greatest radius of curvature of the WGS84 ellipsoid, in
// metres: along the meridian at the equator, and at the poles.
double least_curvature_radius();
double greatest_curvature_radius();

}  // namespace spherebench
