#include "io/stakeout_files.h"

#include "io/atomic_write.h"
#include "io/dxf_bytes.h"
#include "io/gbk.h"

namespace tarnvel::io {
namespace {

constexpr const char* kNameStyle = "TARNVEL";

}  // namespace

std::string StakeoutCsvBytes(std::span<const StakeoutPoint> points, StakeoutEncoding encoding,
                             const TextOptions& options) {
    std::string out;
    for (const StakeoutPoint& point : points) AppendStakeoutRow(out, point, options);
    return encoding == StakeoutEncoding::Gbk ? Utf8ToGbk(out) : out;
}

std::optional<IoFailure> WriteStakeoutCsv(const std::string& path, std::span<const StakeoutPoint> points,
                                          StakeoutEncoding encoding, const TextOptions& options) {
    return WriteFileAtomically(path, StakeoutCsvBytes(points, encoding, options));
}

std::string StakeoutDxf(std::span<const StakeoutPoint> points, const TextOptions& options) {
    DL_Dxf dxf;
    DxfBytesWriter dw;
    WriteDxfHeaderStart(dxf, dw, 6);  // metres
    // A point shows as a small cross with a circle, whatever the zoom.
    dw.dxfString(9, "$PDMODE");
    dw.dxfInt(70, 34);
    dw.dxfString(9, "$PDSIZE");
    dw.dxfReal(40, 0.5);
    dw.sectionEnd();

    dw.sectionTables();
    dxf.writeVPort(dw);
    dw.tableLinetypes(3);
    dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    dw.tableEnd();
    dw.tableLayers(3);
    dxf.writeLayer(dw, DL_LayerData("0", 0), DL_Attributes("", 7, 25, "CONTINUOUS", 1.0));
    const std::string pointLayer = Utf8ToGbk(kStakeoutPointLayer), nameLayer = Utf8ToGbk(kStakeoutNameLayer);
    dxf.writeLayer(dw, DL_LayerData(pointLayer, 0), DL_Attributes("", 1, 25, "CONTINUOUS", 1.0));
    dxf.writeLayer(dw, DL_LayerData(nameLayer, 0), DL_Attributes("", 7, 18, "CONTINUOUS", 1.0));
    dw.tableEnd();
    WriteDxfTablesToEntities(dxf, dw, kNameStyle);
    const DL_Attributes onPoints(pointLayer, 256, -1, "BYLAYER", 1.0);
    const DL_Attributes onNames(nameLayer, 256, -1, "BYLAYER", 1.0);
    const double h = kStakeoutNameHeight;
    // The names converted in one go, a line each: the converter costs more
    // to start than a name does to convert, and no GBK byte is a line feed.
    std::string names;
    for (const StakeoutPoint& p : points) names += StakeoutName(p.label, p.offset, options) + '\n';
    names = Utf8ToGbk(names);
    std::size_t from = 0;
    for (const StakeoutPoint& p : points) {
        const double x = p.at.east, y = p.at.north;
        dxf.writePoint(dw, DL_PointData(x, y, p.elevation.value_or(0)), onPoints);
        // The name up and to the right of its point, clear of the marker.
        const std::size_t end = names.find('\n', from);
        const std::string name = names.substr(from, end - from);
        from = end + 1;
        dxf.writeText(dw, DL_TextData(x + h / 2, y + h / 2, 0, x + h / 2, y + h / 2, 0, h, 1.0, 0, 0, 0, name,
                                      kNameStyle, 0),
                      onNames);
    }
    dw.sectionEnd();
    dxf.writeObjects(dw);
    dxf.writeObjectsEnd(dw);
    dw.dxfEOF();
    return std::move(dw.Bytes());
}

std::optional<IoFailure> WriteStakeoutDxf(const std::string& path, std::span<const StakeoutPoint> points,
                                          const TextOptions& options) {
    return WriteFileAtomically(path, StakeoutDxf(points, options));
}

}  // namespace tarnvel::io
