#pragma once
// Large profile files for the reading benchmarks, generated the same way
// each time: PVIs 100.25 m apart, elevations rounded to millimetres, every
// curve kind in turn.

#include <cmath>
#include <cstddef>
#include <string>

#include "core/calculator/number_text.h"
#include "io/profile_files.h"

namespace tarnvel::bench {

inline ProfileModel GeneratedProfile(std::size_t points) {
    ProfileModel model;
    model.name = "generated";
    for (std::size_t i = 0; i < points; ++i) {
        ProfilePoint p;
        p.station = Station{10000 + 100.25 * static_cast<double>(i), 0};
        p.elevation = RoundTo3(400 + 6 * std::sin(0.37 * static_cast<double>(i)));
        if (i > 0 && i + 1 < points) {
            switch (i % 4) {
                case 0: p.curve = {CurveKind::ParabolaLength, 0, 40, 0, 0}; break;
                case 1: p.curve = {CurveKind::Unsymmetric, 0, 0, 20, 30.5}; break;
                case 2: p.curve = {CurveKind::Circular, 3000, 0, 0, 0}; break;
                default: break;
            }
        }
        model.points.push_back(p);
    }
    return model;
}

// A LandXML file of at least `bytes` bytes.
inline std::string GeneratedLandXml(std::size_t bytes) {
    // About 68 bytes a point; grow until the size is reached.
    std::size_t points = bytes / 68;
    for (;;) {
        std::string xml = io::LandXmlBytes(GeneratedProfile(points));
        if (xml.size() >= bytes) return xml;
        points += points / 10 + 1;
    }
}

inline std::string GeneratedCsv(std::size_t rows) { return io::ProfileCsvBytes(GeneratedProfile(rows)); }

}  // namespace tarnvel::bench
