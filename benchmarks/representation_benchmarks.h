// The searches of the other stored forms (tools/representations.h), timed on
// the suite's tables: see representation_benchmarks.cpp.
#pragma once

// Checks that every form's tables hold the suite's directions, index for
// index, and counts how often each form's search finds the direction-cosine
// pass's winner (a figure, printed and added to the JSON context: near-ties
// may split the forms). False, with a message, if a table is not the suite's
// or a search agrees at fewer than 99 % of the searches.
bool representations_agree();
