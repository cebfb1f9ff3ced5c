#pragma once
// The plan query, both ways: a station and an offset give X, Y and the
// centre line's azimuth (with a profile the design elevation H, with a
// ground line the 填挖 there); X and Y give the station and offset of the
// foot on the route (坐标反算), with the same H and 填挖. The answers are
// kept as numbers for whoever needs them; the label shows them in words.

#include <QWidget>

#include <memory>
#include <optional>

#include "core/plan/plan.h"

class QLabel;
class QLineEdit;

namespace tarnvel {
class GroundLine;
class Profile;
}  // namespace tarnvel

namespace tarnvel::ui::plan {

struct PlanAnswer {
    double internal = 0;  // the plan's internal station
    Station label;
    double offset = 0;    // right positive
    PlanPoint at;
    std::optional<double> elevation;  // the centre line's design elevation
};

class PlanQuery : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlanQuery)

public:
    // How far from the route a point still finds its station.
    static constexpr double kMaxOffset = 500;

    explicit PlanQuery(QWidget* parent = nullptr);

    // The road asked (null plan: the query says there is none); answered
    // again at once.
    void SetRoad(std::shared_ptr<const Plan> plan, std::shared_ptr<const Profile> profile,
                 std::shared_ptr<const GroundLine> ground);

    // The last answers, nothing while a query has none.
    const std::optional<PlanAnswer>& PointAnswer() const { return point_; }
    const std::optional<PlanAnswer>& StationAnswer() const { return station_; }
    QString PointText() const;
    QString StationText() const;

signals:
    // A typed query found its place on the route.
    void StationChosen(double internal);

private:
    void AnswerStation(bool typed);  // station + offset → X, Y
    void AnswerPoint(bool typed);    // X, Y → station + offset
    // H and 填挖 at a place of the route, as the answer's tail.
    QString Heights(PlanAnswer& answer) const;

    std::shared_ptr<const Plan> plan_;
    std::shared_ptr<const Profile> profile_;
    std::shared_ptr<const GroundLine> ground_;
    QLineEdit* stationBox_ = nullptr;
    QLineEdit* offsetBox_ = nullptr;
    QLabel* pointResult_ = nullptr;
    QLineEdit* northBox_ = nullptr;
    QLineEdit* eastBox_ = nullptr;
    QLabel* stationResult_ = nullptr;
    std::optional<PlanAnswer> point_, station_;
};

}  // namespace tarnvel::ui::plan
