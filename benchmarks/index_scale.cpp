// index-scale: the two fixed-size forms' indexes from 2^20 locations up to a
// billion. For each size (powers of 4 up to SPHEREBENCH_SCALE_MAX, 2^24 where
// it is not set) and each of CdcIndex and LatLongIndex over the same uniform
// random locations: the build's time on every core and (up to 2^26) on one,
// the index's bytes a location and the process's peak resident memory; the
// index saved, its file's pages dropped from the page cache, then opened
// (header checks only) and asked one query, with the time of each and the
// resident memory after; opened again with its pages cached, and with every
// check (the whole file read); and the time per query near a stored
// location and uniform, built and opened. Beside them, the bytes a location
// of each anchor this build has, measured at 2^20. One JSON object a line on
// standard output (the first and last the run's context: the machine, its
// memory and the load as the run began and ended), progress on standard
// error.
//
//   index-scale [DIR]     DIR holds the saved files for a moment (default
//                         the working directory); each is removed after use
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "anchors/anchor.h"
#include "base/threads.h"
#include "catalogue/search_catalogue.h"
#include "geo/cdc_encoder.h"
#include "method/cdc_method.h"
#include "random/random_tables.h"
#include "search/cdc_index.h"
#include "search/latlong_index.h"
#include "suite/table_sizes.h"

using namespace spherebench;

