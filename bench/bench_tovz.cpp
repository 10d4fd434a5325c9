// Loading and saving "tovz" files beside the floor for the same file: unpacking it and parsing the XML
// with libxml2 alone. The songs are the benchmark song (BenchSong.h), made when the benchmark starts or
// taken from the folder TOVRIN_SONGS names.
//
// Each case reports its time per bar and, measured once in a child process, the peak memory the work
// adds to a process that has only read the file ("peak_MiB").
#include "BenchSong.h"

#include "document/TOVDocumentParser.h"
#include "model/Document.h"
#include "model/TOVManagedObjectModel.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Gzip.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <malloc.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kCap = 64 * 1024 * 1024;

Bytes songFile(std::int64_t bars) {
    const std::filesystem::path path = benchsong::benchSongFile(static_cast<std::uint64_t>(bars));
    return path.empty() ? Bytes() : platform::readFile(path, kCap).value_or(Bytes());
}

// Peak resident memory of a child that runs the work, less that of a child that does nothing. Free heap
// is given back first, so that the work cannot hide in memory an earlier case left resident.
double peakMiB(const std::function<void()>& work) {
    malloc_trim(0);
    auto run = [](const std::function<void()>& body) -> long {
        const pid_t pid = fork();
        if (pid == 0) {
            body();
            _exit(0);
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        return usage.ru_maxrss;
    };
    const long idle = run([] {});
    const long busy = run(work);
    return static_cast<double>(busy - idle) / 1024.0;
}

void floorOnce(const Bytes& file) {
    const std::optional<Bytes> xml = platform::gzipInflate(file, kCap);
    xmlDocPtr doc = xmlReadMemory(reinterpret_cast<const char*>(xml->data()), static_cast<int>(xml->size()),
                                  nullptr, nullptr, XML_PARSE_NONET | XML_PARSE_RECOVER);
    benchmark::DoNotOptimize(doc);
    xmlFreeDoc(doc);
}

struct Loaded {
    std::unique_ptr<platform::ManagedObjectContext> context =
        std::make_unique<platform::ManagedObjectContext>(TOVManagedObjectModel::sharedModel());
    Document* document = nullptr;

    explicit Loaded(const Bytes& file) {
        context->undoManager().disableUndoRegistration();
        document = context->insertNewObject<Document>("Document");
        context->processPendingChanges();
        if (!TOVDocumentParser().loadTOVZDocumentFromDataToDocument(file, document)) {
            std::abort();
        }
    }
};

void report(benchmark::State& state, const std::function<void()>& work) {
    state.counters["per_bar"] =
        benchmark::Counter(static_cast<double>(state.range(0)),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["peak_MiB"] = peakMiB(work);
}

void BM_Floor(benchmark::State& state) {
    const Bytes file = songFile(state.range(0));
    if (file.empty()) {
        state.SkipWithError("the benchmark song cannot be made");
        return;
    }
    for (auto _ : state) {
        floorOnce(file);
    }
    report(state, [&] { floorOnce(file); });
}

void BM_Load(benchmark::State& state) {
    const Bytes file = songFile(state.range(0));
    if (file.empty()) {
        state.SkipWithError("the benchmark song cannot be made");
        return;
    }
    for (auto _ : state) {
        Loaded loaded(file);
        benchmark::DoNotOptimize(loaded.document);
    }
    report(state, [&] { Loaded loaded(file); });
}

void BM_Save(benchmark::State& state) {
    const Bytes file = songFile(state.range(0));
    if (file.empty()) {
        state.SkipWithError("the benchmark song cannot be made");
        return;
    }
    const Loaded loaded(file);
    for (auto _ : state) {
        std::optional<Bytes> saved = TOVDocumentParser().tovzDataFromDocument(loaded.document);
        benchmark::DoNotOptimize(saved);
    }
    report(state,
           [&] { benchmark::DoNotOptimize(TOVDocumentParser().tovzDataFromDocument(loaded.document)); });
}

} // namespace

BENCHMARK(BM_Floor)->Arg(16)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(16)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(16)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
