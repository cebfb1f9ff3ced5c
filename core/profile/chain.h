#pragma once
// Station equations (断链): where a road was re-stationed, the label jumps at a
// chain break. Each break gives the label just behind it and the label just
// ahead of it:
//   - ahead > back: a short chain (短链), the labels between do not exist;
//   - ahead < back: a long chain (长链), the labels from ahead to back occur twice.
// The arithmetic of a profile runs on the continuous distance along the road
// (the internal station); the labels are what the drawings show. Before the
// first break the internal station equals the label.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/profile/station.h"

namespace tarnvel {

struct ChainBreak {
    double back = 0;   // the label just behind the break
    double ahead = 0;  // the label just ahead of it

    friend bool operator==(const ChainBreak&, const ChainBreak&) = default;
};

// Why a chain table is invalid.
enum class ChainFault {
    None,
    LabelOutOfRange,   // not finite, or beyond 1E+12
    SameLabels,        // back = ahead: no break at all
    NotAfterPrevious,  // its back label not beyond the previous break's ahead label
};

struct ChainProblem {
    ChainFault fault = ChainFault::None;
    std::size_t index = 0;  // the break concerned
    ChainBreak at;          // its labels
};

// Why a station cannot be placed on the road or the profile.
enum class StationFaultCode {
    RepeatWithoutBreaks,  // an occurrence above 1 with no chain breaks
    InShortGap,           // in the gap of short chain `breakIndex`
    OutsideRegions,       // before or after every region
    Ambiguous,            // occurs `count` times and no occurrence was given
    OccurrenceMissing,    // the occurrence asked for is above `count`
    OutsideProfile,       // beyond the profile's start or end (`from` … `to`)
    NotANumber,
};

struct StationFault {
    StationFaultCode code = StationFaultCode::NotANumber;
    Station label;                // as asked for
    std::size_t breakIndex = 0;   // InShortGap; Ambiguous over one break: the break between
    ChainBreak at;                // that break's labels
    int count = 0;                // Ambiguous, OccurrenceMissing: how often the label occurs
    bool aroundOneBreak = false;  // Ambiguous: once before and once after break `breakIndex`
    Station from, to;             // OutsideProfile: the profile's first and last labels
    double internal = 0, start = 0, end = 0;  // OutsideProfile: the same along the road
    bool plan = false;            // OutsideProfile: beyond the horizontal alignment, not the profile
};

// A label that cannot be placed on the road: it lies in a short chain's gap,
// it is ambiguous and no occurrence was given, the occurrence does not exist,
// or it lies outside every region. It carries the fault as data; the message
// module words it.
class StationError : public std::runtime_error {
public:
    explicit StationError(const StationFault& fault)
        : std::runtime_error("station cannot be placed"), fault_(fault) {}
    const StationFault& fault() const { return fault_; }

private:
    StationFault fault_;
};

class Chainage {
public:
    // No breaks: labels are internal stations.
    Chainage() = default;

    // Validates the breaks: finite values, back ≠ ahead, and each break lying
    // further along the road than the one before (its internal station
    // strictly greater). Returns nothing and sets `problem` when invalid.
    static std::optional<Chainage> Make(std::vector<ChainBreak> breaks, ChainProblem* problem = nullptr);

    const std::vector<ChainBreak>& Breaks() const { return breaks_; }
    bool Empty() const { return breaks_.empty(); }

    // The internal station of break `i` (where back and ahead meet).
    double BreakInternal(std::size_t i) const { return internal_[i]; }

    // Label to internal station. A label that occurs more than once needs its
    // occurrence (≥ 1); a unique label takes occurrence 0 or 1. Throws
    // StationError otherwise (see above).
    double ToInternal(const Station& label) const;

    // Internal station to label. Exactly on a break the label ahead of it is
    // given. The occurrence is set (1, 2, …) only where the label occurs more
    // than once, so that the text always reads back to the same place.
    Station ToLabel(double internal) const;

    // The road between breaks, in road order: region 0 runs up to break 0,
    // region j from break j−1 to break j, the last one open ahead. A region's
    // labels run from the ahead label of the break behind it to the back label
    // of the break ahead of it (−∞ and +∞ at the open ends).
    std::size_t RegionCount() const { return breaks_.size() + 1; }
    double RegionLabelFrom(std::size_t region) const;
    double RegionLabelTo(std::size_t region) const;
    // The region an internal station lies in; exactly on a break, the one ahead.
    std::size_t RegionOf(double internal) const;
    // The internal station of a label taken in a given region.
    double InternalInRegion(double label, std::size_t region) const;
    // The label of a place in a given region, with its occurrence set where
    // the label lies in more than one region.
    Station LabelInRegion(double label, std::size_t region) const;
    // Where the last label was found among the regions' sorted ends. A walk
    // along increasing labels that passes the same hint to every call counts
    // the regions holding each label in a step or two instead of two binary
    // searches; any label may be passed, in any order.
    struct LabelHint {
        std::size_t starting = 0, ended = 0;
        std::size_t holding = 0;
        // The labels for which both positions, and so `holding`, stay as they are.
        double fromLow = 1, fromHigh = 0, toLow = 1, toHigh = 0;
    };
    Station LabelInRegion(double label, std::size_t region, LabelHint& hint) const;

private:
    // How many regions hold a label (their label ranges, closed at both ends).
    std::size_t RegionsHolding(double label) const;
    std::size_t RegionsHolding(double label, LabelHint& hint) const;
    Station LabelInRegion(double label, std::size_t region, std::size_t holding) const;

    std::vector<ChainBreak> breaks_;
    std::vector<double> internal_;  // internal station of each break
    // The regions' first and last labels, each sorted, so that the regions
    // holding a label are counted by two binary searches.
    std::vector<double> sortedFrom_, sortedTo_;
    std::vector<std::size_t> regionsByFrom_;  // the regions in the order of sortedFrom_
};

}  // namespace tarnvel
