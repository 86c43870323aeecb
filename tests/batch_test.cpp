// Batches find what asking one query at a time finds, bit for bit: on any
// number of threads, and along a path with each search started from the
// previous answer (a real candidate, so nothing nearer is lost and ties still
// go to the lowest index), for every search of the catalogue.
#include <gtest/gtest.h>

#include <vector>

#include "query/query_tables.h"
#include "query/search.h"

using namespace spherebench;

namespace {

TEST(Batch, SameAnswersOnThreadsAndAlongAPath) {
    for (const SearchFacts& facts : kSearchCatalogue) {
        if (!search_built(facts.id)) continue;
        // A repeated table: ties between copies at every step of the path.
        for (const TableKind kind : {TableKind::kUniform, TableKind::kRepeated}) {
            const FormTable table = make_kind_table(table_form(facts.id), kind, 2000, 5);
            const auto search = make_search(facts.id, table);
            for (const QueryKind queries_kind : {QueryKind::kPath, QueryKind::kNear}) {
                const FormTable queries = make_query_table(table.form, queries_kind, 300, kind, 5);
                for (const Batch batch : {Batch{1, true}, Batch{3, true}, Batch{2, false}}) {
                    std::vector<Nearest> answers(250);
                    search->nearest_all(queries, 50, 250, answers.data(), batch);
                    for (int i = 0; i < 250; ++i)
                        ASSERT_TRUE(same_answer(answers[i], search->nearest(queries, 50 + i)))
                            << facts.name << " on " << table_kind_name(kind) << ", query " << 50 + i << ", "
                            << batch.threads << " threads";
                }
            }
        }
    }
}

}  // namespace
