#include "ui/profile/pvi_table.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <utility>

#include "ui/profile/cell_text.h"
#include "core/text/messages.h"

namespace tarnvel::ui::profile {
namespace {

constexpr std::array<CurveKind, 5> kKinds = {CurveKind::None, CurveKind::ParabolaRadius, CurveKind::ParabolaLength,
                                             CurveKind::Unsymmetric, CurveKind::Circular};

// The file's number as the shortest text that reads back to it: never cut to
// 15 digits, which would show binary noise and change the value on save.
QString NumberCell(double value) { return ExactNumberCell(value); }

// The curve numbers of a design repeat (a few radii serve a whole road): each
// value's text is made once and shared by the cells that show it, which keeps
// the table of a large file smaller and quicker to fill. The cache is bounded
// so that a file of all-different numbers costs no more than without it.
class SharedNumberCells {
public:
    QString operator()(double value) {
        const auto bits = std::bit_cast<quint64>(value);
        if (const auto found = texts_.constFind(bits); found != texts_.constEnd()) return *found;
        QString text = NumberCell(value);
        if (texts_.size() < kMaxTexts) texts_.insert(bits, text);
        return text;
    }

private:
    static constexpr qsizetype kMaxTexts = 4096;
    QHash<quint64, QString> texts_;
};

// Reads the kind's own number cells and checks that the others are empty, so
// that a radius typed beside a kind that has none is pointed out rather than
// ignored.
void ReadCurve(const QStringList& cells, int row, CurveKind kind, ProfilePoint& point, std::vector<CellMark>& marks) {
    point.curve.kind = kind;
    auto need = [&](int column, double& into) {
        QString why;
        if (const auto value = ParseCellNumber(cells[column], &why)) {
            into = *value;
        } else {
            marks.push_back({row, column, why});
        }
    };
    auto unused = [&](int column) {
        if (!cells[column].trimmed().isEmpty())
            marks.push_back({row, column, QStringLiteral("竖曲线类型“%1”不用此项，请清空或改选类型。").arg(KindText(kind))});
    };
    switch (kind) {
    case CurveKind::None:
        for (int c : {kPviRadius, kPviLength, kPviLengthIn, kPviLengthOut}) unused(c);
        break;
    case CurveKind::ParabolaRadius:
    case CurveKind::Circular:
        need(kPviRadius, point.curve.radius);
        for (int c : {kPviLength, kPviLengthIn, kPviLengthOut}) unused(c);
        break;
    case CurveKind::ParabolaLength:
        need(kPviLength, point.curve.length);
        for (int c : {kPviRadius, kPviLengthIn, kPviLengthOut}) unused(c);
        break;
    case CurveKind::Unsymmetric:
        need(kPviLengthIn, point.curve.lengthIn);
        need(kPviLengthOut, point.curve.lengthOut);
        for (int c : {kPviRadius, kPviLength}) unused(c);
        break;
    }
}

std::optional<CurveKind> KindOfCells(const QStringList& cells, int row, std::vector<CellMark>& marks) {
    const QString text = cells[kPviKind].trimmed();
    if (text.isEmpty()) {
        auto given = [&](int column) { return !cells[column].trimmed().isEmpty(); };
        const bool r = given(kPviRadius), l = given(kPviLength), lin = given(kPviLengthIn) || given(kPviLengthOut);
        if (r + l + lin > 1) {
            marks.push_back({row, kPviKind, QStringLiteral("半径与曲线长同时给出，请选择竖曲线类型。")});
            return std::nullopt;
        }
        if (r) return CurveKind::ParabolaRadius;
        if (l) return CurveKind::ParabolaLength;
        if (lin) return CurveKind::Unsymmetric;
        return CurveKind::None;
    }
    for (CurveKind kind : kKinds) {
        if (text == KindText(kind)) return kind;
    }
    marks.push_back({row, kPviKind, QStringLiteral("“%1”不是竖曲线类型，可选：%2。").arg(text, KindChoices().join(QStringLiteral("、")))});
    return std::nullopt;
}

}  // namespace

QStringList PviHeaders() {
    return {QStringLiteral("桩号"),   QStringLiteral("高程"),     QStringLiteral("竖曲线"),
            QStringLiteral("半径R"),  QStringLiteral("曲线长L"), QStringLiteral("前段长"),
            QStringLiteral("后段长")};
}

QString KindText(CurveKind kind) {
    // One text a kind, shared by every cell that shows it.
    static const std::array<QString, kKinds.size()> texts = [] {
        std::array<QString, kKinds.size()> made;
        for (std::size_t i = 0; i < kKinds.size(); ++i) made[i] = QString::fromUtf8(CurveKindName(kKinds[i]));
        return made;
    }();
    const auto found = std::find(kKinds.begin(), kKinds.end(), kind);
    if (found == kKinds.end()) return QString::fromUtf8(CurveKindName(kind));
    return texts[static_cast<std::size_t>(found - kKinds.begin())];
}

QStringList KindChoices() {
    QStringList names;
    for (CurveKind kind : kKinds) names.append(KindText(kind));
    return names;
}

PviReading ReadPviRows(const std::vector<QStringList>& rows) {
    PviReading reading;
    reading.points.reserve(rows.size());
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const QStringList& cells = rows[row];
        ProfilePoint point;
        QString why;
        if (const auto station = ParseCellStation(cells[kPviStation], &why)) {
            point.station = *station;
        } else {
            reading.marks.push_back({row, kPviStation, why});
        }
        if (const auto elevation = ParseCellNumber(cells[kPviElevation], &why)) {
            point.elevation = *elevation;
        } else {
            reading.marks.push_back({row, kPviElevation, why});
        }
        if (const auto kind = KindOfCells(cells, row, reading.marks)) ReadCurve(cells, row, *kind, point, reading.marks);
        reading.points.push_back(point);
    }
    return reading;
}

std::vector<QStringList> PviRowsOf(const std::vector<ProfilePoint>& points) {
    std::vector<QStringList> rows;
    rows.reserve(points.size());
    SharedNumberCells curveNumber;
    for (const ProfilePoint& point : points) {
        QStringList cells(kPviColumns);
        cells[kPviStation] = ExactStationText(point.station);
        cells[kPviElevation] = NumberCell(point.elevation);
        const CurveSpec& curve = point.curve;
        if (curve.kind != CurveKind::None) cells[kPviKind] = KindText(curve.kind);
        switch (curve.kind) {
        case CurveKind::None: break;
        case CurveKind::ParabolaRadius:
        case CurveKind::Circular: cells[kPviRadius] = curveNumber(curve.radius); break;
        case CurveKind::ParabolaLength: cells[kPviLength] = curveNumber(curve.length); break;
        case CurveKind::Unsymmetric:
            cells[kPviLengthIn] = curveNumber(curve.lengthIn);
            cells[kPviLengthOut] = curveNumber(curve.lengthOut);
            break;
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

CellMark PviMarkOf(const ProfileProblem& problem) {
    CellMark mark{static_cast<int>(problem.point), -1, QString::fromStdString(DescribeProfileProblem(problem))};
    switch (problem.field) {
    case ProfileField::Station: mark.column = kPviStation; break;
    case ProfileField::Elevation: mark.column = kPviElevation; break;
    case ProfileField::Curve: mark.column = kPviKind; break;
    case ProfileField::Whole:
    case ProfileField::Chain: break;
    }
    return mark;
}

}  // namespace tarnvel::ui::profile
