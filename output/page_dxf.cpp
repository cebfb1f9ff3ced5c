#include "output/page_dxf.h"

#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "io/atomic_write.h"
#include "io/dxf_bytes.h"
#include "io/gbk.h"

namespace tarnvel::output {
namespace {

using io::Utf8ToGbkEncoder;

using StringWriter = io::DxfBytesWriter;

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

// What a file needs for every entity, made once: the attributes of each
// role with its layer name in GBK, and one converter for the texts.
struct DxfContext {
    DxfContext() {
        for (int r = 0; r < kPageRoleCount; ++r) {
            const RoleStyle& style = StyleOf(static_cast<PageRole>(r));
            DL_Attributes a(encoder.Encode(style.layer), ColourIndex(style.rgb),
                            static_cast<int>(std::lround(style.lineWidth * 100)),
                            style.dashed ? "DASHED" : "CONTINUOUS", 1.0);
            a.setColor24(static_cast<int>(style.rgb));
            attributes.push_back(std::move(a));
        }
    }
    const DL_Attributes& AttributesOf(PageRole role) const { return attributes[static_cast<std::size_t>(role)]; }

    Utf8ToGbkEncoder encoder;
    std::vector<DL_Attributes> attributes;
    std::vector<std::string>* lost = nullptr;
};

// A page's millimetres in model space: beside the pages before it, or where
// its world placement puts it (then in the world's unit).
struct Placement {
    double dx = 0, height = 0;
    const PageWorld* world = nullptr;
    double X(const PagePoint& p) const { return world ? world->east + p.x * world->unitsPerMm : dx + p.x; }
    double Y(const PagePoint& p) const { return world ? world->north - p.y * world->unitsPerMm : height - p.y; }
    double Length(double mm) const { return world ? mm * world->unitsPerMm : mm; }
};

// The drawing's $INSUNITS: millimetres of paper, or the world's unit of the
// first page.
int InsertionUnits(const Page* first) {
    if (!first || !first->world) return 4;
    switch (first->world->unit) {
        case LengthUnit::Metre: return 6;
        case LengthUnit::Foot: return 2;
        case LengthUnit::USSurveyFoot: return 21;
    }
    return 6;
}

void WriteLine(DL_Dxf& dxf, StringWriter& dw, DxfContext& context, const PageLine& line, const Placement& at) {
    if (line.points.size() < 2) return;
    const DL_Attributes& attributes = context.AttributesOf(line.role);
    dxf.writePolyline(dw, DL_PolylineData(static_cast<int>(line.points.size()), 0, 0, line.closed ? 1 : 0), attributes);
    for (const auto& p : line.points) dxf.writeVertex(dw, DL_VertexData(at.X(p), at.Y(p), 0, 0));
    dxf.writePolylineEnd(dw);
}

void WriteArea(DL_Dxf& dxf, StringWriter& dw, DxfContext& context, const PageArea& area, const Placement& at) {
    const std::size_t n = area.outline.size();
    if (n < 3) return;
    const DL_Attributes& attributes = context.AttributesOf(area.role);
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

void WriteText(DL_Dxf& dxf, StringWriter& dw, DxfContext& context, const PageText& text, const Placement& at) {
    if (text.text.empty()) return;
    const int h = text.hAlign == TextHAlign::Left ? 0 : text.hAlign == TextHAlign::Centre ? 1 : 2;
    // The page's text box runs from the baseline to the top of a capital.
    const int v = text.vAlign == TextVAlign::Bottom ? 0 : text.vAlign == TextVAlign::Middle ? 2 : 3;
    const double x = at.X(text.anchor), y = at.Y(text.anchor);
    const double radians = text.angle * std::acos(-1.0) / 180;
    // A group value is one line: a line break in a text (a project name
    // pasted with one) would end it and be read as the next group.
    const std::string value = context.encoder.Encode(DrawnText(text.text), context.lost);
    dxf.writeText(dw, DL_TextData(x, y, 0, x, y, 0, at.Length(text.height), 1.0, 0, h, v, value, kDxfTextStyle,
                                  radians),
                  context.AttributesOf(text.role));
}

// Whether a drawing of the kind of `first` draws on `role`: pages are made
// as they are written, so the layer table cannot wait to see them all. A plan
// (a page in world coordinates) draws its own roles with the frame, the
// table and the texts; a profile's sheets every role but the plan's.
bool DrawsOn(PageRole role, const Page* first) {
    const bool planRole = role >= PageRole::PlanStraight;
    if (!first || !first->world) return !planRole;
    return planRole || role == PageRole::Frame || role == PageRole::Band || role == PageRole::Text ||
           role == PageRole::Highlight;
}

// The layers of those roles, in the order of the table of looks.
std::vector<std::string> LayerNames(const Page* first) {
    std::vector<std::string> names;
    for (int r = 0; r < kPageRoleCount; ++r) {
        if (!DrawsOn(static_cast<PageRole>(r), first)) continue;
        const std::string name(StyleOf(static_cast<PageRole>(r)).layer);
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
}

void WriteDxf(PageSource& pages, StringWriter& dw, std::vector<std::string>* lost) {
    DL_Dxf dxf;
    DxfContext context;
    context.lost = lost;
    // The first page is made before the header, which gives its unit.
    Page page;
    const bool any = pages.Next(page);
    io::WriteDxfHeaderStart(dxf, dw, InsertionUnits(any ? &page : nullptr));
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
    const std::vector<std::string> layers = LayerNames(any ? &page : nullptr);
    dw.tableLayers(static_cast<int>(layers.size()) + 1);
    dxf.writeLayer(dw, DL_LayerData("0", 0), DL_Attributes("", 7, 25, "CONTINUOUS", 1.0));
    for (const std::string& name : layers) {
        // The layer takes the look of the first role drawn on it.
        int role = 0;
        while (StyleOf(static_cast<PageRole>(role)).layer != name) ++role;
        const RoleStyle& style = StyleOf(static_cast<PageRole>(role));
        dxf.writeLayer(dw, DL_LayerData(context.encoder.Encode(name), 0),
                       DL_Attributes("", ColourIndex(style.rgb), static_cast<int>(std::lround(style.lineWidth * 100)),
                                     "CONTINUOUS", 1.0));
    }
    dw.tableEnd();
    io::WriteDxfTablesToEntities(dxf, dw, kDxfTextStyle);
    double dx = 0;
    for (bool more = any; more; more = pages.Next(page)) {
        const Placement at{dx, page.height, page.world ? &*page.world : nullptr};
        for (const auto& area : page.areas) WriteArea(dxf, dw, context, area, at);
        for (const auto& line : page.lines) WriteLine(dxf, dw, context, line, at);
        for (const auto& text : page.texts) WriteText(dxf, dw, context, text, at);
        dx += page.width + kDxfPageGap;
        dw.Drain();
    }
    dw.sectionEnd();
    dxf.writeObjects(dw);
    dxf.writeObjectsEnd(dw);
    dw.dxfEOF();
    dw.Drain();
}

}  // namespace

std::string PagesDxf(const std::vector<Page>& pages, std::vector<std::string>* lost) {
    HeldPages held(pages);
    StringWriter dw;
    WriteDxf(held, dw, lost);
    return std::move(dw.Bytes());
}

std::optional<io::IoFailure> WritePagesDxf(const std::string& path, PageSource& pages,
                                           std::vector<std::string>* lost) {
    return io::WriteFileAtomically(path, [&](io::FileBytesSink& sink) {
        StringWriter dw(&sink);
        WriteDxf(pages, dw, lost);
        return true;
    });
}

}  // namespace tarnvel::output
