#include "output/page_dxf.h"

#include <dxflib/dl_dxf.h>
#include <dxflib/dl_writer_ascii.h>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "io/atomic_write.h"
#include "io/gbk.h"

namespace tarnvel::output {
namespace {

using io::Utf8ToGbkEncoder;

// dxflib's own writer prints numbers with the C library (following the
// process locale) into a file it opens itself; this one gathers the bytes for
// the atomic write, handing them on after each entity when given a sink, and
// prints numbers in the C form always.
class StringWriter : public DL_WriterA {
public:
    explicit StringWriter(io::FileBytesSink* sink = nullptr) : DL_WriterA("", DL_Codes::AC1015), sink_(sink) {}

    void dxfReal(int gc, double value) const override {
        char buffer[64];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value == 0 ? 0.0 : value,
                                       std::chars_format::fixed, 6).ptr;
        std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
        // Trailing zeros carry nothing; keep one digit after the point.
        while (text.size() > 2 && text.back() == '0' && text[text.size() - 2] != '.') text.remove_suffix(1);
        Group(gc, text);
    }
    void dxfInt(int gc, int value) const override { Group(gc, std::to_string(value)); }
    void dxfHex(int gc, int value) const override {
        char buffer[16];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<unsigned>(value), 16).ptr;
        std::string text(buffer, end);
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        Group(gc, text);
    }
    void dxfString(int gc, const char* value) const override { Group(gc, value); }
    void dxfString(int gc, const std::string& value) const override { Group(gc, value); }

    std::string& Bytes() const { return bytes_; }
    // What is gathered goes on to the sink, if there is one.
    void Drain() const {
        if (!sink_) return;
        sink_->Write(bytes_);
        bytes_.clear();
    }

private:
    void Group(int gc, std::string_view value) const {
        // Group codes right-aligned in three columns, as AutoCAD writes them.
        const std::string code = std::to_string(gc);
        if (code.size() < 3) bytes_.append(3 - code.size(), ' ');
        bytes_ += code;
        bytes_ += "\r\n";
        bytes_ += value;
        bytes_ += "\r\n";
    }
    io::FileBytesSink* sink_;
    mutable std::string bytes_;
};

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

struct Placement {
    double dx = 0, height = 0;
    double X(const PagePoint& p) const { return dx + p.x; }
    double Y(const PagePoint& p) const { return height - p.y; }
};

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
    dxf.writeText(dw, DL_TextData(x, y, 0, x, y, 0, text.height, 1.0, 0, h, v, value, kDxfTextStyle,
                                  radians),
                  context.AttributesOf(text.role));
}

std::vector<std::string> LayerNames() {
    std::vector<std::string> names;
    for (int r = 0; r < kPageRoleCount; ++r) {
        const std::string name(StyleOf(static_cast<PageRole>(r)).layer);
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
}

void WriteDxf(PageSource& pages, StringWriter& dw, std::vector<std::string>* lost) {
    DL_Dxf dxf;
    DxfContext context;
    context.lost = lost;
    dxf.writeHeader(dw);
    dw.dxfString(9, "$DWGCODEPAGE");
    dw.dxfString(3, "ANSI_936");
    dw.dxfString(9, "$INSUNITS");
    dw.dxfInt(70, 4);  // millimetres
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
    const std::vector<std::string> layers = LayerNames();
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
    dw.tableStyle(2);
    // dxflib's Standard style is the one its dimension style refers to; it
    // writes a style's font as a TrueType family, so the style the texts use,
    // with an SHX font and its big font, is written here.
    dxf.writeStyle(dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    dw.dxfString(0, "STYLE");
    dw.handle();
    dw.dxfString(100, "AcDbSymbolTableRecord");
    dw.dxfString(100, "AcDbTextStyleTableRecord");
    dw.dxfString(2, kDxfTextStyle);
    dw.dxfInt(70, 0);
    dw.dxfReal(40, 0.0);   // no fixed height: each text gives its own
    dw.dxfReal(41, 0.75);  // the GB drafting width
    dw.dxfReal(50, 0.0);
    dw.dxfInt(71, 0);
    dw.dxfReal(42, 2.5);
    dw.dxfString(3, "gbenor.shx");
    dw.dxfString(4, "gbcbig.shx");
    dw.tableEnd();
    dxf.writeView(dw);
    dxf.writeUcs(dw);
    dw.tableAppid(1);
    dxf.writeAppid(dw, "ACAD");
    dw.tableEnd();
    dxf.writeDimStyle(dw, 2.5, 1.25, 0.625, 0.625, 2.5);
    dxf.writeBlockRecord(dw);
    dw.tableEnd();
    dw.sectionEnd();

    dw.sectionBlocks();
    dxf.writeBlock(dw, DL_BlockData("*Model_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(dw, "*Model_Space");
    dxf.writeBlock(dw, DL_BlockData("*Paper_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(dw, "*Paper_Space");
    dxf.writeBlock(dw, DL_BlockData("*Paper_Space0", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(dw, "*Paper_Space0");
    dw.sectionEnd();

    dw.sectionEntities();
    double dx = 0;
    Page page;
    while (pages.Next(page)) {
        const Placement at{dx, page.height};
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
