#include "core/drawing/drawing_svg.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/drawing/label_layout.h"
#include "core/drawing/plot_axes.h"
#include "core/drawing/view_transform.h"

namespace tarnvel {
namespace {

constexpr double kFontSize = 12;
constexpr double kLineHeight = 14;
constexpr const char* kFonts = "'AR PL UMing CN','SimSun','Noto Sans CJK SC',sans-serif";

// Pixels with two decimals, never in the locale's form.
std::string Px(double v) {
    if (!std::isfinite(v)) v = 0;
    v = std::clamp(v, -1e7, 1e7);  // far outside the page, clipped either way
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 2);
    return std::string(buffer, r.ptr);
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

// Without a font at hand: a CJK character takes a full em, others a little over half.
double EstimatedWidth(const std::string& text) {
    double width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80) continue;
        width += c >= 0xE0 ? kFontSize : kFontSize * 0.6;
    }
    return width;
}

class Writer {
public:
    Writer(const Profile& profile, const ProfileDrawing& drawing, const SvgPage& page)
        : profile_(profile),
          drawing_(drawing),
          page_{0, 0, static_cast<double>(std::max(page.width, 1)), static_cast<double>(std::max(page.height, 1))},
          frame_(PlotFrame(page_)),
          view_(ViewTransform::Fit(drawing.extent, Inset(frame_, 24), page.exaggeration)) {}

    std::string Write() {
        out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Px(page_.width) + "\" height=\"" +
                Px(page_.height) + "\" viewBox=\"0 0 " + Px(page_.width) + " " + Px(page_.height) + "\"";
        out_ += " font-family=\"" + std::string(kFonts) + "\" font-size=\"" + Px(kFontSize) + "\">\n";
        out_ += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
        out_ += "<defs><clipPath id=\"frame\"><rect x=\"" + Px(frame_.left) + "\" y=\"" + Px(frame_.top) +
                "\" width=\"" + Px(frame_.width) + "\" height=\"" + Px(frame_.height) + "\"/></clipPath></defs>\n";
        Axes();
        out_ += "<g clip-path=\"url(#frame)\">\n";
        ChainMarks();
        Lines();
        Markers();
        Labels();
        out_ += "</g>\n";
        out_ += "<rect x=\"" + Px(frame_.left) + "\" y=\"" + Px(frame_.top) + "\" width=\"" + Px(frame_.width) +
                "\" height=\"" + Px(frame_.height) + "\" fill=\"none\" stroke=\"black\"/>\n";
        out_ += "</svg>\n";
        return std::move(out_);
    }

private:
    static DeviceRect Inset(const DeviceRect& r, double by) {
        return {r.left + by, r.top + by, std::max(1.0, r.width - 2 * by), std::max(1.0, r.height - 2 * by)};
    }

    void Text(double x, double y, const std::string& anchor, const std::string& text, const std::string& extra = "") {
        out_ += "<text x=\"" + Px(x) + "\" y=\"" + Px(y) + "\" text-anchor=\"" + anchor + "\"" + extra + ">" +
                Escaped(text) + "</text>\n";
    }

    void Axes() {
        const PlotAxes axes = AxesFor(profile_, view_, frame_);
        const double bottom = frame_.top + frame_.height;
        out_ += "<g class=\"grid\" stroke=\"#d8d8d8\" stroke-width=\"0.6\">\n";
        for (const auto& t : axes.stations) {
            const double x = view_.ToDevice({t.position, 0}).x;
            out_ += "<line x1=\"" + Px(x) + "\" y1=\"" + Px(frame_.top) + "\" x2=\"" + Px(x) + "\" y2=\"" + Px(bottom) + "\"/>\n";
        }
        for (const auto& t : axes.elevations) {
            const double y = view_.ToDevice({0, t.position}).y;
            out_ += "<line x1=\"" + Px(frame_.left) + "\" y1=\"" + Px(y) + "\" x2=\"" + Px(frame_.left + frame_.width) +
                    "\" y2=\"" + Px(y) + "\"/>\n";
        }
        out_ += "</g>\n<g class=\"axes\">\n";
        for (const auto& t : axes.stations) {
            const double x = view_.ToDevice({t.position, 0}).x;
            Text(x, bottom + 16, "middle", t.text);
        }
        for (const auto& t : axes.elevations) {
            const double y = view_.ToDevice({0, t.position}).y;
            Text(frame_.left - 6, y + 4, "end", t.text);
        }
        Text(frame_.left + frame_.width / 2, bottom + 34, "middle", "桩号");
        Text(frame_.left - 6, frame_.top - 8, "end", "高程 (" + drawing_.unit + ")");
        out_ += "</g>\n";
    }

