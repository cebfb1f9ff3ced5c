#include "ui/profile/profile_settings.h"

#include <QSettings>

namespace tarnvel::ui::profile {
namespace {
const QString kRecent = QStringLiteral("profile/recentFiles");
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
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kMaxRecentFiles) files.removeLast();
    settings_->setValue(kRecent, files);
}

void ProfileSettings::RemoveRecentFile(const QString& path) {
    QStringList files = RecentFiles();
    files.removeAll(path);
    settings_->setValue(kRecent, files);
}

}  // namespace tarnvel::ui::profile
