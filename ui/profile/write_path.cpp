#include "ui/profile/write_path.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string>
#include <string_view>

#include "io/output_name.h"
#include "ui/qt_text.h"

namespace tarnvel::ui::profile {

QString SuggestedPath(const QString& documentPath, const QString& ending) {
    if (documentPath.isEmpty()) return QString();
    const QFileInfo file(documentPath);
    return file.dir().filePath(file.completeBaseName() + ending);
}

QString ChooseWritePath(FileDialog& files, QWidget* parent, const QString& filter, const QString& extension,
                        const QString& suggested) {
    QString picked;
    const QString typed = files.ChooseSaveFile(parent, filter, &picked, suggested);
    if (typed.isEmpty()) return QString();
    if (picked.contains(QStringLiteral("(*)")) || picked.contains(QStringLiteral("(*.*)"))) return typed;
    const std::string ext = extension.toStdString();
    const std::string_view known[] = {ext};
    const auto named = io::ResolveOutputName(NativePath(typed), known, std::size_t{0});
    return named ? QFile::decodeName(QByteArray::fromStdString(named->path)) : typed;
}

}  // namespace tarnvel::ui::profile
