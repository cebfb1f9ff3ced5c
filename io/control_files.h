#pragma once
// The files of the checks a designer keeps beside a profile: the control
// table (控制标高: 桩号,最低高程,最高高程,名称), read like the ground table
// (title rows, GBK or UTF-8, the columns found by their header words), and
// the designer's criteria (criterion,value). Either bound of a control may be
// empty; so may any criterion.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/profile/design_check.h"
#include "core/profile/units.h"
#include "io/io_failure.h"

namespace tarnvel::io {

// What a control table gave: the controls that read, and the cells that did
// not (StationUnreadable, BoundUnreadable), by row.
struct ControlReading {
    std::vector<ControlPoint> controls;
    std::vector<ControlProblem> problems;  // the first kListedGroundProblems, as a ground table's
    std::size_t problemCount = 0;          // all of them
    std::optional<LengthUnit> unit;  // when the header states one
};

// The station, bound and name columns (from 0) a header row names; nothing
// without a station column and at least one bound. What a block pasted from
// a spreadsheet is read by, too.
struct ControlColumns {
    std::size_t station = 0;
    std::optional<std::size_t> lower, upper, name;
    std::optional<Unit> unit;  // as the station and bound columns state it
    UnitProblem unitProblem;   // a fault: they state one that cannot be used
};
std::optional<ControlColumns> FindControlColumns(const std::vector<std::string>& headerCells);

// A bound's cell: empty is no bound; nothing for a cell that is no number.
std::optional<std::optional<double>> ReadBoundCell(std::string_view cell);

Result<ControlReading> ParseControlCsv(std::string_view bytes, std::string_view path);
// UTF-8 with byte-order mark, CR LF, the header 桩号,最低高程,最高高程,名称
// (the unit in brackets when it is not the metre).
std::string ControlCsvBytes(const std::vector<ControlPoint>& controls, LengthUnit unit);

Result<DesignCriteria> ParseCriteriaCsv(std::string_view bytes, std::string_view path);
// criterion,value and one row for each criterion that is set, in the order
// of kCriteria.
std::string CriteriaCsvBytes(const DesignCriteria& criteria);

// ---- Files ---------------------------------------------------------------
Result<ControlReading> ReadControlFile(const std::string& path);
Result<DesignCriteria> ReadCriteriaFile(const std::string& path);
// Atomic, as every write of this program.
[[nodiscard]] std::optional<IoFailure> WriteControlCsvFile(const std::string& path,
                                                           const std::vector<ControlPoint>& controls,
                                                           LengthUnit unit);
[[nodiscard]] std::optional<IoFailure> WriteCriteriaFile(const std::string& path, const DesignCriteria& criteria);

// The control table that goes with a CSV profile: "<stem>-控制标高.csv" in
// the same folder, as the ground table's "<stem>-地面线.csv".
std::string ControlCompanionPath(const std::string& profilePath);
// The criteria that go with a CSV profile: "<stem>-设计标准.csv".
std::string CriteriaCompanionPath(const std::string& profilePath);

}  // namespace tarnvel::io
