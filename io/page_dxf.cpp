#include "io/page_dxf.h"

#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "io/atomic_write.h"
#include "io/dxf_bytes.h"
#include "io/gbk.h"

namespace tarnvel::io {
namespace {

using StringWriter = DxfBytesWriter;

// The AutoCAD colour index nearest to a role's look, so that a plain viewer
// shows the same colours as the PDF; the true colour is written beside it.
int ColourIndex(std::uint32_t rgb) {
    struct Known {
        std::uint32_t rgb;
        int index;
    };
    static constexpr Known kKnown[] = {{0x000000, 7}, {0xff0000, 1}, {0xffff00, 2}, {0x00ff00, 3},
                                       {0x00ffff, 4}, {0x0000ff, 5}, {0xff00ff, 6}, {0x808080, 8},
                                       {0xc0c0c0, 9}, {0xff7f00, 30}, {0x7f3f00, 34}, {0x0040a0, 160}};
    auto channel = [](std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xff); };
    int best = 7;
    long bestDistance = -1;
    for (const Known& k : kKnown) {
        long d = 0;
        for (const int shift : {16, 8, 0}) {
            const long delta = channel(rgb, shift) - channel(k.rgb, shift);
            d += delta * delta;
        }
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = k.index;
        }
    }
    return best;
}

DL_Attributes AttributesOf(PageRole role) {
    const RoleStyle& style = StyleOf(role);
    DL_Attributes attributes(Utf8ToGbk(style.layer), ColourIndex(style.rgb),
                             static_cast<int>(std::lround(style.lineWidth * 100)),
                             style.dashed ? "DASHED" : "CONTINUOUS", 1.0);
    attributes.setColor24(static_cast<int>(style.rgb));
    return attributes;
}

// A page's millimetres in model space: beside the pages before it, or where
// its world placement puts it (then in the world's unit).
struct Placement {
    double dx = 0, height = 0;
    const PageWorld* world = nullptr;
    double X(const PagePoint& p) const { return world ? world->east + p.x * world->unitsPerMm : dx + p.x; }
    double Y(const PagePoint& p) const { return world ? world->north - p.y * world->unitsPerMm : height - p.y; }
    double Length(double mm) const { return world ? mm * world->unitsPerMm : mm; }
};

// The drawing's $INSUNITS: millimetres of paper, or the world's unit.
int InsertionUnits(const std::vector<Page>& pages) {
    if (pages.empty() || !pages.front().world) return 4;
    switch (pages.front().world->unit) {
        case LengthUnit::Metre: return 6;
        case LengthUnit::Foot: return 2;
        case LengthUnit::USSurveyFoot: return 21;
    }
    return 6;
}

void WriteLine(DL_Dxf& dxf, StringWriter& dw, const PageLine& line, const Placement& at) {
    if (line.points.size() < 2) return;
    const DL_Attributes attributes = AttributesOf(line.role);
    dxf.writePolyline(dw, DL_PolylineData(static_cast<int>(line.points.size()), 0, 0, line.closed ? 1 : 0), attributes);
    for (const auto& p : line.points) dxf.writeVertex(dw, DL_VertexData(at.X(p), at.Y(p), 0, 0));
    dxf.writePolylineEnd(dw);
}

void WriteArea(DL_Dxf& dxf, StringWriter& dw, const PageArea& area, const Placement& at) {
    const std::size_t n = area.outline.size();
    if (n < 3) return;
    const DL_Attributes attributes = AttributesOf(area.role);
    DL_HatchData hatch(1, true, 1.0, 0.0, "SOLID");
    dxf.writeHatch1(dw, hatch, attributes);
    DL_HatchLoopData loop(static_cast<int>(n));
    dxf.writeHatchLoop1(dw, loop);
    for (std::size_t i = 0; i < n; ++i) {
        const PagePoint& p = area.outline[i];
        const PagePoint& q = area.outline[(i + 1) % n];
        dxf.writeHatchEdge(dw, DL_HatchEdgeData(at.X(p), at.Y(p), at.X(q), at.Y(q)));
    }
    dxf.writeHatchLoop2(dw, loop);
    dxf.writeHatch2(dw, hatch, attributes);
}

