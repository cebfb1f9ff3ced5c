#pragma once
// Reading a 纵断面图 sheet back as a surveyor would: the band table's columns
// by their station texts, and a test ground line. Shared by the core, DXF and
// command-line tests, which read the same sheets from different outputs.

#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/drawing/sheet.h"
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

// A surveyed ground line for the tests: straight between its points, with
// the crossings of the design found by bisection.
inline SheetGround TestGround(const Profile& profile, std::vector<double> stations, std::vector<double> elevations) {
    SheetGround ground;
    ground.stations = std::move(stations);
    ground.elevations = std::move(elevations);
    const auto s = ground.stations, z = ground.elevations;
    ground.at = [s, z](double at) -> std::optional<double> {
        if (at < s.front() || at > s.back()) return std::nullopt;
        std::size_t i = 0;
        while (i + 2 < s.size() && at > s[i + 1]) ++i;
        return z[i] + (at - s[i]) / (s[i + 1] - s[i]) * (z[i + 1] - z[i]);
    };
    auto diff = [&](double at) { return profile.At(at).elevation - *ground.at(at); };
    for (double a = s.front(); a < s.back();) {
        const double b = std::min(a + 1.0, s.back());
        if (diff(a) * diff(b) < 0) {
            double lo = a, hi = b;
            for (int k = 0; k < 80; ++k) {
                const double mid = (lo + hi) / 2;
                (diff(lo) * diff(mid) <= 0 ? hi : lo) = mid;
            }
            ground.zeroPoints.push_back((lo + hi) / 2);
        }
        a = b;
    }
    return ground;
}

}  // namespace tarnvel::test
