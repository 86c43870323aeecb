#pragma once

// Calls of sin, cos and sincos made since the counters were last reset; a
// sincos counts as one of each.
extern int counted_sines;
extern int counted_cosines;
