#pragma once
// What a table cell holds, read strictly: a cell is either a whole number or
// station, or it is marked with the reason. Nothing here reads an unreadable
// text as 0 (the main window's boxes do, the tables must not).
// Also the tab-separated block a spreadsheet puts on the clipboard.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "core/profile/station.h"

namespace tarnvel {
class Profile;
}

namespace tarnvel::ui::profile {

// A finite number written alone in the cell (blanks around it allowed,
// full-width forms folded). Sets `error` to a Chinese sentence otherwise.
std::optional<double> ParseCellNumber(const QString& text, QString* error);

// A station label (plain or K notation, "(2)" allowed) as ParseStation reads it.
std::optional<Station> ParseCellStation(const QString& text, QString* error);

// The label as the tables and boxes show it: K notation, 3 decimals.
QString StationText(const Station& station);
QString StationText(double value);
// The label as a table cell shows a loaded file: K notation with as many
// decimals as the value needs (3 to 12), else the shortest plain number that
// reads back exactly, so that reading the cell back gives the file's value,
// not one rounded to the millimetre nor one cut to 15 digits.
QString ExactStationText(const Station& station);
// A number as a table cell shows a loaded file: the shortest text that reads
// back to the very same double ("349.90386424768337", "5", "0.1").
QString ExactNumberCell(double value);

// A pasted cell of a column whose header states millimetres, centimetres or
// kilometres, as the table holds it (moved by `powerOfTen` to metres, see
// core/profile/units.h). A cell that does not read stays as written, to be
// marked.
QString HeldStationCell(const QString& cell, int powerOfTen);
QString HeldNumberCell(const QString& cell, int powerOfTen);

enum class ProfileEnd { Start, End };
// The label of the profile's first or last point as a text that reads back
// onto the profile: rounded to the millimetre toward the inside, and a
// millimetre further in when the chain table's arithmetic would still place
// it a hair outside. What the window shows as the ends, and offers to list.
QString EndLabelText(const Profile& profile, ProfileEnd end);
// A number with `decimals` decimals, "—" for NaN.
QString FixedCellText(double value, int decimals = 3);
// A grade in percent as the listing writes it (output vocabulary: ColumnDecimals).
QString GradeCellText(double grade);

// A block of cells copied from a spreadsheet: rows split on CR LF or LF (a
// last empty line dropped), cells on tabs; a quoted cell may hold tabs, line
// breaks and doubled quotes. Short rows are padded with empty
// cells so that the block is rectangular.
std::vector<QStringList> ParseTabBlock(const QString& text);
// The way back: tabs between cells, CR LF after every row.
QString TabBlockText(const std::vector<QStringList>& rows);

}  // namespace tarnvel::ui::profile
