// Cost of the object graph with undo registration on: per attribute change, per insertion and per deletion,
// for 10^3 to 10^5 operations (each its own undo step), plus undo of all of them and the memory an object
// takes. The per-operation figures must not grow with the number of operations.

#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/data/ManagedObjectModel.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <vector>

using platform::AttributeType;
using platform::Cardinality;
using platform::DeleteRule;
using platform::ManagedObject;
using platform::ManagedObjectContext;

namespace {

// Lines of bars holding notes, with the attribute kinds a score uses.
std::shared_ptr<const platform::ManagedObjectModel> model() {
    static const auto m = [] {
        auto model = std::make_shared<platform::ManagedObjectModel>();
        model->addEntity({
            .name = "Line",
            .attributes = {{"partition", AttributeType::Integer64}},
            .relationships = {{"bars", "Bar", Cardinality::ToMany, "line", DeleteRule::Cascade}},
        });
        model->addEntity({
            .name = "Bar",
            .attributes = {{"num", AttributeType::Integer64},
                           {"width", AttributeType::Float},
                           {"barLineType", AttributeType::Integer32},
                           {"clefType", AttributeType::Integer32}},
            .relationships = {{"line", "Line", Cardinality::ToOne, "bars"},
                              {"notes", "Note", Cardinality::ToMany, "bar", DeleteRule::Cascade}},
        });
        model->addEntity({
            .name = "Note",
            .attributes = {{"timing", AttributeType::Integer64}, {"type", AttributeType::Integer32}},
            .relationships = {{"bar", "Bar", Cardinality::ToOne, "notes"}},
        });
        model->finalize();
        return model;
    }();
    return m;
}

constexpr int kBarsPerLine = 8;

struct Song {
    std::unique_ptr<ManagedObjectContext> context = std::make_unique<ManagedObjectContext>(model());
    std::vector<ManagedObject*> lines;
    std::vector<ManagedObject*> bars;

    Song() { context->undoManager().setGroupsByEvent(false); }

    ManagedObject* addBar(std::int64_t num) {
        if (bars.size() % kBarsPerLine == 0) {
            lines.push_back(context->insertNewObject("Line"));
            lines.back()->setPrimitiveValue("partition", kBarsPerLine);
        }
        ManagedObject* bar = context->insertNewObject("Bar");
        bar->setPrimitiveValue("num", num);
        bar->setPrimitiveValue("width", 130.0);
        bar->setPrimitiveValue("barLineType", TOVBarlineSingle);
        bar->setToOne("line", lines.back());
        bars.push_back(bar);
        return bar;
    }

    ManagedObject* addNote(ManagedObject* bar, std::int64_t timing) {
        ManagedObject* note = context->insertNewObject("Note");
        note->setPrimitiveValue("timing", timing);
        note->setPrimitiveValue("type", TOVUnitTypeOf(TOVUnitGroupNote, TOVLengthQuarter));
        note->setToOne("bar", bar);
        return note;
    }

    // Bars (each with one note) that are there before the measured part: nothing to undo.
    void build(int barCount) {
        context->undoManager().disableUndoRegistration();
        for (int i = 0; i < barCount; ++i) {
            addNote(addBar(i), 0);
        }
        context->undoManager().enableUndoRegistration();
    }

    template <class F>
    void step(F&& change) {
        context->undoManager().beginUndoGrouping();
        change();
        context->undoManager().endUndoGrouping();
    }
};

void perOperation(benchmark::State& state, std::int64_t operations) {
    state.counters["per_op"] =
        benchmark::Counter(static_cast<double>(operations),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One attribute of a bar changes, as one undo step. Ten changes per bar.
void BM_AttributeChange(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto song = std::make_unique<Song>();
        song->build(std::max(1, n / 10));
        state.ResumeTiming();
        for (int i = 0; i < n; ++i) {
            ManagedObject* bar = song->bars[static_cast<std::size_t>(i) % song->bars.size()];
            song->step([&] { bar->setValue("width", 100.0 + i); });
        }
        state.PauseTiming();
        song.reset();
        state.ResumeTiming();
    }
    perOperation(state, n);
}

// A bar is inserted into its line with three attributes and one note, as one undo step.
void BM_Insert(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto song = std::make_unique<Song>();
        state.ResumeTiming();
        for (int i = 0; i < n; ++i) {
            song->step([&] { song->addNote(song->addBar(i), 0); });
        }
        state.PauseTiming();
        song.reset();
        state.ResumeTiming();
    }
    perOperation(state, n);
}

// A bar is deleted (its note goes with it by cascade, its line only loses it), as one undo step.
void BM_Delete(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto song = std::make_unique<Song>();
        song->build(n);
        state.ResumeTiming();
        for (ManagedObject* bar : song->bars) {
            song->step([&] {
                song->context->deleteObject(bar);
                song->context->processPendingChanges();
            });
        }
        state.PauseTiming();
        song.reset();
        state.ResumeTiming();
    }
    perOperation(state, n);
}

// Every insertion of BM_Insert undone again, one step at a time.
void BM_UndoInsert(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto song = std::make_unique<Song>();
        for (int i = 0; i < n; ++i) {
            song->step([&] { song->addNote(song->addBar(i), 0); });
        }
        state.ResumeTiming();
        while (song->context->undoManager().canUndo()) {
            song->context->undoManager().undo();
        }
        state.PauseTiming();
        song.reset();
        state.ResumeTiming();
    }
    perOperation(state, n);
}

std::size_t heapInUse() {
    return mallinfo2().uordblks;
}

// Heap per object (bars and notes alike, their lines included), without and with the undo history of
// having inserted them one step at a time.
void BM_MemoryPerObject(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    double plain = 0;
    double withUndo = 0;
    for (auto _ : state) {
        const std::size_t start = heapInUse();
        {
            Song song;
            song.build(n);
            plain = static_cast<double>(heapInUse() - start) / (2.0 * n);
        }
        const std::size_t again = heapInUse();
        {
            Song song;
            for (int i = 0; i < n; ++i) {
                song.step([&] { song.addNote(song.addBar(i), 0); });
            }
            withUndo = static_cast<double>(heapInUse() - again) / (2.0 * n);
        }
    }
    state.counters["bytes_per_object"] = plain;
    state.counters["bytes_per_object_with_undo"] = withUndo;
}

} // namespace

BENCHMARK(BM_AttributeChange)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Insert)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Delete)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoInsert)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryPerObject)->RangeMultiplier(10)->Range(1000, 100000)->Iterations(1);

BENCHMARK_MAIN();
