// Each catalogue entry names its search's type and the header that ties the
// type to the entry: the header holds that tie, spelled with the entry's
// name (SPHEREBENCH_SEARCH_TYPE(kName, Name), or for another library's
// index `using Name = Anchor<SearchId::kName, ...>`), so a type renamed or
// moved without its entry fails here. (That each type ranks scores as its
// form does is a static_assert where make_search builds it.)
#include <gtest/gtest.h>

#include <string>

#include "base/whole_file.h"
#include "catalogue/search_catalogue.h"

using namespace spherebench;

TEST(CatalogueEntries, EachNamesItsTypeAndTheHeaderTyingIt) {
    for (const SearchFacts& facts : kSearchCatalogue) {
        const std::string entry = facts.entry, name = facts.name;
        const bool anchor = facts.kind == SearchKind::kAnchor;
        EXPECT_EQ(entry.rfind(name + (anchor ? ": " : " ("), 0), 0u) << entry;
        const size_t open = entry.rfind('('), close = entry.rfind(')');
        ASSERT_TRUE(open != std::string::npos && close == entry.size() - 1) << entry;
        const std::string header = entry.substr(open + 1, close - open - 1);
        const std::string text = read_whole_file_or_empty(std::string(SPHEREBENCH_SOURCE_DIR) + "/src/" + header);
        ASSERT_FALSE(text.empty()) << header;
        const std::string tie = anchor ? "using " + name + " = Anchor<SearchId::k" + name + ","
                                       : "SPHEREBENCH_SEARCH_TYPE(k" + name + ", " + name + ");";
        EXPECT_NE(text.find(tie), std::string::npos) << header << " lacks " << tie;
    }
}
