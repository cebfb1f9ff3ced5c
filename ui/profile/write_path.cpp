#include "ui/profile/write_path.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string>
#include <string_view>

#include "io/control_files.h"
#include "io/file_identity.h"
#include "io/ground_files.h"
#include "io/output_name.h"
#include "io/plan_files.h"
#include "ui/qt_text.h"

namespace tarnvel::ui::profile {

QString SuggestedPath(const QString& documentPath, const QString& ending) {
    if (documentPath.isEmpty()) return QString();
    const QFileInfo file(documentPath);
    return file.dir().filePath(file.completeBaseName() + ending);
}

namespace {

// The open document or a table saved beside it, by identity.
bool IsDocumentFile(const std::string& path, const QString& documentPath) {
    if (documentPath.isEmpty()) return false;
    const std::string document = NativePath(documentPath);
    for (const std::string& own : {document, io::GroundCompanionPath(document), io::ControlCompanionPath(document),
                                   io::CriteriaCompanionPath(document), io::IntersectionCompanionPath(document)})
        if (io::SameFile(path, own)) return true;
    return false;
}

}  // namespace

QString ChooseWritePath(const Services& services, QWidget* parent, const QString& filter, const QString& extension,
                        const QString& suggested, const QString& documentPath) {
    QString picked;
    const QString typed = services.files.ChooseSaveFile(parent, filter, &picked, suggested);
    if (typed.isEmpty()) return QString();
    QString path = typed;
    if (!picked.contains(QStringLiteral("(*)")) && !picked.contains(QStringLiteral("(*.*)"))) {
        const std::string ext = extension.toStdString();
        const std::string_view known[] = {ext};
        if (const auto named = io::ResolveOutputName(NativePath(typed), known, std::size_t{0}))
            path = QFile::decodeName(QByteArray::fromStdString(named->path));
    }
    if (IsDocumentFile(NativePath(path), documentPath)) {
        services.messages.ShowWarning(
            parent, QStringLiteral("“%1”是打开的纵断面或与它一起保存的表，导出不能写在它上面，未写入。").arg(path));
        return QString();
    }
    return path;
}

}  // namespace tarnvel::ui::profile
