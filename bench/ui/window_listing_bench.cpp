// A continuous listing through the real window: from the click on "点击计算"
// until the listing box has its text and has drawn it.

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <benchmark/benchmark.h>

#include "bench/ui/bench_services.h"

#include "ui/main/listing.h"
#include "ui/main/tarnvel.h"
#include "ui/seams.h"

namespace {

using namespace tarnvel::ui;

using tarnvel::bench::NoFiles;
using tarnvel::bench::NoLauncher;
using tarnvel::bench::SilentMessages;

void ListStationsIntoWindow(benchmark::State& state) {
    SilentMessages messages;
    NoFiles files;
    NoLauncher launcher;
    Tarnvel window(Services{messages, files, launcher});
    window.findChild<QRadioButton*>(QStringLiteral("Option2"))->click();
    window.show();
    QCoreApplication::processEvents();

    const auto stations = static_cast<long>(state.range(0));
    window.findChild<QLineEdit*>(QStringLiteral("Text8"))->setText(QStringLiteral("0"));
    window.findChild<QLineEdit*>(QStringLiteral("Text9"))->setText(QString::number(stations - 1));
    window.findChild<QLineEdit*>(QStringLiteral("Text10"))->setText(QStringLiteral("1"));
    for (auto _ : state) {
        window.findChild<QPushButton*>(QStringLiteral("CommandButton5"))->click();
        window.findChild<QPlainTextEdit*>(QStringLiteral("Text7"))->viewport()->repaint();
    }
    if (!messages.last.isEmpty()) state.SkipWithError(messages.last.toStdString().c_str());
    state.counters["stations"] = static_cast<double>(stations);
    state.counters["bytes"] = static_cast<double>(window.ListingText().toUtf8().size());
}
BENCHMARK(ListStationsIntoWindow)->Arg(1'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(ListStationsIntoWindow)->Arg(1'000'000)->Iterations(2)->Unit(benchmark::kMillisecond);

// "导出数据" takes the box's text with CR LF line ends: 1,000,000 lines.
void ListingBoxTextToCrLf(benchmark::State& state) {
    QString box;
    for (int i = 0; i < 1'000'000; ++i) box += QStringLiteral("16740   395.74\n");
    for (auto _ : state) benchmark::DoNotOptimize(BoxTextToCrLf(box));
}
BENCHMARK(ListingBoxTextToCrLf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return tarnvel::bench::RunQtBenchmarks(argc, argv); }
