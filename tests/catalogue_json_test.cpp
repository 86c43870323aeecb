// The catalogue as the suite's context hands it to the documents' renderer:
// the fields of a form and of a search as written by hand from
// search_catalogue.h and stored_form.h.
#include "catalogue/catalogue_json.h"

#include <gtest/gtest.h>

namespace spherebench {
namespace {

TEST(CatalogueJson, WritesEveryFormAndSearchWithItsFacts) {
    const std::string json = catalogue_json();
    EXPECT_EQ(json.rfind("{\"forms\": [{\"name\": \"CdcPair\", \"bytes\": 8, \"program\": true}, ", 0), 0u) << json;
    EXPECT_NE(json.find("{\"name\": \"S2Point\", \"bytes\": 24, \"program\": false}"), std::string::npos);
    EXPECT_NE(json.find("], \"searches\": [{\"name\": \"CdcBrute\", \"benchmark\": \"BM_CdcBrute\", \"form\": "
                        "\"CdcPair\", \"kind\": \"brute\", \"vector\": false, \"exact\": true, \"exhaustive\": true, "
                        "\"entry\": \"CdcBrute (method/brute_force.h)\"}, "),
              std::string::npos);
    EXPECT_NE(json.find("{\"name\": \"LatLongPrunedVector\", \"benchmark\": \"BM_LatLongPrunedVector\", \"form\": "
                        "\"FixedLatLong\", \"kind\": \"pruned\", \"vector\": true, \"exact\": true, "),
              std::string::npos);
    EXPECT_NE(json.find("{\"name\": \"FaissFlat\", \"benchmark\": \"BM_FaissFlat\", \"form\": \"FloatVector\", "
                        "\"kind\": \"anchor\", \"vector\": false, \"exact\": false, \"exhaustive\": true, "
                        "\"entry\": \"FaissFlat: faiss::IndexFlatL2 (anchors/anchor.h)\"}]}"),
              std::string::npos);
    EXPECT_NE(json.find("\"kind\": \"index\""), std::string::npos);
}

}  // namespace
}  // namespace spherebench
