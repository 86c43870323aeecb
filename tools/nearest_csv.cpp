// nearest-csv: the nearest locations of a CSV file of fixes, from an index
// built from a CSV file of locations or saved before (nearest-csv --help).
#include <ios>

#include "nearest_csv/nearest_command.h"

int main(int argc, char** argv) {
    // Standard input is read through std::cin alone and the rows written
    // through stdio alone: neither need wait for the other.
    std::ios::sync_with_stdio(false);
    return spherebench::run_nearest_csv(argc, argv);
}
