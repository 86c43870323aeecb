// The one file format of every saved index (docs/SAVED_INDEX.md): a header
// of 128 bytes (a mark, the byte order, the format version, the stored form
// and the search by name, the count of locations, the file's size, how many
// values and arrays follow, and a checksum of the whole file), then the
// structure's values (8 bytes each), a table of its arrays (offset, bytes
// an element, elements), and the arrays themselves, each at an offset that
// is a multiple of 64. Opening maps the file read-only and points the
// index's arrays (base/stored_array.h) into the mapping: nothing is copied
// or rebuilt, and processes that open one file share its pages.
//
// A structure lists its values and arrays once, in a function
// `fields(io, structure)` beside it, which both the writer and the reader
// walk: a member added or changed is one line there (and a new version).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/mapped_file.h"
#include "base/stored_array.h"
#include "catalogue/search_catalogue.h"
#include "search/face_index.h"

namespace spherebench {

inline constexpr char kSavedMark[8] = {'\x89', 'S', 'B', 'I', 'N', 'D', 'X', '\n'};
inline constexpr uint32_t kSavedByteOrder = 0x01020304;
inline constexpr uint32_t kSavedByteOrderSwapped = 0x04030201;  // as the other order reads it
inline constexpr uint32_t kSavedVersion = 2;
inline constexpr size_t kSavedAlignment = 64;  // of every array's offset

struct SavedHeader {
    char mark[8];
    uint32_t byte_order;
    uint32_t version;
    char form[16];    // the stored form's name (geo/stored_form.h), 0-padded
    char search[32];  // the search's catalogue name, 0-padded
    uint64_t count;   // locations
    uint64_t file_size;
    uint64_t values;    // 8-byte values after the header
    uint64_t arrays;    // entries of the array table after the values
    uint64_t checksum;  // Checksum of the whole file with this field 0
    uint8_t reserved[24];
};
static_assert(sizeof(SavedHeader) == 128);

struct SavedArrayEntry {
    uint64_t offset;  // from the file's start
    uint64_t element_bytes;
    uint64_t count;
};

// How much opening checks. kWhole: everything (the checksum, and every
// range a search reads by), reading the whole file once, so that no file
// gives a wrong answer or leads a search outside its arrays. kHeader: the
// header, the tables and the structure's sizes only, reading a few pages;
// for a file this program wrote and nothing changed since, as a damaged
// one may then give wrong answers or end the process.
enum class SavedCheck { kWhole, kHeader };

// Collects a structure's values and arrays, then lays out the file.
class SavedWriter {
  public:
    void value(int32_t x) { values_.push_back(static_cast<uint64_t>(static_cast<int64_t>(x))); }
    void value(bool x) { values_.push_back(x ? 1 : 0); }
    void value(double x);
    template <typename T>
    void array(const StoredArray<T>& a) {
        arrays_.push_back({a.data(), sizeof(T), a.size()});
    }

    // The file's bytes in order, for search `id` over `count` locations:
    // views of the header, the tables and the arrays themselves, valid
    // while this writer and the structure last.
    std::vector<std::string_view> pieces(SearchId id, int64_t count);

  private:
    struct Array {
        const void* data;
        size_t element_bytes, count;
    };
    std::vector<uint64_t> values_;
    std::vector<Array> arrays_;
    std::string header_, table_;
};

// Reads a structure's values and arrays from a saved file's bytes, after
// read_header; the first fault is kept (and the later reads give empty
// arrays and zeros), so a structure's `fields` runs straight through.
class SavedReader {
  public:
    SavedReader(SharedBytes bytes, std::string name, SavedCheck check)
        : bytes_(std::move(bytes)), name_(std::move(name)), check_(check) {}

    // Checks everything the header says (mark, byte order, version, size,
    // checksum unless kHeader, form and search) before any value is read.
    std::optional<std::string> read_header(SearchId id);
    int64_t count() const { return count_; }
    SavedCheck check() const { return check_; }

    void value(int32_t& x);
    void value(bool& x);
    void value(double& x);
    template <typename T>
    void array(StoredArray<T>& a) {
        const std::byte* at = next_array(sizeof(T), alignof(T));
        a = at ? StoredArray<T>::shared(reinterpret_cast<const T*>(at), last_count_, bytes_.keeper) : StoredArray<T>{};
    }
    // Records a fault found by the structure's own checks.
    void refuse(const std::optional<std::string>& fault) {
        if (fault && !fault_) fault_ = *fault;
    }
    // The first fault, as "can't open NAME: fault", with a check that every
    // value and array of the file was read.
    std::optional<std::string> failure() const;

  private:
    const std::byte* next_array(size_t element_bytes, size_t alignment);
    std::optional<uint64_t> next_value();

