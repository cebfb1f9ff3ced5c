#pragma once
// What the profile window remembers between runs: its size and place, the
// splitter positions, the recent files and the names on the sheets. Kept in the program's user
// settings, or in a file of the caller's choosing (the tests use one in a
// temporary folder, so that they never touch the user's settings).

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

namespace tarnvel::ui::profile {

class ProfileSettings {
public:
    // `file` empty: the program's own user settings.
    explicit ProfileSettings(const QString& file = QString());
    ~ProfileSettings();
    ProfileSettings(const ProfileSettings&) = delete;
    ProfileSettings& operator=(const ProfileSettings&) = delete;

    QByteArray Value(const QString& key) const;
    void SetValue(const QString& key, const QByteArray& value);
    // A text such as a name for the sheets' title block; empty when not kept.
    QString Text(const QString& key) const;
    void SetText(const QString& key, const QString& value);

    // The names of the sheets' title block, which the profile report signs with too.
    static constexpr QLatin1String kDesigner{"sheet/designer"};
    static constexpr QLatin1String kChecker{"sheet/checker"};
    static constexpr QLatin1String kApprover{"sheet/approver"};

    static constexpr int kMaxRecentFiles = 8;
    QStringList RecentFiles() const;
    // Puts `path` first; the oldest beyond the limit drops out.
    void AddRecentFile(const QString& path);
    void RemoveRecentFile(const QString& path);

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace tarnvel::ui::profile
