#include "ui/plan/plan_query.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <cmath>
#include <string>

#include "core/plan/plan_listing.h"
#include "core/profile/ground_line.h"
#include "core/profile/profile.h"
#include "core/text/messages.h"
#include "core/text/plan_text.h"
#include "ui/profile/cell_text.h"
#include "ui/profile/query_panel.h"

namespace tarnvel::ui::plan {
namespace {

using profile::FixedCellText;
using profile::ParseCellNumber;
using profile::ParseCellStation;

QString Unit(const Plan& plan) { return QString::fromUtf8(LengthUnitSymbol(plan.Unit())); }

// The azimuth as the 逐桩坐标表 writes it (度分秒).
QString AzimuthText(double azimuth) {
    PlanPointLine line;
    line.azimuth = azimuth;
    std::string text;
    TextOptions options;
    AppendPlanPointCell(text, PlanPointColumn::Azimuth, false, line, options);
    return QString::fromStdString(text);
}

// 左 7.500 / 右 7.500 / 中线.
QString SideText(double offset) {
    if (offset == 0) return QStringLiteral("中线");
    return (offset < 0 ? QStringLiteral("左 ") : QStringLiteral("右 ")) + FixedCellText(std::fabs(offset));
}

}  // namespace

PlanQuery::PlanQuery(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PlanQuery"));
    auto box = [&](const char* name, const char* placeholder, int width) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromUtf8(name));
        edit->setPlaceholderText(QString::fromUtf8(placeholder));
        edit->setMaximumWidth(fontMetrics().horizontalAdvance(QString(width, QLatin1Char('0'))) + 16);
        return edit;
    };
    auto result = [&](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromUtf8(name));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    stationBox_ = box("PlanQueryStation", "如 K1+260", 14);
    offsetBox_ = box("PlanQueryOffset", "右正左负", 8);
    northBox_ = box("PlanQueryNorth", "X（北）", 14);
    eastBox_ = box("PlanQueryEast", "Y（东）", 14);
    pointResult_ = result("PlanQueryPointResult");
    stationResult_ = result("PlanQueryStationResult");

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("桩号"), this), 0, 0);
    layout->addWidget(stationBox_, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("偏距"), this), 0, 2);
    layout->addWidget(offsetBox_, 0, 3);
    layout->addWidget(pointResult_, 0, 4);
    layout->addWidget(new QLabel(QStringLiteral("X"), this), 1, 0);
    layout->addWidget(northBox_, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("Y"), this), 1, 2);
    layout->addWidget(eastBox_, 1, 3);
    layout->addWidget(stationResult_, 1, 4);
    layout->setColumnStretch(4, 1);

    connect(stationBox_, &QLineEdit::textChanged, this, [this] { AnswerStation(true); });
    connect(offsetBox_, &QLineEdit::textChanged, this, [this] { AnswerStation(true); });
    connect(northBox_, &QLineEdit::textChanged, this, [this] { AnswerPoint(true); });
    connect(eastBox_, &QLineEdit::textChanged, this, [this] { AnswerPoint(true); });
    SetRoad(nullptr, nullptr, nullptr);
}

void PlanQuery::SetRoad(std::shared_ptr<const Plan> plan, std::shared_ptr<const Profile> profile,
                        std::shared_ptr<const GroundLine> ground) {
    plan_ = std::move(plan);
    profile_ = std::move(profile);
    ground_ = profile_ ? std::move(ground) : nullptr;
    AnswerStation(false);
    AnswerPoint(false);
}

QString PlanQuery::PointText() const { return pointResult_->text(); }
QString PlanQuery::StationText() const { return stationResult_->text(); }

QString PlanQuery::Heights(PlanAnswer& answer) const {
    if (!profile_) return QString();
    try {
        // Through the label plan and profile share, as the listings do.
        const double internal = profile_->OnProfile(profile_->InternalOf(answer.label));
        answer.elevation = profile_->At(internal).elevation;
        QString text = QStringLiteral("    中桩设计高程 %1 %2")
                           .arg(FixedCellText(*answer.elevation),
                                QString::fromUtf8(LengthUnitSymbol(profile_->Model().unit)));
        if (ground_) text += profile::GroundAnswerText(*ground_, *profile_, internal, *answer.elevation);
        return text;
    } catch (const StationError&) {
        return QStringLiteral("    此桩号不在纵断面范围内");
    }
}

void PlanQuery::AnswerStation(bool typed) {
    point_.reset();
    const QString stationText = stationBox_->text();
    if (stationText.trimmed().isEmpty()) return pointResult_->clear();
    if (!plan_) return pointResult_->setText(QStringLiteral("尚无平面线形，无法查询。"));
    QString why;
    const auto label = ParseCellStation(stationText, &why);
    if (!label) return pointResult_->setText(QStringLiteral("桩号：") + why);
    double offset = 0;
    if (!offsetBox_->text().trimmed().isEmpty()) {
        const auto given = ParseCellNumber(offsetBox_->text(), &why);
        if (!given) return pointResult_->setText(QStringLiteral("偏距：") + why);
        offset = *given;
    }
    try {
        PlanAnswer answer;
        answer.internal = plan_->OnRoute(plan_->InternalOf(*label));
        answer.label = *label;
        answer.offset = offset;
        const PlanPose pose = plan_->At(answer.internal);
        answer.at = OffsetPoint(pose, offset);
        const QString unit = Unit(*plan_);
        QString text = QStringLiteral("X %1    Y %2 %3    方位角 %4")
                           .arg(FixedCellText(answer.at.north), FixedCellText(answer.at.east), unit,
                                AzimuthText(pose.azimuth));
        text += Heights(answer);
        pointResult_->setText(text);
        point_ = answer;
        if (typed) emit StationChosen(answer.internal);
    } catch (const StationError& error) {
        pointResult_->setText(QString::fromStdString(DescribeStationFault(error.fault())));
    }
}

void PlanQuery::AnswerPoint(bool typed) {
    station_.reset();
    if (northBox_->text().trimmed().isEmpty() || eastBox_->text().trimmed().isEmpty())
        return stationResult_->clear();
    if (!plan_) return stationResult_->setText(QStringLiteral("尚无平面线形，无法反算。"));
    QString why;
    const auto north = ParseCellNumber(northBox_->text(), &why);
    if (!north) return stationResult_->setText(QStringLiteral("X：") + why);
    const auto east = ParseCellNumber(eastBox_->text(), &why);
    if (!east) return stationResult_->setText(QStringLiteral("Y：") + why);
    const PlanFoot foot = plan_->Inverse({*north, *east}, kMaxOffset);
    if (foot.fault == InverseFault::BeyondEnds)
        return stationResult_->setText(QStringLiteral("此点在路线起点之前或终点之后，没有垂足。"));
    if (foot.fault == InverseFault::TooFar)
        return stationResult_->setText(
            QStringLiteral("此点离路线超过 %1，未反算。").arg(QString::fromStdString(LengthInMessage(kMaxOffset, plan_->Unit()))));
    PlanAnswer answer;
    answer.internal = foot.internal;
    answer.label = plan_->LabelOf(foot.internal);
    answer.offset = foot.offset;
    answer.at = {*north, *east};
    QString text = QStringLiteral("桩号 %1    偏距 %2 %3")
                       .arg(profile::StationText(answer.label), SideText(foot.offset), Unit(*plan_));
    text += Heights(answer);
    stationResult_->setText(text);
    station_ = answer;
    if (typed) emit StationChosen(answer.internal);
}

}  // namespace tarnvel::ui::plan
