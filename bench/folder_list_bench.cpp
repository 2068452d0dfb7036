// The content list: filling and sorting a page of many packages, and
// re-sorting it by another column.
#include <benchmark/benchmark.h>

#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "app/folder_list_model.h"
#include "bench_support.h"

namespace {

// A Maps folder of `count` packages with sizes and times that repeat often
// enough to give every column ties; made once per size for all runs.
struct MapsFolder {
    static MapsFolder& of(int count) {
        static std::map<int, std::unique_ptr<MapsFolder>> made;
        auto& m = made[count];
        if (!m) m = std::make_unique<MapsFolder>(count);
        return *m;
    }
    explicit MapsFolder(int count) : game({0, 0, 0, false}) {
        const std::string maps = game.root.mkdir("Game/Maps") + "/";
        for (int i = 0; i < count; ++i) {
            const std::string file = maps + (i % 3 ? "DM-" : "ctf-") + qm::bench::benchKey(i * 7919 % count) + ".ut2";
            std::ofstream(file, std::ios::binary) << "p";
            std::filesystem::resize_file(file, static_cast<uintmax_t>(1000 + (i * 104729) % 5000000));
            qm::test::setModified(file, qm::DateTime{2024, 1 + i % 12, 1 + i % 28, i % 24, i % 60, i % 60});
        }
        qm::TFormMain& form = game.start();
        form.show();
        qm::test::ui(form).PageControl1->setCurrentWidget(qm::test::ui(form).TabSheetMaps);
    }
    qm::bench::SampleGame game;
};

void BM_FillAndSortMaps(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    qm::TFormMain& form = *MapsFolder::of(count).game.form;
    for (auto _ : state) {
        qm::test::ui(form).ButtonRefreshMaps->click();
        benchmark::DoNotOptimize(form.folderList()->rowCount());
    }
    state.SetComplexityN(count);
    state.counters["rows"] = form.folderList()->rowCount();
}
BENCHMARK(BM_FillAndSortMaps)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Complexity();

// A header click each round, going through name, size and time, with a
// tenth of the rows selected (the selection moves with its rows).
void BM_ResortByAnotherColumn(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    qm::TFormMain& form = *MapsFolder::of(count).game.form;
    form.RefreshFolderTab("Maps");
    QItemSelection tenth;
    for (int r = 0; r < count; r += 10) tenth.select(form.folderList()->index(r, 0), form.folderList()->index(r, 3));
    qm::test::ui(form).ListViewMaps->selectionModel()->select(tenth, QItemSelectionModel::ClearAndSelect);
    const int columns[] = {qm::kColSize, qm::kColModified, qm::kColFileName};
    size_t round = 0;
    for (auto _ : state) {
        form.ListViewMapsColumnClick(columns[round++ % 3]);
        benchmark::DoNotOptimize(form.folderList()->row(0));
    }
    state.SetComplexityN(count);
}
BENCHMARK(BM_ResortByAnotherColumn)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
