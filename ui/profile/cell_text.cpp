#include "ui/profile/cell_text.h"

#include <charconv>
#include <cmath>
#include <string>

#include "core/calculator/number_text.h"
#include "core/text/messages.h"

namespace tarnvel::ui::profile {

std::optional<double> ParseCellNumber(const QString& text, QString* error) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        if (error) *error = QStringLiteral("请输入数值。");
        return std::nullopt;
    }
    const std::optional<double> value = ReadWholeNumber(trimmed.toStdString());
    if (!value && error) *error = QStringLiteral("“%1”不是数值。").arg(trimmed);
    return value;
}

std::optional<Station> ParseCellStation(const QString& text, QString* error) {
    if (text.trimmed().isEmpty()) {
        if (error) *error = QStringLiteral("请输入桩号。");
        return std::nullopt;
    }
    StationTextProblem problem;
    std::optional<Station> station = ParseStation(text.toStdString(), &problem);
    if (!station && error) *error = QString::fromStdString(DescribeStationText(problem));
    return station;
}

QString StationText(const Station& station) {
    return QString::fromStdString(FormatStation(station, StationStyle::K, 3));
}

QString StationText(double value) { return QString::fromStdString(FormatStation(value, StationStyle::K, 3)); }

QString ExactStationText(const Station& station) {
    // K notation with as few decimals (at least 3) as give the value back exactly.
    for (int decimals = 3; decimals <= 9; ++decimals) {
        const std::string text = FormatStation(station, StationStyle::K, decimals);
        const std::optional<Station> back = ParseStation(text);
        if (back && *back == station) return QString::fromStdString(text);
    }
    return QString::fromStdString(FormatStation(station, StationStyle::Plain));
}

QString FixedCellText(double value, int decimals) {
    if (std::isnan(value)) return QStringLiteral("—");
    return QString::fromStdString(FixedText(value, decimals));
}

std::vector<QStringList> ParseTabBlock(const QString& text) {
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normal.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = normal.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    std::vector<QStringList> rows;
    qsizetype width = 0;
    for (const QString& line : lines) {
        rows.push_back(line.split(QLatin1Char('\t')));
        width = std::max(width, rows.back().size());
    }
    for (QStringList& row : rows) {
        while (row.size() < width) row.append(QString());
    }
    return rows;
}

QString TabBlockText(const std::vector<QStringList>& rows) {
    QString text;
    for (const QStringList& row : rows) text += row.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
    return text;
}

}  // namespace tarnvel::ui::profile
