// The vector searches' part of the suite (vector_benchmarks.cpp), built when
// Highway and SLEEF are found.
#pragma once

// Checks that the direction-cosine vector search finds, for every point at
// every airport count of the suite, the same winner with the same score bit
// for bit as find_nearest<CdcMethod>; prints any difference. Also measures
// how often the lat/long vector search agrees with find_nearest<LatLongMethod>
// and reports it (standard error and the benchmark context).
bool vector_searches_agree();
