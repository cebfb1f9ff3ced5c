// Editing one cell of a long PVI table: from the committed text until the
// tables are read, the profile resolved and handed to the elements table,
// the plot, the query and the listing; and, in the second form, until the
// whole window (tables, elements, plot) has painted the result.

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "bench/ui/bench_services.h"

#include <vector>

#include "ui/profile/edit_table_model.h"
#include "ui/profile/profile_document.h"
#include "ui/profile/profile_window.h"
#include "ui/seams.h"

namespace {

using namespace tarnvel::ui;

using tarnvel::bench::NoFiles;
using tarnvel::bench::NoLauncher;
using tarnvel::bench::SilentMessages;

// PVIs every 100 m, grades alternating +1 % and -1 %, each with a parabola
// of R 2000 (L 40), so no two curves come near each other.
std::vector<QStringList> LongTable(int pvis) {
    std::vector<QStringList> rows;
    for (int i = 0; i < pvis + 2; ++i) {
        const bool curve = i > 0 && i < pvis + 1;
        rows.push_back({QString::number(i * 100), i % 2 ? QStringLiteral("101") : QStringLiteral("100"), QString(),
                        curve ? QStringLiteral("2000") : QString(), QString(), QString(), QString()});
    }
    return rows;
}

void EditOneCell(benchmark::State& state, bool repaint) {
    SilentMessages messages;
    NoFiles files;
    NoLauncher launcher;
    QTemporaryDir settings;
    ProfileWindow window(Services{messages, files, launcher}, settings.filePath(QStringLiteral("bench.ini")));
    window.resize(1400, 900);
    window.show();
    const int pvis = static_cast<int>(state.range(0));
    window.PviModel().WriteBlock(0, 0, LongTable(pvis), QStringLiteral("粘贴"));
    QCoreApplication::processEvents();
    if (!window.CurrentProfile() || window.CurrentProfile()->Elements().size() != static_cast<std::size_t>(pvis)) {
        state.SkipWithError("the long table did not resolve");
        return;
    }
    profile::EditTableModel& model = window.PviModel();
    const QModelIndex cell = model.index(pvis / 2, 1);
    // Two texts in turn, neither the one the cell started with: every round is an edit.
    bool first = true;
    for (auto _ : state) {
        model.setData(cell, first ? QStringLiteral("100.25") : QStringLiteral("100.5"));
        first = !first;
        if (repaint) window.repaint();
    }
}

// A surveyed ground every metre along 1,000 PVIs (100 km): an edit of one
// ground cell (the table read and checked again), and an edit of one PVI
// with that ground beside it (the ground checked against the new profile),
// to compare with EditOneCellOfLongTable/1000 of the same run.
void EditBesideLongGround(benchmark::State& state, bool groundCell) {
    SilentMessages messages;
    NoFiles files;
    NoLauncher launcher;
    QTemporaryDir settings;
    ProfileWindow window(Services{messages, files, launcher}, settings.filePath(QStringLiteral("bench.ini")));
    const int points = static_cast<int>(state.range(0));
    window.PviModel().WriteBlock(0, 0, LongTable(1000), QStringLiteral("粘贴"));
    std::vector<QStringList> ground;
    for (int i = 0; i < points; ++i) ground.push_back({QString::number(i), QStringLiteral("100.5")});
    profile::EditTableModel& groundTable = window.Document().GroundTable();
    groundTable.WriteBlock(0, 0, std::move(ground), QStringLiteral("粘贴"));
    QCoreApplication::processEvents();
    if (!window.Document().CurrentGround()) {
        state.SkipWithError("the ground did not check");
        return;
    }
    profile::EditTableModel& model = groundCell ? groundTable : window.PviModel();
    const QModelIndex cell = model.index(groundCell ? points / 2 : 500, 1);
    bool first = true;
    for (auto _ : state) {
        model.setData(cell, first ? QStringLiteral("100.25") : QStringLiteral("100.5"));
        first = !first;
    }
}

void EditOneGroundCell(benchmark::State& state) { EditBesideLongGround(state, true); }
void EditOnePviCellBesideGround(benchmark::State& state) { EditBesideLongGround(state, false); }
BENCHMARK(EditOneGroundCell)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(EditOnePviCellBesideGround)->Arg(100'000)->Unit(benchmark::kMillisecond);

void EditOneCellOfLongTable(benchmark::State& state) { EditOneCell(state, false); }
void EditOneCellOfLongTableAndRepaint(benchmark::State& state) { EditOneCell(state, true); }
BENCHMARK(EditOneCellOfLongTable)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(EditOneCellOfLongTableAndRepaint)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return tarnvel::bench::RunQtBenchmarks(argc, argv); }
