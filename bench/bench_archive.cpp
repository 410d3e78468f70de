// Archive throughput on a project-sized object graph: many small objects in
// an array (tags, back references, per-object Serialize) and bulk numbers.
#include <benchmark/benchmark.h>

#include "CArchive.h"
#include "CObArray.h"
#include "ValueArrays.h"

#include <memory>

namespace {

class BenchCell : public CObject {
    DECLARE_SERIAL(BenchCell)
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_id << m_value << m_label;
        else
            ar >> m_id >> m_value >> m_label;
    }
    int32_t m_id = 0;
    double m_value = 0;
    std::string m_label = "cell";
};
IMPLEMENT_SERIAL(BenchCell, CObject, 1)

struct Graph {
    std::vector<std::unique_ptr<BenchCell>> cells;
    CObArray array;
    explicit Graph(int n)
    {
        for (int i = 0; i < n; ++i) {
            cells.push_back(std::make_unique<BenchCell>());
            cells.back()->m_id = i;
            cells.back()->m_value = i * 1.5;
            array.Add(cells.back().get());
        }
    }
};

void BM_StoreObjects(benchmark::State& state)
{
    Graph g(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::vector<uint8_t> buf;
        CArchive ar(buf, CArchive::store);
        g.array.Serialize(ar);
        benchmark::DoNotOptimize(buf.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StoreObjects)->Arg(100000);

void BM_LoadObjects(benchmark::State& state)
{
    Graph g(static_cast<int>(state.range(0)));
    std::vector<uint8_t> buf;
    {
        CArchive ar(buf, CArchive::store);
        g.array.Serialize(ar);
    }
    for (auto _ : state) {
        CArchive ar(buf, CArchive::load);
        CObArray back;
        back.Serialize(ar);
        for (CObject* o : back)
            delete o;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadObjects)->Arg(100000);

void BM_LoadDoubles(benchmark::State& state)
{
    std::vector<uint8_t> buf;
    {
        CArchive ar(buf, CArchive::store);
        ar.WriteCount(static_cast<size_t>(state.range(0)));
        for (int i = 0; i < state.range(0); ++i)
            ar << i * 0.25;
    }
    for (auto _ : state) {
        CArchive ar(buf, CArchive::load);
        size_t n = ar.ReadCount(8);
        double sum = 0, v;
        for (size_t i = 0; i < n; ++i) {
            ar >> v;
            sum += v;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * 8);
}
BENCHMARK(BM_LoadDoubles)->Arg(1000000);

}  // namespace
