// Tables of directions spread as the tables people hold are: uniform on the
// sphere, towns of many sizes, one city, a coastline or road, a few sites
// stored many times over; and queries drawn from the same spread as a
// table. The same directions on every run for the same seed.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "geo/coords.h"

namespace spherebench {

enum class TableKind { kUniform, kTowns, kCity, kLine, kRepeated };
inline constexpr TableKind kTableKinds[] = {TableKind::kUniform, TableKind::kTowns, TableKind::kCity, TableKind::kLine,
                                            TableKind::kRepeated};

// "uniform", "towns", "city", "line", "repeated".
const char* table_kind_name(TableKind kind);
std::optional<TableKind> find_table_kind(std::string_view name);

// The spreads, on an Earth of radius kEarthRadiusMetres:
// - towns: kTownCount centres uniform on the sphere; each location picks
//   town k (from 1) with weight 1 / k (Zipf's law) and lies off its centre
//   by a normal deviate of kTownSpreadMetres in each of two directions;
// - city: uniform over the disk of kCityRadiusMetres around one centre;
// - line: along a great-circle arc kLineLengthMetres long, uniformly,
//   across it within kLineWidthMetres of a middle that swings
//   kLineWiggleMetres to either side kLineWiggles times;
// - repeated: each location one of kRepeatedSites sites uniform on the
//   sphere, picked uniformly, so every site is stored count / kRepeatedSites
//   times on average.
inline constexpr int kTownCount = 2000;
inline constexpr double kTownSpreadMetres = 15000;
inline constexpr double kCityRadiusMetres = 5000;
inline constexpr double kLineLengthMetres = 3000000;
inline constexpr double kLineWidthMetres = 1000;
inline constexpr double kLineWiggleMetres = 20000;
inline constexpr int kLineWiggles = 12;
inline constexpr int kRepeatedSites = 300;

// `count` unit vectors of the kind; a table of fewer from the same seed is
// the start of a larger one. The uniform kind's are random_directions(seed).
std::vector<UnitVector> table_directions(TableKind kind, int count, uint64_t seed);

// `count` queries from the spread of table_directions(kind, any count,
// seed): near the same towns, in the same city, along the same line, at the
// same sites (exactly); uniform ones for the uniform kind. Drawn apart from
// the table's own locations.
std::vector<UnitVector> near_query_directions(TableKind kind, int count, uint64_t seed);

}  // namespace spherebench
