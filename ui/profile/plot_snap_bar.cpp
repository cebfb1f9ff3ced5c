#include "ui/profile/plot_snap_bar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include <array>

#include "ui/profile/plot/plot_widget.h"
#include "ui/profile/profile_settings.h"

namespace tarnvel::ui::profile {
namespace {

const QString kSnapKey = QStringLiteral("plotSnap");
const QString kStationKey = QStringLiteral("plotSnapStationStep");
const QString kGradeKey = QStringLiteral("plotSnapGradeStep");

constexpr std::array<double, 4> kStationSteps = {1, 5, 10, 20};
constexpr std::array<double, 3> kGradeSteps = {0.01, 0.05, 0.1};

// A combo box of the steps, showing the remembered one (or the default) first.
template <std::size_t N>
QComboBox* StepBox(const QString& name, const std::array<double, N>& steps, const QString& suffix,
                   const QByteArray& remembered, double fallback, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (double step : steps) box->addItem(QString::number(step) + suffix, step);
    bool ok = false;
    const double chosen = remembered.toDouble(&ok);  // C locale: settings are the program's own text
    const int index = ok ? box->findData(chosen) : -1;
    box->setCurrentIndex(index >= 0 ? index : box->findData(fallback));
    return box;
}

}  // namespace

QWidget* MakeSnapBar(PlotWidget& plot, ProfileSettings& settings, QWidget* parent) {
    auto* bar = new QWidget(parent);
    bar->setObjectName(QStringLiteral("PlotSnapBar"));
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);

    const GradeSnap defaults;
    auto* snap = new QToolButton(bar);
    snap->setObjectName(QStringLiteral("PlotSnap"));
    snap->setText(QStringLiteral("吸附"));
    snap->setCheckable(true);
    snap->setChecked(settings.Value(kSnapKey) != "0");
    snap->setToolTip(QStringLiteral("拖动变坡点时吸附到整桩号和整坡度，拖动竖曲线中点时吸附到整半径（按住 Shift 暂不吸附）"));
    auto* station = StepBox(QStringLiteral("PlotStationStep"), kStationSteps, QString(), settings.Value(kStationKey),
                            defaults.stationStep, bar);
    station->setToolTip(QStringLiteral("桩号吸附步长"));
    auto* grade = StepBox(QStringLiteral("PlotGradeStep"), kGradeSteps, QStringLiteral("%"), settings.Value(kGradeKey),
                          defaults.gradeStep, bar);
    grade->setToolTip(QStringLiteral("坡度吸附步长"));
    layout->addWidget(snap);
    layout->addWidget(new QLabel(QStringLiteral("桩号步长："), bar));
    layout->addWidget(station);
    layout->addWidget(new QLabel(QStringLiteral("坡度步长："), bar));
    layout->addWidget(grade);

    auto apply = [&plot, &settings, snap, station, grade] {
        const GradeSnap chosen{snap->isChecked(), station->currentData().toDouble(), grade->currentData().toDouble()};
        plot.setSnap(chosen);
        settings.SetValue(kSnapKey, chosen.on ? "1" : "0");
        settings.SetValue(kStationKey, QByteArray::number(chosen.stationStep));
        settings.SetValue(kGradeKey, QByteArray::number(chosen.gradeStep));
    };
    QObject::connect(snap, &QToolButton::toggled, bar, apply);
    QObject::connect(station, &QComboBox::currentIndexChanged, bar, apply);
    QObject::connect(grade, &QComboBox::currentIndexChanged, bar, apply);
    plot.setSnap({snap->isChecked(), station->currentData().toDouble(), grade->currentData().toDouble()});
    return bar;
}

}  // namespace tarnvel::ui::profile
