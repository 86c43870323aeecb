// Encodes a few airports from degrees, then finds the nearest of them to a
// few places, as the benchmark's direction-cosine search finds them.
#include "method/nearest.h"

#include <cstdio>
#include <vector>

#include "geo/cdc_encoder.h"
#include "method/cdc_method.h"

using namespace spherebench;

struct Place {
    const char* name;
    double latitude;  // degrees
    double longitude;
};

int main() {
    const std::vector<Place> airports = {
        {"London Heathrow (LHR)", 51.4706, -0.461941},    {"Paris Charles de Gaulle (CDG)", 49.012798, 2.55},
        {"Amsterdam Schiphol (AMS)", 52.308601, 4.76389}, {"Frankfurt (FRA)", 50.033333, 8.570556},
        {"Madrid Barajas (MAD)", 40.471926, -3.56264},
    };
    const std::vector<Place> places = {
        {"Brussels", 50.8467, 4.3525},
        {"Oxford", 51.752, -1.2577},
        {"Zurich", 47.3769, 8.5417},
    };

    // The airports as they are stored: two 32-bit words each.
    std::vector<CdcPair> stored;
    for (const Place& airport : airports) stored.push_back(encode_degrees(airport.latitude, airport.longitude));

    for (const Place& place : places) {
        const CdcPoint point = arrange_point(decode_cdc(encode_degrees(place.latitude, place.longitude)));
        const Nearest nearest = find_nearest<CdcMethod>(stored.data(), static_cast<int>(stored.size()), point);
        // The squared chord between unit vectors, as an angle, on the Earth.
        const double kilometres = chord2_to_arc(nearest.score) * kEarthRadiusMetres / 1000;
        std::printf("%s: %s, %.0f km\n", place.name, airports[nearest.index].name, kilometres);
    }
    return 0;
}
