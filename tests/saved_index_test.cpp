// Saved indexes: opened, each answers as the index built in memory, bit for
// bit; every damaged, cut, foreign or changed file is refused with a line
// naming the file and the fault.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "base/checksum.h"
#include "geo/cdc_encoder.h"
#include "method/result_sets.h"
#include "random/table_kinds.h"
#include "search/cdc_index.h"
#include "search/latlong_index.h"
#include "search/point_index.h"
#include "temp_folder.h"

using namespace spherebench;

namespace {

struct Tables {
    std::vector<CdcPair> pairs;
    std::vector<FixedLatLong> fixed;
    std::vector<double> xs, ys, zs;
};

Tables tables_of(const std::vector<UnitVector>& directions) {
    Tables t;
    for (const UnitVector v : directions) {
        t.pairs.push_back(encode_cdc(v));
        t.fixed.push_back(cdc_to_fixed(t.pairs.back()));
        const UnitVector d = decode_cdc(t.pairs.back());
        t.xs.push_back(d.x), t.ys.push_back(d.y), t.zs.push_back(d.z);
    }
    return t;
}

// The nearest, the 7 nearest and everything within the 7th's score, of
// both indexes, alike bit for bit.
template <typename Index, typename Query>
void expect_same_answers(const Index& built, const Index& opened, const std::vector<Query>& queries) {
    for (size_t i = 0; i < queries.size(); ++i) {
        const Nearest expected = built.nearest(queries[i]), got = opened.nearest(queries[i]);
        ASSERT_TRUE(same_answer(expected, got)) << "query " << i << ": " << got.index << " not " << expected.index;
        const std::vector<Nearest> k = nearest_k(built, queries[i], 7), opened_k = nearest_k(opened, queries[i], 7);
        ASSERT_EQ(k.size(), opened_k.size());
        for (size_t j = 0; j < k.size(); ++j) ASSERT_TRUE(same_answer(k[j], opened_k[j])) << "query " << i;
        if (k.empty()) continue;
        const std::vector<Nearest> within = nearest_within(built, queries[i], k.back().score);
        const std::vector<Nearest> opened_within = nearest_within(opened, queries[i], k.back().score);
        ASSERT_EQ(within.size(), opened_within.size());
        for (size_t j = 0; j < within.size(); ++j) ASSERT_TRUE(same_answer(within[j], opened_within[j]));
        ASSERT_EQ(std::bit_cast<uint64_t>(built.score_at(queries[i], expected.index)),
                  std::bit_cast<uint64_t>(opened.score_at(queries[i], expected.index)));
    }
}

std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

template <typename T>
std::string with_field(std::string bytes, size_t offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof(value));
    return with_checksum(bytes);
}

template <typename Index = CdcIndex>
std::string refusal(const std::string& bytes) {
    const Opened<Index> opened = Index::open_bytes(copied_bytes(bytes), "idx.sbi");
    EXPECT_FALSE(opened.index);
    return opened.failure;
}

// Counts a structure's values up to the one at `wanted`.
struct ValuePlaces {
    const void* wanted;
    size_t at = 0, found = SIZE_MAX;
    template <typename T>
    void value(const T& x) {
        if (&x == wanted) found = at;
        ++at;
    }
    template <typename T>
    void array(const T&) {}
};

// Where a face's field stands among the tree's values (tree_fields).
template <typename Field>
size_t value_place(Field FaceSpan::*field, int face) {
    const FaceTree tree;
    ValuePlaces places{&(tree.faces[face].*field)};
    tree_fields(places, tree);
    return places.found;
}

class SavedIndex : public TempFolderTest {
  protected:
    template <typename Index>
    void expect_every_cut_and_flip_refused(const std::string& bytes);
};

