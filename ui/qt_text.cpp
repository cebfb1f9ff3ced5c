#include "ui/qt_text.h"

#include <QFile>

namespace tarnvel::ui {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString MessageOf(const io::IoFailure& failure) { return QString::fromStdString(failure.message); }

}  // namespace tarnvel::ui
