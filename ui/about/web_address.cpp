#include "ui/about/web_address.h"

#include <QCoreApplication>
#include <QDir>
#include <QUrl>

namespace tarnvel::ui {

QString ManualPath() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                           QLatin1String(kManualBesideProgram));
}

QString WebAddress() {
    // Fully encoded, so that a folder name with blanks or Chinese characters
    // still gives one unbroken address that every browser and opener accepts.
    return QString::fromLatin1(QUrl::fromLocalFile(ManualPath()).toEncoded());
}

}  // namespace tarnvel::ui