TEST_F(SavedIndex, EveryIndexOpensToItsAnswersOnGridAndTree) {
    // Uniform tables take the grid, a city's the tree; the empty and the
    // one-location tables the least of either.
    for (const TableKind kind : {TableKind::kUniform, TableKind::kCity, TableKind::kRepeated})
        for (const int count : {0, 1, 3000}) {
            SCOPED_TRACE(std::string(table_kind_name(kind)) + " " + std::to_string(count));
            const Tables t = tables_of(table_directions(kind, count, 7));
            const Tables q = tables_of(near_query_directions(kind, 300, 7));
            const int n = count;
            const std::string path = (work_ / "index").string();

            const CdcIndex cdc(t.pairs.data(), n);
            ASSERT_EQ(cdc.save(path), std::nullopt);
            EXPECT_EQ(contents(path), cdc.saved_bytes());
            const Opened<CdcIndex> cdc_opened = CdcIndex::open(path);
            ASSERT_TRUE(cdc_opened.index) << cdc_opened.failure;
            std::vector<CdcPoint> points;
            for (const CdcPair pair : q.pairs) points.push_back(arrange_point(decode_cdc(pair)));
            expect_same_answers(cdc, *cdc_opened.index, points);
            EXPECT_EQ(cdc_opened.index->saved_bytes(), cdc.saved_bytes());

            const LatLongIndex latlong(t.fixed.data(), n);
            ASSERT_EQ(latlong.save(path), std::nullopt);
            const Opened<LatLongIndex> latlong_opened = LatLongIndex::open(path);
            ASSERT_TRUE(latlong_opened.index) << latlong_opened.failure;
            expect_same_answers(latlong, *latlong_opened.index, q.fixed);

            const S2PointIndex point({t.xs.data(), t.ys.data(), t.zs.data()}, n);
            const Opened<S2PointIndex> point_opened = S2PointIndex::open_bytes(copied_bytes(point.saved_bytes()), "x");
            ASSERT_TRUE(point_opened.index) << point_opened.failure;
            std::vector<UnitVector> vectors;
            for (size_t i = 0; i < q.xs.size(); ++i) vectors.push_back({q.xs[i], q.ys[i], q.zs[i]});
            expect_same_answers(point, *point_opened.index, vectors);
        }
}

// Small files: of a grid (40 locations spread over the faces), and of a
// tree (a city's 200 crowd a grid's cell) of float boxes, and of splits
// (CdcIndex takes a grid under 1000 or so).
struct SmallFiles {
    Tables spread = tables_of(table_directions(TableKind::kUniform, 40, 3));
    std::string cdc = CdcIndex(spread.pairs.data(), 40).saved_bytes();
    Tables city = tables_of(table_directions(TableKind::kCity, 200, 3));
    std::string tree = LatLongIndex(city.fixed.data(), 200).saved_bytes();
    Tables crowd = tables_of(table_directions(TableKind::kCity, 1000, 3));
    std::string split_tree = CdcIndex(crowd.pairs.data(), 1000).saved_bytes();
};

TEST_F(SavedIndex, EveryCutAndEveryFlippedByteRefused) {
    const SmallFiles files;
    expect_every_cut_and_flip_refused<LatLongIndex>(files.tree);
    expect_every_cut_and_flip_refused<CdcIndex>(files.cdc);
    expect_every_cut_and_flip_refused<CdcIndex>(files.split_tree);
}

