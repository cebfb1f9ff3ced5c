#pragma once
// The plot as files: PNG and SVG of the plot (the 纵断面图 sheets are
// core/drawing/sheet.h, written by output/sheet_writer.h). Each
// renders into memory first and is written with io::WriteFileAtomically, so
// that a failed export never leaves a half-written file.

#include <optional>
#include <string>

#include <QString>

#include "core/profile/ground_line.h"
#include "core/profile/profile.h"
#include "io/io_failure.h"

namespace tarnvel::ui {

struct PlotImageOptions {
    int width = 1600;  // pixels
    int height = 900;
    double exaggeration = 10;
};

// A ground line (checked against the profile; nullptr: none) is drawn with
// its fill and cut, as the window shows it.
std::optional<io::IoFailure> WritePlotPng(const std::string& path, const Profile& profile,
                                          const PlotImageOptions& options, const GroundLine* ground = nullptr);
std::optional<io::IoFailure> WritePlotSvg(const std::string& path, const Profile& profile,
                                          const PlotImageOptions& options, const GroundLine* ground = nullptr);

// The exaggeration an export draws with: brought within 1 to 1000, as the
// plot allows; a value that is not a number draws at 10.
double UsableExaggeration(double exaggeration);

}  // namespace tarnvel::ui