void WriteText(DL_Dxf& dxf, StringWriter& dw, const PageText& text, const Placement& at,
               std::vector<std::string>* lost) {
    if (text.text.empty()) return;
    const int h = text.hAlign == TextHAlign::Left ? 0 : text.hAlign == TextHAlign::Centre ? 1 : 2;
    // The page's text box runs from the baseline to the top of a capital.
    const int v = text.vAlign == TextVAlign::Bottom ? 0 : text.vAlign == TextVAlign::Middle ? 2 : 3;
    const double x = at.X(text.anchor), y = at.Y(text.anchor);
    const double radians = text.angle * std::acos(-1.0) / 180;
    // A group value is one line: a line break in a text (a project name
    // pasted with one) would end it and be read as the next group.
    const std::string value = Utf8ToGbk(DrawnText(text.text), lost);
    dxf.writeText(dw, DL_TextData(x, y, 0, x, y, 0, at.Length(text.height), 1.0, 0, h, v, value, kDxfTextStyle,
                                  radians),
                  AttributesOf(text.role));
}

// The layers the pages draw on, in the order of the table of looks: a
// profile's sheets carry no plan layers, nor the plan the profile's.
std::vector<std::string> LayerNames(const std::vector<Page>& pages) {
    std::array<bool, kPageRoleCount> used{};
    const auto use = [&](PageRole role) { used[static_cast<std::size_t>(role)] = true; };
    for (const Page& page : pages) {
        for (const auto& area : page.areas) use(area.role);
        for (const auto& line : page.lines) use(line.role);
        for (const auto& text : page.texts) use(text.role);
    }
    std::vector<std::string> names;
    for (int r = 0; r < kPageRoleCount; ++r) {
        const std::string name(StyleOf(static_cast<PageRole>(r)).layer);
        if (used[static_cast<std::size_t>(r)] && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

}  // namespace

std::string PagesDxf(const std::vector<Page>& pages, std::vector<std::string>* lost) {
    DL_Dxf dxf;
    StringWriter dw;
    dxf.writeHeader(dw);
    dw.dxfString(9, "$DWGCODEPAGE");
    dw.dxfString(3, "ANSI_936");
    dw.dxfString(9, "$INSUNITS");
    dw.dxfInt(70, InsertionUnits(pages));
    dw.dxfString(9, "$MEASUREMENT");
    dw.dxfInt(70, 1);
    dw.dxfString(9, "$LWDISPLAY");
    dw.dxfInt(290, 1);
    dw.sectionEnd();

    dw.sectionTables();
    dxf.writeVPort(dw);
    double dashes[] = {3.0, -1.5};
    dw.tableLinetypes(4);
    dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("DASHED", "__ __ __", 0, 2, 4.5, dashes));
    dw.tableEnd();
    const std::vector<std::string> layers = LayerNames(pages);
    dw.tableLayers(static_cast<int>(layers.size()) + 1);
    dxf.writeLayer(dw, DL_LayerData("0", 0), DL_Attributes("", 7, 25, "CONTINUOUS", 1.0));
    for (const std::string& name : layers) {
        // The layer takes the look of the first role drawn on it.
        int role = 0;
        while (StyleOf(static_cast<PageRole>(role)).layer != name) ++role;
        const RoleStyle& style = StyleOf(static_cast<PageRole>(role));
        dxf.writeLayer(dw, DL_LayerData(Utf8ToGbk(name), 0),
                       DL_Attributes("", ColourIndex(style.rgb), static_cast<int>(std::lround(style.lineWidth * 100)),
                                     "CONTINUOUS", 1.0));
    }
    dw.tableEnd();
    WriteDxfTablesToEntities(dxf, dw, kDxfTextStyle);
    double dx = 0;
    for (const Page& page : pages) {
        const Placement at{dx, page.height, page.world ? &*page.world : nullptr};
        for (const auto& area : page.areas) WriteArea(dxf, dw, area, at);
        for (const auto& line : page.lines) WriteLine(dxf, dw, line, at);
        for (const auto& text : page.texts) WriteText(dxf, dw, text, at, lost);
        dx += page.width + kDxfPageGap;
    }
    dw.sectionEnd();
    dxf.writeObjects(dw);
    dxf.writeObjectsEnd(dw);
    dw.dxfEOF();
    return std::move(dw.Bytes());
}

std::optional<IoFailure> WritePagesDxf(const std::string& path, const std::vector<Page>& pages,
                                       std::vector<std::string>* lost) {
    return WriteFileAtomically(path, PagesDxf(pages, lost));
}

}  // namespace tarnvel::io
