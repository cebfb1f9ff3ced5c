// Opens one profile file in the profile window, offscreen, and paints it once:
//   tarnvel_profile_open FILE [--resize-to-contents]
// Prints the seconds from the call to the painted window. Run it under
// `/usr/bin/time -v` for the peak memory of the whole process. With
// --resize-to-contents the three tables are then also sized by Qt's
// measuring of every cell, as the window did before it sized them from a
// sample: the reference for that change, in the same run.

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>

#include "bench/ui/bench_services.h"
#include "ui/profile/profile_window.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool resize = argc == 3 && QByteArray(argv[2]) == "--resize-to-contents";
    if (argc != 2 && !resize) {
        std::fputs("usage: tarnvel_profile_open FILE [--resize-to-contents]\n", stderr);
        return 2;
    }
    tarnvel::bench::SilentMessages messages;
    tarnvel::bench::NoFiles files;
    tarnvel::bench::NoLauncher launcher;
    QTemporaryDir settings;
    tarnvel::ui::ProfileWindow window(tarnvel::ui::Services{messages, files, launcher},
                                      settings.filePath(QStringLiteral("bench.ini")));
    window.resize(1400, 900);
    window.show();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    if (!window.OpenFile(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "not opened: %s\n", messages.last.toStdString().c_str());
        return 1;
    }
    window.repaint();
    QCoreApplication::processEvents();
    const double opened = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    std::printf("opened and painted in %.3f s\n", opened);
    if (resize) {
        timer.restart();
        for (const char* name : {"PviTable", "ChainTable", "ElementsTable"})
            window.findChild<QTableView*>(QString::fromLatin1(name))->resizeColumnsToContents();
        std::printf("resizeColumnsToContents of the three tables: %.3f s more\n",
                    static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
    return 0;
}
