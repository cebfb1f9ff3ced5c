// Any bytes as a LandXML ground line (ProfSurf): the reader never fails
// unexpectedly, and a ground line it reads, written beside a design and read
// again, holds the same points.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "io/ground_files.h"
#include "io/profile_files.h"

using tarnvel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const io::Result<io::GroundReading> read = io::ParseLandXmlGround(bytes, "", "g.xml");
    if (!read.ok()) {
        Check(read.failure().kind == io::FailureKind::NotProfile);
        tarnvel::fuzz::CheckMessage(read.failure().message);
        return 0;
    }
    const GroundModel& model = read.value().model;
    Check(model.stations == GroundStations::Internal);
    const ProfileModel design{"d", LengthUnit::Metre, {{{0, 0}, 0, {}}, {{1, 0}, 0, {}}}, {}};
    const std::string written = io::LandXmlBytes(design, {}, {model});
    const io::Result<io::GroundReading> again = io::ParseLandXmlGround(written, "", "again.xml");
    Check(again.ok());
    Check(again.value().model.points.size() == model.points.size());
    for (std::size_t i = 0; i < model.points.size(); ++i) {
        Check(again.value().model.points[i].station == model.points[i].station);
        Check(again.value().model.points[i].elevation == model.points[i].elevation);
    }
    return 0;
}
