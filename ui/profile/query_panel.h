#pragma once
// The station query: a box for one station label (K notation welcome, "(2)"
// for the second occurrence of a label behind a long chain) and what the
// profile gives there, or the reason it gives nothing.

#include <QWidget>

#include <QString>

#include <memory>

class QLabel;
class QLineEdit;

namespace tarnvel {
class GroundLine;
class Profile;
}

namespace tarnvel::ui::profile {

// What the ground says at a profile's internal station, as the queries write
// it after the design elevation `design`: "    地面高程 … m    填 … m" (挖
// where the design lies below the ground), or that the ground line does not
// reach there.
QString GroundAnswerText(const GroundLine& ground, const Profile& profile, double internal, double design);

class QueryPanel : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QueryPanel)

public:
    explicit QueryPanel(QWidget* parent = nullptr);

    // The profile asked; null while there is none. Shown again at once.
    void SetProfile(std::shared_ptr<const Profile> profile);
    // The profile with its ground line (null: none); where the ground
    // reaches, the answer adds the ground elevation and the fill or cut.
    void SetProfile(std::shared_ptr<const Profile> profile, std::shared_ptr<const GroundLine> ground);
    QString ResultText() const;

signals:
    // The internal station of a query the profile answers; `typed` when the
    // user changed the text (the plot then brings it into view), not when a
    // new profile answers the same text again.
    void stationAnswered(double internal, bool typed);
    // The box is empty, unreadable or not on the profile.
    void stationCleared();

private:
    void Update(bool typed);

    std::shared_ptr<const Profile> profile_;
    std::shared_ptr<const GroundLine> ground_;
    QLineEdit* station_ = nullptr;
    QLabel* result_ = nullptr;
};

}  // namespace tarnvel::ui::profile
