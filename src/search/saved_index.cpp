#include "search/saved_index.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "base/atomic_file.h"
#include "base/checksum.h"

namespace spherebench {

namespace {

constexpr char kZeros[kSavedAlignment] = {};

size_t aligned(size_t offset) { return (offset + kSavedAlignment - 1) / kSavedAlignment * kSavedAlignment; }

// A name of the header as text, where it is letters and digits alone (a
// made-up file's bytes are never copied into a message).
std::string as_text(const char* field, size_t size) {
    const std::string text(field, strnlen(field, size));
    const bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
    return plain ? text : "(unnamed)";
}

template <size_t n>
void set_text(char (&field)[n], const char* text) {
    std::memset(field, 0, n);
    std::memcpy(field, text, std::min(n - 1, std::strlen(text)));
}

uint64_t checksum_of(std::vector<std::string_view>& pieces) {
    Checksum sum;
    for (const std::string_view piece : pieces) sum.add(piece.data(), piece.size());
    return sum.value();
}

}  // namespace

void SavedWriter::value(double x) { values_.push_back(std::bit_cast<uint64_t>(x)); }

std::vector<std::string_view> SavedWriter::pieces(SearchId id, int64_t count) {
    const size_t tables = sizeof(SavedHeader) + values_.size() * 8 + arrays_.size() * sizeof(SavedArrayEntry);
    std::vector<SavedArrayEntry> entries;
    size_t end = tables;
    for (const Array& array : arrays_) {
        const size_t offset = aligned(end);
        entries.push_back({offset, array.element_bytes, array.count});
        end = offset + array.element_bytes * array.count;
    }
    SavedHeader header{};
    std::memcpy(header.mark, kSavedMark, sizeof(kSavedMark));
    header.byte_order = kSavedByteOrder;
    header.version = kSavedVersion;
    set_text(header.form, form_name(search_facts(id).form));
    set_text(header.search, search_name(id));
    header.count = static_cast<uint64_t>(count);
    header.file_size = end;
    header.values = values_.size();
    header.arrays = arrays_.size();
    header_.assign(reinterpret_cast<const char*>(&header), sizeof(header));
    table_.assign(reinterpret_cast<const char*>(entries.data()), entries.size() * sizeof(SavedArrayEntry));
    std::vector<std::string_view> pieces{
        header_, {reinterpret_cast<const char*>(values_.data()), values_.size() * 8}, table_};
    size_t at = tables;
    for (size_t k = 0; k < arrays_.size(); ++k) {
        pieces.emplace_back(kZeros, entries[k].offset - at);
        pieces.emplace_back(static_cast<const char*>(arrays_[k].data), arrays_[k].element_bytes * arrays_[k].count);
        at = entries[k].offset + pieces.back().size();
    }
    header.checksum = checksum_of(pieces);
    header_.assign(reinterpret_cast<const char*>(&header), sizeof(header));
    pieces[0] = header_;
    return pieces;
}

std::optional<std::string> SavedReader::read_header(SearchId id) {
    const auto refused = [&](const std::string& why) { return "can't open " + name_ + ": " + why; };
    const size_t size = bytes_.size;
    const bool marked = size > 0 && std::memcmp(bytes_.data, kSavedMark, std::min(size, sizeof(kSavedMark))) == 0;
    if (size == 0) return refused("it is empty");
    if (!marked) return refused("it is not a saved index (it does not begin with the saved index's mark)");
    if (size < sizeof(SavedHeader))
        return refused("it is cut short: " + std::to_string(size) + " bytes, fewer than the header's " +
                       std::to_string(sizeof(SavedHeader)));
    SavedHeader header;
    std::memcpy(&header, bytes_.data, sizeof(header));
    if (header.byte_order == kSavedByteOrderSwapped)
        return refused("it was written on a machine of the other byte order");
    if (header.byte_order != kSavedByteOrder) return refused("its byte order mark is damaged");
    if (header.version != kSavedVersion)
        return refused("it is of format version " + std::to_string(header.version) + ", " +
                       (header.version > kSavedVersion ? "newer than" : "older than") + " this build's " +
                       std::to_string(kSavedVersion));
    if (header.file_size != size)
        return refused(size < header.file_size ? "it is cut short: " + std::to_string(size) + " bytes of the " +
                                                     std::to_string(header.file_size) + " its header gives"
                                               : "it is longer than its header gives: " + std::to_string(size) +
                                                     " bytes, not " + std::to_string(header.file_size));
    SavedHeader zeroed = header;
    zeroed.checksum = 0;
    Checksum sum;
    sum.add(&zeroed, sizeof(zeroed));
    if (check_ == SavedCheck::kWhole) sum.add(bytes_.data + sizeof(header), size - sizeof(header));
    if (check_ == SavedCheck::kWhole && sum.value() != header.checksum)
        return refused("its checksum does not match its contents: it is damaged");
    const std::string form = as_text(header.form, sizeof(header.form));
    const std::string search = as_text(header.search, sizeof(header.search));
    if (search != search_name(id) || form != form_name(search_facts(id).form))
        return refused("it holds a " + search + " (of " + form + "), not a " + search_name(id));
    if (header.count > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()))
        return refused("it holds " + std::to_string(header.count) + " locations, more than an index takes");
    const uint64_t room = (size - sizeof(header)) / 8;
    if (header.values > room || header.arrays > (room - header.values) * 8 / sizeof(SavedArrayEntry))
        return refused("its tables of values and arrays run past its end");
    count_ = static_cast<int64_t>(header.count);
    values_ = header.values;
    arrays_ = header.arrays;
    return std::nullopt;
}

