#include "ui/profile/profile_settings.h"

#include <QFileInfo>
#include <QSettings>

namespace tarnvel::ui::profile {
namespace {
const QString kRecent = QStringLiteral("profile/recentFiles");

// A file as the menu keeps it: absolute and canonical, so that a path typed
// relative on the command line opens from any folder later, and one file
// reached two ways is listed once.
QString Canonical(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}
}

ProfileSettings::ProfileSettings(const QString& file)
    : settings_(file.isEmpty() ? std::make_unique<QSettings>(QStringLiteral("tarnvel"), QStringLiteral("tarnvel"))
                               : std::make_unique<QSettings>(file, QSettings::IniFormat)) {}

ProfileSettings::~ProfileSettings() = default;

QByteArray ProfileSettings::Value(const QString& key) const {
    return settings_->value(QStringLiteral("profile/") + key).toByteArray();
}

void ProfileSettings::SetValue(const QString& key, const QByteArray& value) {
    settings_->setValue(QStringLiteral("profile/") + key, value);
}

QString ProfileSettings::Text(const QString& key) const {
    return settings_->value(QStringLiteral("profile/") + key).toString();
}

void ProfileSettings::SetText(const QString& key, const QString& value) {
    settings_->setValue(QStringLiteral("profile/") + key, value);
}

QStringList ProfileSettings::RecentFiles() const { return settings_->value(kRecent).toStringList(); }

void ProfileSettings::AddRecentFile(const QString& path) {
    const QString kept = Canonical(path);
    QStringList files;
    // Entries kept before paths were made canonical are folded in too.
    for (const QString& file : RecentFiles())
        if (Canonical(file) != kept && !files.contains(file)) files.append(file);
    files.prepend(kept);
    while (files.size() > kMaxRecentFiles) files.removeLast();
    settings_->setValue(kRecent, files);
}

void ProfileSettings::RemoveRecentFile(const QString& path) {
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.removeAll(Canonical(path));
    settings_->setValue(kRecent, files);
}

}  // namespace tarnvel::ui::profile