template <typename Index>
void SavedIndex::expect_every_cut_and_flip_refused(const std::string& bytes) {
    ASSERT_TRUE(Index::open_bytes(copied_bytes(bytes), "idx.sbi").index);
    const std::string path = (work_ / "idx.sbi").string();
    // Every length in memory, a few of them as files.
    for (size_t size = 0; size < bytes.size(); ++size) {
        const bool as_file = size < 2 || size == 127 || size == 128 || size + 1 == bytes.size();
        if (as_file) write(path, bytes.substr(0, size));
        const Opened<Index> opened =
            as_file ? Index::open(path) : Index::open_bytes(copied_bytes(bytes.substr(0, size)), path);
        ASSERT_FALSE(opened.index) << size;
        const std::string why = size == 0 ? "it is empty" : "it is cut short";
        ASSERT_EQ(opened.failure.rfind("can't open " + path + ": " + why, 0), 0u) << opened.failure;
    }
    write(path, bytes + "x");
    EXPECT_EQ(Index::open(path).failure,
              "can't open " + path + ": it is longer than its header gives: " + std::to_string(bytes.size() + 1) +
                  " bytes, not " + std::to_string(bytes.size()));
    for (size_t at = 0; at < bytes.size(); ++at) {
        std::string changed = bytes;
        changed[at] = static_cast<char>(changed[at] ^ (at % 2 ? 0x80 : 0x01));
        ASSERT_EQ(refusal<Index>(changed).rfind("can't open idx.sbi: ", 0), 0u) << at;
    }
    std::string damaged = bytes;
    damaged.back() ^= 4;
    EXPECT_EQ(refusal<Index>(damaged), "can't open idx.sbi: its checksum does not match its contents: it is damaged");
}

TEST_F(SavedIndex, ForeignFilesRefusedByWhatTheyAre) {
    const SmallFiles files;
    EXPECT_EQ(refusal("latitude,longitude\n1,2\n"),
              "can't open idx.sbi: it is not a saved index (it does not begin with the saved index's mark)");
    EXPECT_EQ(refusal(files.tree), "can't open idx.sbi: it holds a LatLongIndex (of FixedLatLong), not a CdcIndex");
    EXPECT_EQ(refusal(with_field(files.cdc, offsetof(SavedHeader, byte_order), kSavedByteOrderSwapped)),
              "can't open idx.sbi: it was written on a machine of the other byte order");
    EXPECT_EQ(refusal(with_field(files.cdc, offsetof(SavedHeader, version), kSavedVersion + 1)),
              "can't open idx.sbi: it is of format version 3, newer than this build's 2");
    // Version 1 kept a budgeted tree's boxes as codes, which version 2 would misread.
    EXPECT_EQ(refusal(with_field(files.cdc, offsetof(SavedHeader, version), uint32_t{1})),
              "can't open idx.sbi: it is of format version 1, older than this build's 2");
    EXPECT_EQ(refusal(with_field(files.cdc, offsetof(SavedHeader, version), uint32_t{0})),
              "can't open idx.sbi: it is of format version 0, older than this build's 2");
    const std::string folder = work_.string();
    EXPECT_EQ(CdcIndex::open(folder).failure, "can't open " + folder + ": it is a directory");
    EXPECT_EQ(CdcIndex::open(folder + "/none").failure, "can't open " + folder + "/none: No such file or directory");
}