std::optional<uint64_t> SavedReader::next_value() {
    if (fault_) return std::nullopt;
    if (values_read_ == values_) {
        fault_ = "it holds " + std::to_string(values_) + " values, fewer than this build's index has";
        return std::nullopt;
    }
    uint64_t x;
    std::memcpy(&x, bytes_.data + sizeof(SavedHeader) + 8 * values_read_++, 8);
    return x;
}

void SavedReader::value(int32_t& x) {
    x = 0;
    const std::optional<uint64_t> read = next_value();
    if (!read) return;
    const int64_t signed_value = static_cast<int64_t>(*read);
    if (signed_value < std::numeric_limits<int32_t>::min() || signed_value > std::numeric_limits<int32_t>::max())
        fault_ = "value " + std::to_string(values_read_ - 1) + " is " + std::to_string(signed_value) +
                 ", beyond a 32-bit integer";
    else
        x = static_cast<int32_t>(signed_value);
}

void SavedReader::value(bool& x) {
    x = false;
    const std::optional<uint64_t> read = next_value();
    if (!read) return;
    if (*read > 1)
        fault_ = "value " + std::to_string(values_read_ - 1) + " is a flag holding " + std::to_string(*read);
    else
        x = *read == 1;
}

void SavedReader::value(double& x) {
    x = 0.0;
    if (const std::optional<uint64_t> read = next_value()) x = std::bit_cast<double>(*read);
}

const std::byte* SavedReader::next_array(size_t element_bytes, size_t alignment) {
    last_count_ = 0;
    if (fault_) return nullptr;
    const auto fail = [&](const std::string& why) {
        fault_ = "array " + std::to_string(arrays_read_ - 1) + " " + why;
        return nullptr;
    };
    if (arrays_read_ == arrays_) {
        fault_ = "it holds " + std::to_string(arrays_) + " arrays, fewer than this build's index has";
        return nullptr;
    }
    SavedArrayEntry entry;
    std::memcpy(&entry, bytes_.data + sizeof(SavedHeader) + 8 * values_ + sizeof(entry) * arrays_read_++,
                sizeof(entry));
    if (entry.element_bytes != element_bytes)
        return fail("has elements of " + std::to_string(entry.element_bytes) + " bytes, not " +
                    std::to_string(element_bytes));
    if (entry.offset % kSavedAlignment != 0 || entry.offset > bytes_.size ||
        entry.count > (bytes_.size - entry.offset) / element_bytes)
        return fail("lies outside the file or off its alignment");
    const std::byte* at = bytes_.data + entry.offset;
    if (reinterpret_cast<uintptr_t>(at) % alignment != 0) return fail("is not aligned in memory");
    last_count_ = entry.count;
    return at;
}

std::optional<std::string> SavedReader::failure() const {
    std::optional<std::string> fault = fault_;
    if (!fault && values_read_ != values_)
        fault = "it holds " + std::to_string(values_) + " values, more than this build's index has";
    if (!fault && arrays_read_ != arrays_)
        fault = "it holds " + std::to_string(arrays_) + " arrays, more than this build's index has";
    if (fault) return "can't open " + name_ + ": " + *fault;
    return std::nullopt;
}

std::string with_checksum(std::string bytes) {
    if (bytes.size() < sizeof(SavedHeader)) return bytes;
    SavedHeader header;
    std::memcpy(&header, bytes.data(), sizeof(header));
    header.checksum = 0;
    Checksum sum;
    sum.add(&header, sizeof(header));
    sum.add(bytes.data() + sizeof(header), bytes.size() - sizeof(header));
    header.checksum = sum.value();
    std::memcpy(bytes.data(), &header, sizeof(header));
    return bytes;
}

SharedBytes copied_bytes(std::string_view bytes) {
    // Whole 64-byte blocks, so every array's offset stays aligned.
    struct alignas(kSavedAlignment) Block {
        std::byte bytes[kSavedAlignment];
    };
    auto buffer = std::make_shared<std::vector<Block>>((bytes.size() + kSavedAlignment - 1) / kSavedAlignment);
    if (!bytes.empty()) std::memcpy(buffer->data(), bytes.data(), bytes.size());
    const std::byte* data = buffer->empty() ? nullptr : buffer->front().bytes;
    return {data, bytes.size(), std::shared_ptr<const void>(buffer, data)};
}

std::optional<std::string> write_saved_pieces(const std::string& path, const std::vector<std::string_view>& pieces) {
    AtomicFile file;
    if (auto failure = file.open(path)) return failure;
    return file.commit_pieces(pieces);
}

}  // namespace spherebench
