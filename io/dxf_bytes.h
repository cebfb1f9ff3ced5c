#pragma once
// The bytes of a DXF drawing, written through dxflib but kept in memory for
// the atomic write, numbers always in the C form.

#include <dxflib/dl_dxf.h>
#include <dxflib/dl_writer_ascii.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>
#include <string_view>

#include "io/atomic_write.h"

namespace tarnvel::io {

// dxflib's own writer prints numbers with the C library (following the
// process locale) into a file it opens itself; this one gathers the bytes for
// the atomic write, handing them on at each Drain when given a sink, and
// prints numbers in the C form always.
class DxfBytesWriter : public DL_WriterA {
public:
    explicit DxfBytesWriter(FileBytesSink* sink = nullptr) : DL_WriterA("", DL_Codes::AC1015), sink_(sink) {}

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
    FileBytesSink* sink_;
    mutable std::string bytes_;
};

// dxflib's header and what every drawing of ours says in it: the GBK code
// page (ANSI_936), the drawing's unit ($INSUNITS: 4 millimetres, 6 metres,
// …) and metric measurement; the section is left open for more.
void WriteDxfHeaderStart(DL_Dxf& dxf, DxfBytesWriter& dw, int insertionUnits);

// What follows the layer table up to the entities, the same in every
// drawing: the text styles (dxflib's Standard, and `style` in the GB drafting
// fonts gbenor.shx with the big font gbcbig.shx that every Chinese AutoCAD
// carries, so that Chinese texts show as written), the view, UCS,
// application, dimension style and block record tables, and the blocks of
// model and paper space; the entities section is left open.
void WriteDxfTablesToEntities(DL_Dxf& dxf, DxfBytesWriter& dw, const char* style);

}  // namespace tarnvel::io
