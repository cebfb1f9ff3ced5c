#pragma once
// A folder of stand-in programs to put on PATH for the tools commands' tests
// (the launcher that records what would have been started is FakeLauncher).

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "tests/ui/support/fakes.h"

namespace tarnvel::ui::testing {

// A temporary folder to serve as PATH, holding executable stand-ins.
class FakeBin {
public:
    FakeBin() { dir_.setAutoRemove(true); }

    QString Path() const { return dir_.path(); }
    QString FilePath(const QString& name) const { return QDir(dir_.path()).filePath(name); }

    // A program that runs `script` (a shell script body) when started.
    QString AddProgram(const QString& name, const QByteArray& script = "exit 0\n") {
        const QString path = FilePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write("#!/bin/sh\n" + script);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    // A file of that name that cannot be run.
    QString AddPlainFile(const QString& name) {
        const QString path = FilePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write("not a program\n");
        return path;
    }

    QString AddFolder(const QString& name) {
        QDir(dir_.path()).mkpath(name);
        return FilePath(name);
    }

private:
    QTemporaryDir dir_;
};

}  // namespace tarnvel::ui::testing