namespace {

constexpr int kSmallest = 1 << 20;
constexpr int kQueries = 20000;
constexpr int kRepeats = 3;
// Sizes whose one-thread build is timed too (beyond, it would double a
// build of minutes).
constexpr int kLargestTimedAlone = 1 << 26;
constexpr int kChunk = 1 << 16;  // locations drawn from one seed

double now_ms() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The process's resident memory in bytes, from /proc/self/statm.
double resident_bytes() {
    std::ifstream statm("/proc/self/statm");
    double pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// The most resident memory while it lives, sampled every millisecond by a
// thread of its own (the kernel's own peak is not kept for every thread's
// pages as they are touched).
class PeakResident {
  public:
    PeakResident()
        : sampler_([this] {
              while (!done_) {
                  peak_ = std::max(peak_.load(), resident_bytes());
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
          }) {}
    double stop() {
        done_ = true;
        sampler_.join();
        return std::max(peak_.load(), resident_bytes());
    }

  private:
    std::atomic<bool> done_ = false;
    std::atomic<double> peak_ = 0;
    std::thread sampler_;
};

// `count` uniform locations in the form, drawn in chunks of their own seeds
// on every core: the same locations in every form, on any number of threads.
template <typename Form>
auto uniform_table(int count) {
    std::vector<decltype(Form::location(CdcPair{}))> table(count);
    const int chunks = (count + kChunk - 1) / kChunk, threads = machine_threads();
    run_on_threads(threads, [&](int part) {
        for (int chunk = part; chunk < chunks; chunk += threads) {
            uint64_t state = 0x5eed0000u + chunk;
            for (int k = chunk * kChunk; k < std::min(count, (chunk + 1) * kChunk); ++k)
                table[k] = Form::location(encode_cdc(random_direction(state)));
        }
    });
    return table;
}

// Queries as pairs: uniform, or each a stored location moved up to about
// 1 km (1.6e-4 radians) in each component.
std::vector<CdcPair> query_pairs(const std::vector<CdcPair>& table, bool near) {
    uint64_t state = near ? 17 : 18;
    std::vector<CdcPair> queries;
    for (int i = 0; i < kQueries; ++i) {
        if (!near) {
            queries.push_back(encode_cdc(random_direction(state)));
            continue;
        }
        const UnitVector v = decode_cdc(table[random_word(state) % table.size()]);
        const double x = v.x + (random_unit(state) - 0.5) * 3.2e-4, y = v.y + (random_unit(state) - 0.5) * 3.2e-4,
                     z = v.z + (random_unit(state) - 0.5) * 3.2e-4;
        const double norm = std::sqrt(x * x + y * y + z * z);
        queries.push_back(encode_cdc({x / norm, y / norm, z / norm}));
    }
    return queries;
}

// The forms' tables and queries as each index takes them.
struct CdcForm {
    using Index = CdcIndex;
    static constexpr const char* kName = "CdcIndex";
    static CdcPair location(CdcPair pair) { return pair; }
    static CdcPoint query(CdcPair pair) { return arrange_point(decode_cdc(pair)); }
};
struct LatLongForm {
    using Index = LatLongIndex;
    static constexpr const char* kName = "LatLongIndex";
    static FixedLatLong location(CdcPair pair) { return cdc_to_fixed(pair); }
    static FixedLatLong query(CdcPair pair) { return cdc_to_fixed(pair); }
};

// The least over the repeats of the time per query, in nanoseconds; the
// winners' sum, so that no work is left out.
template <typename Index, typename Query>
double query_ns(const Index& index, const std::vector<Query>& queries, int64_t& sum) {
    double best = 1e300;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        const double start = now_ms();
        for (const Query& query : queries) sum += index.nearest(query).index;
        best = std::min(best, (now_ms() - start) * 1e6 / queries.size());
    }
    return best;
}

void drop_from_page_cache(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

// The study of one form's index over n uniform locations, asked the
// queries (as pairs).
template <typename Form>
bool study(int n, const std::vector<CdcPair>& near_pairs, const std::vector<CdcPair>& uniform_pairs,
           const std::string& dir) {
    using Index = typename Form::Index;
    std::vector<decltype(Form::query(CdcPair{}))> near, uniform;
    for (const CdcPair pair : near_pairs) near.push_back(Form::query(pair));
    for (const CdcPair pair : uniform_pairs) uniform.push_back(Form::query(pair));
    auto table = uniform_table<Form>(n);
    int64_t sum = 0;
    const double before = resident_bytes();
    PeakResident sampled;
    double start = now_ms();
    std::optional<Index> index(std::in_place, table.data(), n);
    double build_ms = now_ms() - start;
    const double peak = sampled.stop(), built = resident_bytes();
    const double bytes = index->bytes();
    const double near_ns = query_ns(*index, near, sum), uniform_ns = query_ns(*index, uniform, sum);
    // Up to kLargestTimedAlone, each build again: one thread, every core,
    // one thread, the least of each kept, so that neither gains by going
    // second.
    double alone_ms = -1;
    for (int round = 0; n <= kLargestTimedAlone && round < 3; ++round) {
        const int threads = round == 1 ? 0 : 1;
        index.reset();
        start = now_ms();
        index.emplace(table.data(), n, threads);
        const double ms = now_ms() - start;
        if (threads == 0) build_ms = std::min(build_ms, ms);
        if (threads == 1) alone_ms = alone_ms < 0 ? ms : std::min(alone_ms, ms);
    }
    table = {};
    table.shrink_to_fit();

    const std::string path = dir + "/index-scale-" + Form::kName + ".sbi";
    start = now_ms();
    if (const auto failure = index->save(path)) {
        std::fprintf(stderr, "index-scale: %s\n", failure->c_str());
        return false;
    }
    const double save_ms = now_ms() - start;
    index.reset();
    drop_from_page_cache(path);
    const double closed = resident_bytes();
    start = now_ms();
    Opened<Index> opened = Index::open(path, SavedCheck::kHeader);
    const double open_ms = now_ms() - start;
    if (!opened.index) {
        std::fprintf(stderr, "index-scale: %s\n", opened.failure.c_str());
        return false;
    }
    const double after_open = resident_bytes();
    start = now_ms();
    sum += opened.index->nearest(uniform[0]).index;
    const double first_query_ms = now_ms() - start;
    const double after_query = resident_bytes();
    const double opened_near_ns = query_ns(*opened.index, near, sum);
    const double opened_uniform_ns = query_ns(*opened.index, uniform, sum);
    opened.index.reset();
    start = now_ms();
    opened = Index::open(path, SavedCheck::kHeader);
    const double open_warm_ms = now_ms() - start;
    opened.index.reset();
    start = now_ms();
    Opened<Index> whole = Index::open(path, SavedCheck::kWhole);
    const double whole_ms = now_ms() - start;
    whole.index.reset();
    std::filesystem::remove(path);

    std::printf(
        "{\"search\": \"%s\", \"size\": %d, \"threads\": %d, \"build_ms_one_thread\": %.1f, \"build_ms\": %.1f, "
        "\"bytes_per_location\": %.3f, \"peak_resident_bytes\": %.0f, \"resident_before_build\": %.0f, "
        "\"resident_built\": %.0f, \"query_ns_near\": %.1f, \"query_ns_uniform\": %.1f, \"save_ms\": %.1f, "
        "\"open_ms\": %.3f, \"open_warm_ms\": %.3f, \"resident_opened\": %.0f, \"first_query_ms\": %.3f, "
        "\"resident_after_first_query\": "
        "%.0f, \"open_whole_ms\": %.1f, \"opened_query_ns_near\": %.1f, \"opened_query_ns_uniform\": %.1f, "
        "\"answer_sum\": %lld}\n",
        Form::kName, n, machine_threads(), alone_ms, build_ms, bytes / n, peak, before, built, near_ns, uniform_ns,
        save_ms, open_ms, open_warm_ms, after_open - closed, first_query_ms, after_query - closed, whole_ms,
        opened_near_ns, opened_uniform_ns, static_cast<long long>(sum));
    std::fflush(stdout);
    return true;
}

// The first line of /proc/loadavg's three averages, or "?".
std::string load_average() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    return in >> one >> five >> fifteen ? one + " " + five + " " + fifteen : "?";
}

// The machine: its processor's name, cores and memory, as the kernel gives
// them.
void print_context() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line, cpu = "?";
    while (std::getline(cpuinfo, line))
        if (line.rfind("model name", 0) == 0) {
            cpu = line.substr(line.find(':') + 2);
            break;
        }
    const double memory = static_cast<double>(sysconf(_SC_PHYS_PAGES)) * static_cast<double>(sysconf(_SC_PAGESIZE));
    std::printf("{\"cpu\": \"%s\", \"cores\": %d, \"memory_bytes\": %.0f, \"load_at_start\": \"%s\"}\n", cpu.c_str(),
                machine_threads(), memory, load_average().c_str());
}

// The anchor's bytes a location over the pairs, where the search is an
// anchor this build has.
template <SearchId id>
void anchor_bytes(const std::vector<CdcPair>& pairs) {
    if constexpr (search_facts(id).kind == SearchKind::kAnchor && SearchTypeKnown<id>) {
        const typename SearchType<id>::type anchor(pairs.data(), static_cast<int>(pairs.size()));
        std::printf("{\"anchor\": \"%s\", \"size\": %zu, \"bytes_per_location\": %.3f}\n", search_name(id),
                    pairs.size(), static_cast<double>(anchor.bytes()) / pairs.size());
    }
}

// Every anchor's of the catalogue.
template <size_t... at>
void every_anchor_bytes(const std::vector<CdcPair>& pairs, std::index_sequence<at...>) {
    (anchor_bytes<kSearchCatalogue[at].id>(pairs), ...);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    // Every large block straight from the system and back, so that the
    // resident peak of each build is its own.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    const LargestSize& largest = largest_table_size();
    if (!largest.error.empty()) {
        std::fprintf(stderr, "index-scale: %s\n", largest.error.c_str());
        return 1;
    }
    print_context();
    every_anchor_bytes(uniform_table<CdcForm>(kSmallest), std::make_index_sequence<std::size(kSearchCatalogue)>());
    for (int64_t size = kSmallest; size <= largest.size; size *= 4) {
        const int n = static_cast<int>(size);
        std::fprintf(stderr, "index-scale: %d locations\n", n);
        std::vector<CdcPair> near, uniform;
        {
            const std::vector<CdcPair> pairs = uniform_table<CdcForm>(n);
            near = query_pairs(pairs, true), uniform = query_pairs(pairs, false);
        }
        if (!study<CdcForm>(n, near, uniform, dir) || !study<LatLongForm>(n, near, uniform, dir)) return 1;
    }
    std::printf("{\"load_at_end\": \"%s\"}\n", load_average().c_str());
    return 0;
}
