#pragma once
// What the window benchmarks share: services that never block (no dialog, no
// program started) and a main that runs Google Benchmark inside a Qt
// application, offscreen unless told otherwise.

#include <QApplication>
#include <QString>

#include <benchmark/benchmark.h>

#include "ui/seams.h"

namespace tarnvel::bench {

// Keeps the last message, so that a benchmark can fail on one.
class SilentMessages final : public ui::MessageBox {
public:
    void ShowInfo(QWidget*, const QString& prompt) override { last = prompt; }
    ui::SaveChoice AskSaveChanges(QWidget*, const QString&) override { return ui::SaveChoice::Discard; }
    QString last;
};

class NoFiles final : public ui::FileDialog {
public:
    QString ChooseSaveFile(QWidget*, const QString&, QString*, const QString&) override { return {}; }
    QString ChooseOpenFile(QWidget*, const QString&, QString*, const QString&) override { return {}; }
};

class NoLauncher final : public ui::ProgramLauncher {
public:
    bool StartDetached(const QString&, const QStringList&) override { return false; }
};

inline int RunQtBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace tarnvel::bench
