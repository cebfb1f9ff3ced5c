#pragma once
// The PVI table: one row per point of the profile (start, PVIs, end) with the
// station as typed, the elevation, the curve kind and its numbers. Reading it
// gives the points of a ProfileModel, or the cells that could not be read.

#include <QString>
#include <QStringList>

#include <vector>

#include "core/profile/profile.h"
#include "ui/profile/edit_table_model.h"

namespace tarnvel::ui::profile {

enum PviColumn { kPviStation, kPviElevation, kPviKind, kPviRadius, kPviLength, kPviLengthIn, kPviLengthOut, kPviColumns };

QStringList PviHeaders();

// The kind as the table shows it, and the words a cell may hold for it: the
// kind's name, or empty (the kind follows from the numbers given: R alone is a
// parabola by radius, L alone one by length, both lengths an unsymmetrical
// one, none a plain grade break).
QString KindText(CurveKind kind);
QStringList KindChoices();

struct PviReading {
    std::vector<ProfilePoint> points;  // complete only when `marks` is empty
    std::vector<CellMark> marks;
};

PviReading ReadPviRows(const std::vector<QStringList>& rows);

// The rows that show `points` again (numbers in their canonical text).
std::vector<QStringList> PviRowsOf(const std::vector<ProfilePoint>& points);

// Where a problem found by Profile::Resolve lies in the PVI table.
CellMark PviMarkOf(const ProfileProblem& problem);

}  // namespace tarnvel::ui::profile
