#include "ui/profile/cell_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "core/calculator/number_text.h"
#include "core/text/messages.h"
#include "core/text/output_vocabulary.h"
#include "core/profile/profile.h"
#include "core/profile/units.h"
#include "io/exact_number.h"

#include <string>
#include <string_view>
#include <variant>

#include "io/csv_records.h"

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
    // K notation with as few decimals (at least 3) as give the value back
    // exactly. The station parser reads K notation as the decimal text of km ×
    // 1000 + metres, so the decimals needed are those of the value's shortest
    // exact text: the correctly rounded text with that many reads back, and
    // none with fewer does. A table of a million rows fills without reading
    // each cell back.
    if (std::isfinite(station.value)) {
        const std::string shortest = io::ExactNumberText(station.value);
        const std::size_t point = shortest.find('.');
        const int decimals = point == std::string::npos ? 0 : static_cast<int>(shortest.size() - point - 1);
        if (decimals <= 12) return QString::fromStdString(FormatStation(station, StationStyle::K, std::max(decimals, 3)));
    }
    // More digits than fixed decimals hold: the metres in their shortest exact
    // text (the subtraction of whole kilometres is exact), else the plain number.
    std::string suffix = station.occurrence > 0 ? "(" + std::to_string(station.occurrence) + ")" : "";
    if (station.value >= 0 && station.value < 1e15) {
        const double km = std::floor(station.value / 1000);
        std::string metres = io::ExactNumberText(station.value - km * 1000);
        const std::size_t whole = std::min(metres.find('.'), metres.size());
        if (whole < 3) metres.insert(0, 3 - whole, '0');
        const std::string text = "K" + io::ExactNumberText(km) + "+" + metres + suffix;
        const std::optional<Station> back = ParseStation(text);
        if (back && *back == station) return QString::fromStdString(text);
    }
    return QString::fromStdString(io::ExactNumberText(station.value) + suffix);
}

QString ExactNumberCell(double value) { return QString::fromStdString(io::ExactNumberText(value)); }

QString HeldStationCell(const QString& cell, int powerOfTen) {
    if (powerOfTen == 0) return cell;
    std::optional<Station> s = ParseCellStation(cell, nullptr);
    if (!s) return cell;
    s->value = HeldValue(s->value, powerOfTen);
    return std::isfinite(s->value) ? ExactStationText(*s) : cell;
}

QString HeldNumberCell(const QString& cell, int powerOfTen) {
    if (powerOfTen == 0) return cell;
    const std::optional<double> number = ParseCellNumber(cell, nullptr);
    if (!number) return cell;
    const double held = HeldValue(*number, powerOfTen);
    return std::isfinite(held) ? ExactNumberCell(held) : cell;
}

QString EndLabelText(const Profile& profile, ProfileEnd end) {
    const bool atEnd = end == ProfileEnd::End;
    const Station label = profile.LabelOf(atEnd ? profile.EndStation() : profile.StartStation());
    auto onProfile = [&](const std::string& text) {
        const std::optional<Station> back = ParseStation(text);
        if (!back) return false;
        try {
            profile.AtLabel(*back);
            return true;
        } catch (const StationError&) {
            return false;
        }
    };
    // Millimetres toward the inside; a step further when the chain table's
    // arithmetic still places the text a hair outside.
    Station inside = label;
    inside.value = atEnd ? std::floor(label.value * 1000) / 1000 : std::ceil(label.value * 1000) / 1000;
    std::string text = FormatStation(inside, StationStyle::K, 3);
    for (int step = 0; step < 3 && !onProfile(text); ++step) {
        inside.value += atEnd ? -0.001 : 0.001;
        text = FormatStation(inside, StationStyle::K, 3);
    }
    return QString::fromStdString(text);
}

QString FixedCellText(double value, int decimals) {
    if (std::isnan(value)) return QStringLiteral("—");
    return QString::fromStdString(FixedText(value, decimals));
}

QString GradeCellText(double grade) { return FixedCellText(grade, ColumnDecimals(ColumnKind::Grade, TextOptions{})); }

std::vector<QStringList> ParseTabBlock(const QString& text) {
    std::vector<QStringList> rows;
    const QByteArray utf8 = text.toUtf8();
    auto split = io::SplitCsvRecords(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), '\t');
    if (const auto* records = std::get_if<std::vector<io::CsvRecord>>(&split)) {
        for (const io::CsvRecord& record : *records) {
            QStringList row;
            for (const std::string& cell : record.cells) row.append(QString::fromStdString(cell));
            rows.push_back(std::move(row));
        }
    } else {
        // A quote that never closes is no quoted cell but a quote mark typed
        // into one: the text is split as it stands, so nothing is lost.
        QString normal = text;
        normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        normal.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QStringList lines = normal.split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
        for (const QString& line : lines) rows.push_back(line.split(QLatin1Char('\t')));
    }
    qsizetype width = 0;
    for (const QStringList& row : rows) width = std::max(width, row.size());
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
