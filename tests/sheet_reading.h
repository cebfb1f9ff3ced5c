#pragma once
// Reading a 纵断面图 sheet back as a surveyor would: the band table's columns
// by their station texts, and a test ground line. Shared by the core, DXF and
// command-line tests, which read the same sheets from different outputs.

#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/drawing/drawn_ground.h"
#include "core/drawing/sheet.h"
#include "core/profile/ground_line.h"
#include "core/profile/profile.h"

namespace tarnvel::test {

struct TextAt {
    std::string text;
    double x = 0, y = 0;  // page mm, y down
    double angle = 0;     // degrees
};

// One page's band columns: station text → row name → value text, and "x" →
// the column's place on the page. A chain break's column ("K1+500=K1+480")
// is found under both of its labels.
using BandColumns = std::map<std::string, std::map<std::string, std::string>>;

inline BandColumns ReadBands(const std::vector<TextAt>& texts) {
    static const char* const kRows[] = {"设计高程", "地面高程", "填高", "挖深", "里程桩号"};
    std::vector<std::pair<double, std::string>> rows;  // centre, name
    for (const auto& t : texts)
        for (const char* name : kRows)
            if (t.text == name && std::abs(t.angle) < 1e-6) rows.push_back({t.y, name});
    std::sort(rows.begin(), rows.end());
    std::map<long, std::map<std::string, std::string>> byX;
    for (const auto& t : texts) {
        if (std::abs(t.angle - 90) > 1e-6) continue;
        const std::string* row = nullptr;
        for (const auto& [centre, name] : rows)
            if (centre < t.y && t.y < centre + 15) row = &name;
        if (row) byX[std::lround(t.x * 100)][*row] = t.text;
    }
    BandColumns columns;
    for (auto& [x, cells] : byX) {
        if (!cells.count("里程桩号")) continue;
        cells["x"] = std::to_string(static_cast<double>(x) / 100);
        const std::string station = cells["里程桩号"];
        const auto split = station.find('=');
        if (split == std::string::npos) {
            columns[station] = cells;
        } else {
            columns[station.substr(0, split)] = cells;
            columns[station.substr(split + 1)] = cells;
        }
    }
    return columns;
}

inline std::vector<TextAt> TextsOf(const Page& page) {
    std::vector<TextAt> texts;
    for (const auto& t : page.texts) texts.push_back({t.text, t.anchor.x, t.anchor.y, t.angle});
    return texts;
}

// The elevation a sheet's drawing shows at a page point, through the sheet's
// frame; every datum whose stretch holds the station is tried, since the
// station of a datum step belongs to both.
inline std::vector<std::pair<double, double>> ScaleBack(const SheetFrame& frame, double x, double y) {
    std::vector<std::pair<double, double>> found;
    const double s = frame.from + (x - frame.left) / frame.xPerUnit;
    for (const auto& d : frame.datums)
        if (s >= d.from - 1e-6 && s <= d.to + 1e-6) found.push_back({s, d.datum + (frame.bottom - y) / frame.yPerUnit});
    return found;
}

// A surveyed ground line for the tests, straight between its points (internal
// stations), as the drawings take it; the line is held with it.
inline std::shared_ptr<const DrawnGround> TestGround(const Profile& profile, const std::vector<double>& stations,
                                                     const std::vector<double>& elevations) {
    GroundModel model;
    model.stations = GroundStations::Internal;
    for (std::size_t i = 0; i < stations.size(); ++i) model.points.push_back({Station{stations[i], 0}, elevations[i], 0});
    struct Held {
        GroundLine line;
        DrawnGround drawn;
    };
    auto held = std::make_shared<Held>(Held{*GroundLine::Make(std::move(model), profile), {}});
    held->drawn = MakeDrawnGround(profile, held->line);
    return std::shared_ptr<const DrawnGround>(held, &held->drawn);
}

}  // namespace tarnvel::test
