// The Index's saved form: save(), Index.open(), pickling through the same
// bytes, its pairs as a read-only array and its repr.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl/filesystem.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "python/module_parts.h"

namespace py = pybind11;

namespace spherebench {

namespace {

[[noreturn]] void raise_os_error(const std::string& message) {
    PyErr_SetString(PyExc_OSError, message.c_str());
    throw py::error_already_set();
}

void save(const SearchTable& table, const std::filesystem::path& path) {
    std::optional<std::string> failure;
    {
        py::gil_scoped_release release;
        failure = table.save(path.string());
    }
    if (failure) raise_os_error(*failure);
}

SearchTable open_saved(const std::filesystem::path& path, bool check) {
    Opened<CdcIndex> opened;
    {
        py::gil_scoped_release release;
        opened = CdcIndex::open(path.string(), check ? SavedCheck::kWhole : SavedCheck::kHeader);
    }
    if (!opened.index) raise_os_error(opened.failure);
    return SearchTable(std::move(*opened.index));
}

// The table's pairs, uint32 (N, 2), read-only: a copy in table order.
py::array_t<uint32_t> table_pairs_array(const SearchTable& table) {
    const std::vector<CdcPair> pairs = table.pairs();
    py::array_t<uint32_t> words({static_cast<py::ssize_t>(pairs.size()), py::ssize_t{2}});
    if (!pairs.empty()) std::memcpy(words.mutable_data(), pairs.data(), pairs.size() * sizeof(CdcPair));
    words.attr("setflags")(py::arg("write") = false);
    return words;
}

// Pickled as the search's name and, for the index, its saved form (opened
// again without a rebuild), else the pairs' words.
py::tuple pickled(const SearchTable& table) {
    const bool indexed = table.search() == PassSearch::kIndexed;
    std::string bytes;
    if (indexed)
        bytes = table.saved_bytes();
    else {
        const std::vector<CdcPair> pairs = table.pairs();
        bytes.assign(reinterpret_cast<const char*>(pairs.data()), pairs.size() * sizeof(CdcPair));
    }
    return py::make_tuple(pass_search_name(table.search()), py::bytes(bytes));
}

SearchTable unpickled(const py::tuple& state) {
    if (state.size() != 2) throw py::value_error("a pickled Index holds a search's name and bytes");
    const PassSearch search = search_argument(state[0].cast<std::string>());
    const std::string bytes = state[1].cast<std::string>();
    if (search != PassSearch::kIndexed) {
        if (bytes.size() % sizeof(CdcPair) != 0) throw py::value_error("a pickled Index's pairs are cut short");
        std::vector<CdcPair> pairs(bytes.size() / sizeof(CdcPair));
        if (!pairs.empty()) std::memcpy(pairs.data(), bytes.data(), bytes.size());
        return ready_table(std::move(pairs), search);
    }
    Opened<CdcIndex> opened = CdcIndex::open_bytes(copied_bytes(bytes), "the pickled Index");
    if (!opened.index) throw py::value_error(opened.failure);
    return SearchTable(std::move(*opened.index));
}

std::string index_repr(const SearchTable& table) {
    return "<spherebench.Index search='" + std::string(pass_search_name(table.search())) +
           "' count=" + std::to_string(table.size()) + " nbytes=" + std::to_string(table.bytes()) + ">";
}

constexpr const char* kSaveDoc = R"(Writes the index to a file, whole or not at all (OSError on failure).

Only the "indexed" search has an index to save. The file (docs/SAVED_INDEX.md)
is written beside path and renamed over it, so a process that has the old
file open keeps reading it. Index.open(path) opens it again.)";

constexpr const char* kOpenDoc = R"(The Index saved at path, opened at once: the file mapped read-only.

Nothing is rebuilt or copied; processes that open one file share its
pages. It answers as the Index that was saved, bit for bit. A file cut
short, damaged, of another version or byte order, or not a saved index
raises OSError naming the file and the fault.

check=True reads the whole file once (its checksum and every range a
search reads by). check=False reads its header and tables only, so that
opening takes a fraction of a millisecond however large the file: only for
a file this program saved and nothing changed since, as a damaged one may
then give wrong answers or end the process.)";

}  // namespace

void define_saved(py::class_<SearchTable>& index) {
    index.def("__repr__", &index_repr)
        .def("save", &save, py::arg("path"), kSaveDoc)
        .def_static("open", &open_saved, py::arg("path"), py::arg("check") = true, kOpenDoc)
        .def(py::pickle(&pickled, &unpickled))
        .def_property_readonly("pairs", &table_pairs_array,
                               "uint32 array (len(self), 2), read-only: the table's pairs in table order (a copy).");
}

}  // namespace spherebench
