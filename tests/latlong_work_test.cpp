// The latitude/longitude pass must evaluate two sines and three cosines in
// every test: the point's own sine and cosine are part of what it measures.
// Compilers like to hoist those of a loop-invariant latitude out of the
// search loop; this test counts the calls the compiled loop really makes.
#include <gtest/gtest.h>

#include "math_call_counter.h"
#include "method/latlong_method.h"
#include "pass/pass.h"
#include "pass/pass_method.h"

using namespace spherebench;

namespace {

TEST(LatLongWork, EveryTestEvaluatesTwoSinesAndThreeCosines) {
    AirportTable airports;
    airports.count = 1000;
    for (int j = 0; j < airports.count; ++j) airports.fixed[j] = {j * 1000003, j * -2000003};
    FlightLine flight_line;
    flight_line.fixed[0] = {123456789, -987654321};
    flight_line.count = 1;

    counted_sines = counted_cosines = 0;
    const Nearest nearest = find_nearest<LatLongMethod>(stored_airports<LatLongMethod>(airports), airports.count,
                                                        pass_point<LatLongMethod>(flight_line, 0));
    EXPECT_NE(nearest.index, kNoWinner);
    EXPECT_EQ(counted_sines, 2 * airports.count);
    EXPECT_EQ(counted_cosines, 3 * airports.count);
}

}  // namespace