    SharedBytes bytes_;
    std::string name_;
    SavedCheck check_;
    std::optional<std::string> fault_;
    int64_t count_ = 0;
    uint64_t values_ = 0, arrays_ = 0;  // in the file
    uint64_t values_read_ = 0, arrays_read_ = 0;
    size_t last_count_ = 0;
};

// What an index's fields must hold for its search to stay in bounds: its
// grid's or tree's arrays of their sizes, its faces' ranges within `count`
// entries and its tree's nodes within its arrays, its entries' arrays (of
// the sizes given) and table indices each of `count`; with kWhole also its
// cells in order, its run bits on nodes with members and the table indices
// a permutation of 0 .. count - 1.
std::optional<std::string> saved_fault(const FaceIndex& index, const std::vector<size_t>& entry_sizes,
                                       const StoredArray<int32_t>& indices, int64_t count, SavedCheck check);

// An index opened, or why not.
template <typename Index>
struct Opened {
    std::optional<Index> index;
    std::string failure;
};

// Writes the index's file at `path` whole or not at all; `fields` lists it.
template <typename Fields>
std::optional<std::string> save_index(const std::string& path, SearchId id, int64_t count, Fields fields);

// The file's bytes in one string (for a copy in memory, such as a pickle).
template <typename Fields>
std::string saved_bytes(SearchId id, int64_t count, Fields fields) {
    SavedWriter writer;
    fields(writer);
    std::string bytes;
    for (const std::string_view piece : writer.pieces(id, count)) bytes.append(piece);
    return bytes;
}

// Opens a saved index from bytes (named `name` in messages) by read(reader),
// which lists the index's fields and checks them.
template <typename Index, typename Read>
Opened<Index> open_saved_bytes(SearchId id, SharedBytes bytes, const std::string& name, SavedCheck check, Read read) {
    SavedReader reader(std::move(bytes), name, check);
    if (auto failure = reader.read_header(id)) return {std::nullopt, *failure};
    std::optional<Index> index = read(reader);
    if (auto failure = reader.failure()) return {std::nullopt, *failure};
    return {std::move(index), {}};
}

// Maps the file at `path` and opens it by open_bytes(bytes, path); refuses
// a file that changed (its size or time of change) while it was opened.
template <typename Index, typename OpenBytes>
Opened<Index> open_saved_file(const std::string& path, OpenBytes open_bytes) {
    MappedFile mapped;
    if (auto failure = map_file(path, mapped)) return {std::nullopt, *failure};
    Opened<Index> opened = open_bytes(mapped.bytes, path);
    if (opened.index && stamp_of(path) != std::optional<FileStamp>(mapped.stamp))
        return {std::nullopt, "can't open " + path + ": it changed while it was being opened"};
    return opened;
}

// The bytes of the arrays a structure's `fields` list.
struct ArrayBytes {
    size_t bytes = 0;
    template <typename T>
    void value(const T&) {}
    template <typename T>
    void array(const StoredArray<T>& a) {
        bytes += a.capacity() * sizeof(T);
    }
};

// save, saved_bytes, open, open_bytes and bytes for an index type, its search `id`
// fixed: the index lists its values and arrays in `fields(io, index)` and
// checks an opened one's in `opened_fault(count, check)` (both may be
// private, with this class a friend).
template <typename Index, SearchId id>
class SavedIndex {
  public:
    // The index saved at `path`, written whole or not at all; on failure why.
    std::optional<std::string> save(const std::string& path) const {
        return save_index(path, id, self().size(), [&](SavedWriter& io) { Index::fields(io, self()); });
    }
    std::string saved_bytes() const {
        return spherebench::saved_bytes(id, self().size(), [&](SavedWriter& io) { Index::fields(io, self()); });
    }
    // A saved index opened: the file mapped, the arrays read where they lie;
    // it answers as the index saved, bit for bit. It has no table: score_at
    // finds the location among its entries.
    static Opened<Index> open(const std::string& path, SavedCheck check = SavedCheck::kWhole) {
        return open_saved_file<Index>(path, [&](SharedBytes bytes, const std::string& name) {
            return open_bytes(std::move(bytes), name, check);
        });
    }
    // All the memory the index holds: itself and every array its fields list.
    size_t bytes() const {
        ArrayBytes counter;
        Index::fields(counter, self());
        return sizeof(Index) + counter.bytes;
    }
    static Opened<Index> open_bytes(SharedBytes bytes, const std::string& name, SavedCheck check = SavedCheck::kWhole) {
        return open_saved_bytes<Index>(id, std::move(bytes), name, check, [](SavedReader& io) {
            Index index;
            Index::fields(io, index);
            io.refuse(index.opened_fault(io.count(), io.check()));
            return std::optional<Index>(std::move(index));
        });
    }

  private:
    const Index& self() const { return static_cast<const Index&>(*this); }
};

// The header's checksum made again for the bytes as they are (unchanged if
// shorter than a header): a file changed on purpose, in tests, to reach the
// checks behind the checksum.
std::string with_checksum(std::string bytes);

// SharedBytes of a copy of `bytes` in a buffer of its own, aligned for any
// array.
SharedBytes copied_bytes(std::string_view bytes);

std::optional<std::string> write_saved_pieces(const std::string& path, const std::vector<std::string_view>& pieces);

template <typename Fields>
std::optional<std::string> save_index(const std::string& path, SearchId id, int64_t count, Fields fields) {
    SavedWriter writer;
    fields(writer);
    return write_saved_pieces(path, writer.pieces(id, count));
}

}  // namespace spherebench