    void ChainMarks() {
        for (const auto& c : drawing_.chainMarks) {
            const double x = view_.ToDevice({c.station, 0}).x;
            out_ += "<g class=\"chain\"><line x1=\"" + Px(x) + "\" y1=\"" + Px(frame_.top) + "\" x2=\"" + Px(x) +
                    "\" y2=\"" + Px(frame_.top + frame_.height) +
                    "\" stroke=\"#c00000\" stroke-dasharray=\"6 3\"/>\n";
            Text(x, frame_.top + 14, "middle", c.back + "=" + c.ahead, " fill=\"#c00000\"");
            Text(x, frame_.top + 28, "middle", c.description, " fill=\"#c00000\"");
            out_ += "</g>\n";
        }
    }

    void Lines() {
        for (LineRole role : {LineRole::Tangent, LineRole::Design}) {
            std::string d;
            for (const auto& line : drawing_.lines) {
                if (line.role != role || line.points.empty()) continue;
                const char* command = "M";
                for (const auto& p : line.points) {
                    const DevicePoint q = view_.ToDevice(p);
                    d += command + Px(q.x) + " " + Px(q.y);
                    command = "L";
                }
            }
            if (d.empty()) continue;
            if (role == LineRole::Design)
                out_ += "<path class=\"design\" fill=\"none\" stroke=\"black\" stroke-width=\"1.6\" d=\"" + d + "\"/>\n";
            else
                out_ += "<path class=\"tangent\" fill=\"none\" stroke=\"#606060\" stroke-width=\"0.8\" "
                        "stroke-dasharray=\"6 4\" d=\"" + d + "\"/>\n";
        }
    }

    void Markers() {
        for (const auto& m : drawing_.markers) {
            const DevicePoint p = view_.ToDevice(m.at);
            const std::string pvi = " data-pvi=\"" + std::to_string(m.pvi) + "\"";
            switch (m.kind) {
                case MarkerKind::Pvi:
                    out_ += "<circle class=\"pvi\"" + pvi + " cx=\"" + Px(p.x) + "\" cy=\"" + Px(p.y) +
                            "\" r=\"3\" fill=\"white\" stroke=\"black\"/>\n";
                    break;
                case MarkerKind::CurveStart:
                case MarkerKind::CurveEnd:
                    out_ += "<line class=\"curve-end\"" + pvi + " x1=\"" + Px(p.x) + "\" y1=\"" + Px(p.y - 6) +
                            "\" x2=\"" + Px(p.x) + "\" y2=\"" + Px(p.y + 6) + "\" stroke=\"black\"/>\n";
                    break;
                case MarkerKind::HighPoint:
                case MarkerKind::LowPoint: {
                    const double s = m.kind == MarkerKind::HighPoint ? -1 : 1;  // the tip points away from the curve
                    out_ += "<polygon class=\"extreme\"" + pvi + " points=\"" + Px(p.x) + "," + Px(p.y) + " " +
                            Px(p.x - 4) + "," + Px(p.y - s * 7) + " " + Px(p.x + 4) + "," + Px(p.y - s * 7) +
                            "\" fill=\"#1f5fbf\"/>\n";
                    break;
                }
            }
        }
    }

    void Labels() {
        auto width = [this](std::size_t i) {
            double w = 0;
            for (const auto& line : drawing_.labels[i].lines) w = std::max(w, EstimatedWidth(line));
            return w;
        };
        for (const auto& placed : PlaceLabels(drawing_, view_, frame_, width, kLineHeight)) {
            const auto& label = drawing_.labels[placed.label];
            const auto& box = placed.box;
            const std::string anchor = label.hAlign == HAlign::Left ? "start" : label.hAlign == HAlign::Right ? "end" : "middle";
            const double x = label.hAlign == HAlign::Left    ? box.left
                             : label.hAlign == HAlign::Right ? box.left + box.width
                                                             : box.left + box.width / 2;
            const char* fill = label.role == LabelRole::Grade ? "#004080" : "black";
            // One text element a line: tspans placed by x and y are not
            // understood by every renderer (SVG Tiny, which Qt reads, lacks them).
            double y = box.top + kLineHeight - 3;
            for (const auto& line : label.lines) {
                out_ += "<text class=\"label\" x=\"" + Px(x) + "\" y=\"" + Px(y) + "\" text-anchor=\"" + anchor +
                        "\" fill=\"" + fill + "\">" + Escaped(line) + "</text>\n";
                y += kLineHeight;
            }
        }
    }

    const Profile& profile_;
    const ProfileDrawing& drawing_;
    DeviceRect page_;
    DeviceRect frame_;
    ViewTransform view_;
    std::string out_;
};

}  // namespace

std::string DrawingSvg(const Profile& profile, const ProfileDrawing& drawing, const SvgPage& page) {
    return Writer(profile, drawing, page).Write();
}

}  // namespace tarnvel