TEST_F(SavedIndex, MadeUpStructuresRefusedBehindAGoodChecksum) {
    const std::string bytes = SmallFiles().tree;
    const auto refusal = [](const std::string& made) { return ::refusal<LatLongIndex>(made); };
    // The count of the header against the arrays.
    EXPECT_EQ(refusal(with_field(bytes, offsetof(SavedHeader, count), uint64_t{201})),
              "can't open idx.sbi: its tree's faces do not hold its 201 entries");
    // The last table index made the same as another.
    std::string twice = bytes;
    std::memcpy(twice.data() + twice.size() - 4, twice.data() + twice.size() - 8, 4);
    EXPECT_EQ(refusal(with_checksum(twice)), "can't open idx.sbi: its table indices are not each location's once");
    // Values: the first is the flag of the grid, then the tree's fields,
    // whose places tree_fields gives.
    const size_t values = sizeof(SavedHeader);
    ASSERT_EQ(bytes[values], 0);
    EXPECT_EQ(refusal(with_field(bytes, values, uint64_t{2})), "can't open idx.sbi: value 0 is a flag holding 2");
    for (int face = 0; face < kFaces; ++face) {
        const size_t count = values + 8 * (1 + value_place(&FaceSpan::count, face));
        const size_t depth = values + 8 * (1 + value_place(&FaceSpan::depth, face));
        int64_t held;
        std::memcpy(&held, bytes.data() + count, 8);
        if (held == 0) continue;  // an empty face's depth is never read
        EXPECT_EQ(refusal(with_field(bytes, depth, int64_t{31})),
                  "can't open idx.sbi: its tree's face " + std::to_string(face) + " is 31 deep");
        EXPECT_EQ(refusal(with_field(bytes, depth, int64_t{1} << 40)),
                  "can't open idx.sbi: value " + std::to_string((depth - values) / 8) +
                      " is 1099511627776, beyond a 32-bit integer");
    }
    // A tree of splits whose face's splits would lie past its array.
    const std::string splits = SmallFiles().split_tree;
    ASSERT_EQ(splits[values], 0);
    for (int face = 0; face < kFaces; ++face) {
        int64_t held;
        std::memcpy(&held, splits.data() + values + 8 * (1 + value_place(&FaceSpan::count, face)), 8);
        if (held == 0) continue;
        const size_t first_split = values + 8 * (1 + value_place(&FaceSpan::first_split, face));
        EXPECT_EQ(::refusal<CdcIndex>(with_field(splits, first_split, int64_t{1000})),
                  "can't open idx.sbi: its tree's face " + std::to_string(face) + " has nodes past its boxes");
    }
    // More arrays than the index reads, and a wrong size of element.
    EXPECT_EQ(refusal(with_field(bytes, offsetof(SavedHeader, arrays), uint64_t{3})),
              "can't open idx.sbi: it holds 3 arrays, fewer than this build's index has");
}

TEST_F(SavedIndex, HeaderCheckReadsNoContentsButRefusesWhatItsHeaderShows) {
    const SmallFiles files;
    const std::string path = (work_ / "idx.sbi").string();
    write(path, files.tree);
    const Opened<LatLongIndex> whole = LatLongIndex::open(path);
    const Opened<LatLongIndex> quick = LatLongIndex::open(path, SavedCheck::kHeader);
    ASSERT_TRUE(whole.index && quick.index);
    expect_same_answers(*whole.index, *quick.index, files.spread.fixed);
    write(path, files.tree.substr(0, files.tree.size() - 1));
    EXPECT_NE(LatLongIndex::open(path, SavedCheck::kHeader).failure.find("it is cut short"), std::string::npos);
    write(path, with_field(files.tree, offsetof(SavedHeader, version), kSavedVersion + 1));
    EXPECT_NE(LatLongIndex::open(path, SavedCheck::kHeader).failure.find("format version 3"), std::string::npos);
    // The contents go unread: a changed byte among them is not seen.
    std::string changed = files.tree;
    changed.back() ^= 1;
    write(path, changed);
    EXPECT_TRUE(LatLongIndex::open(path, SavedCheck::kHeader).index);
    EXPECT_FALSE(LatLongIndex::open(path).index);
}

TEST_F(SavedIndex, FileChangedWhileOpeningRefused) {
    const std::string path = (work_ / "idx.sbi").string();
    const SmallFiles files;
    write(path, files.cdc);
    const Opened<CdcIndex> opened = open_saved_file<CdcIndex>(path, [&](SharedBytes bytes, const std::string& name) {
        write(path, files.cdc + files.cdc);
        return CdcIndex::open_bytes(bytes, name);
    });
    EXPECT_EQ(opened.failure, "can't open " + path + ": it changed while it was being opened");
    // Saving over an opened index replaces the file: the one opened reads on.
    write(path, files.cdc);
    const Opened<CdcIndex> kept = CdcIndex::open(path);
    ASSERT_TRUE(kept.index);
    ASSERT_EQ(CdcIndex(files.spread.pairs.data(), 1).save(path), std::nullopt);
    EXPECT_EQ(kept.index->size(), 40);
    EXPECT_EQ(kept.index->saved_bytes(), files.cdc);
}

}  // namespace
