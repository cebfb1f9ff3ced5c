#include "io/dxf_bytes.h"

namespace tarnvel::io {
namespace {

void WriteDxfTextStyles(DL_Dxf& dxf, DxfBytesWriter& dw, const char* style) {
    dw.tableStyle(2);
    // dxflib's Standard style is the one its dimension style refers to; it
    // writes a style's font as a TrueType family, so the style the texts use,
    // with an SHX font and its big font, is written here.
    dxf.writeStyle(dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    dw.dxfString(0, "STYLE");
    dw.handle();
    dw.dxfString(100, "AcDbSymbolTableRecord");
    dw.dxfString(100, "AcDbTextStyleTableRecord");
    dw.dxfString(2, style);
    dw.dxfInt(70, 0);
    dw.dxfReal(40, 0.0);   // no fixed height: each text gives its own
    dw.dxfReal(41, 0.75);  // the GB drafting width
    dw.dxfReal(50, 0.0);
    dw.dxfInt(71, 0);
    dw.dxfReal(42, 2.5);
    dw.dxfString(3, "gbenor.shx");
    dw.dxfString(4, "gbcbig.shx");
    dw.tableEnd();
}

}  // namespace

void WriteDxfHeaderStart(DL_Dxf& dxf, DxfBytesWriter& dw, int insertionUnits) {
    dxf.writeHeader(dw);
    dw.dxfString(9, "$DWGCODEPAGE");
    dw.dxfString(3, "ANSI_936");
    dw.dxfString(9, "$INSUNITS");
    dw.dxfInt(70, insertionUnits);
    dw.dxfString(9, "$MEASUREMENT");
    dw.dxfInt(70, 1);
}

void WriteDxfTablesToEntities(DL_Dxf& dxf, DxfBytesWriter& dw, const char* style) {
    WriteDxfTextStyles(dxf, dw, style);
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
}

}  // namespace tarnvel::io
