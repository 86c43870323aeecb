// nearest-csv: the nearest locations of a CSV file of fixes, from an index
// built from a CSV file of locations or saved before (nearest-csv --help).
#include "nearest_csv/nearest_command.h"

int main(int argc, char** argv) { return spherebench::run_nearest_csv(argc, argv); }
