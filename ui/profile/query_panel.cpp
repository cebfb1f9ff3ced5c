#include "ui/profile/query_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "core/profile/ground_line.h"
#include "core/profile/profile.h"
#include "ui/profile/cell_text.h"
#include "core/text/messages.h"

namespace tarnvel::ui::profile {

QString GroundAnswerText(const GroundLine& ground, const Profile& profile, double internal, double design) {
    const std::optional<double> z = ground.At(internal);
    if (!z) return QStringLiteral("    此处无地面线");
    // Fill (填) where the design lies above the ground, cut (挖) below.
    const double amount = design - *z;
    return QStringLiteral("    地面高程 %1 %2    %3 %4 %2")
        .arg(FixedCellText(*z), QString::fromUtf8(LengthUnitSymbol(profile.Model().unit)),
             amount < 0 ? QStringLiteral("挖") : QStringLiteral("填"), FixedCellText(std::abs(amount)));
}

QueryPanel::QueryPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("QueryPanel"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(QStringLiteral("查询桩号："), this);
    station_ = new QLineEdit(this);
    station_->setObjectName(QStringLiteral("QueryStation"));
    station_->setPlaceholderText(QStringLiteral("如 K16+770.5"));
    station_->setMaximumWidth(180);
    caption->setBuddy(station_);
    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("QueryResult"));
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // One line: the answer beside its box, never its numbers under their words.
    result_->setWordWrap(false);
    layout->addWidget(caption);
    layout->addWidget(station_);
    layout->addWidget(result_, 1);
    connect(station_, &QLineEdit::textChanged, this, [this] { Update(true); });
}

void QueryPanel::SetProfile(std::shared_ptr<const Profile> profile) { SetProfile(std::move(profile), nullptr); }

void QueryPanel::SetProfile(std::shared_ptr<const Profile> profile, std::shared_ptr<const GroundLine> ground) {
    profile_ = std::move(profile);
    ground_ = profile_ ? std::move(ground) : nullptr;
    Update(false);
}

QString QueryPanel::ResultText() const { return result_->text(); }

void QueryPanel::Update(bool typed) {
    const QString text = station_->text();
    if (text.trimmed().isEmpty()) {
        result_->clear();
        emit stationCleared();
        return;
    }
    QString why;
    const auto label = ParseCellStation(text, &why);
    if (!label) {
        result_->setText(why);
        emit stationCleared();
        return;
    }
    if (!profile_) {
        result_->setText(QStringLiteral("纵断面尚无有效数据，无法查询。"));
        emit stationCleared();
        return;
    }
    try {
        const double internal = profile_->OnProfile(profile_->InternalOf(*label));
        const ProfileValue value = profile_->At(internal);
        const char* unit = LengthUnitSymbol(profile_->Model().unit);
        QString answer = QStringLiteral("高程 %1 %2    纵坡 %3%")
                             .arg(FixedCellText(value.elevation), QString::fromUtf8(unit), GradeCellText(value.grade));
        if (ground_) answer += GroundAnswerText(*ground_, *profile_, internal, value.elevation);
        result_->setText(answer);
        emit stationAnswered(internal, typed);
    } catch (const StationError& error) {
        // Outside the profile, in a short chain's gap, or a label of a long
        // chain that needs its "(2)": the core says which, in words.
        result_->setText(QString::fromStdString(DescribeStationFault(error.fault())));
        emit stationCleared();
    }
}

}  // namespace tarnvel::ui::profile
