#pragma once
// The ground line (地面线): surveyed points (station, ground elevation) along
// the road, in the profile's unit, joined by straight lines. Outside the
// surveyed range there is no ground: nothing is extrapolated.
//
// Fill or cut (填挖) at a station is design − ground: positive is fill (填),
// negative is cut (挖). Where the design line crosses the ground (填挖交界) is
// solved on every stretch where one ground segment meets one piece of the
// design line (a grade line, a parabola or one half of it, a circular arc):
// a quadratic for the parabola and the line, the circle equation for the arc.
// Nothing is sampled.
//
// As with the design, the model holds what a file or a table gives; Make
// checks it against a profile and turns it into internal stations.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/profile/profile.h"

namespace tarnvel {

// How the stations of a ground model are given: labels as the drawings show
// them (a CSV table), or internal stations along the road (LandXML ProfSurf,
// as its ProfAlign).
enum class GroundStations { Labels, Internal };

struct GroundPoint {
    Station station;
    double elevation = 0;
    std::size_t row = 0;  // the file's row, for messages; 0: named by its number (第3点)

    friend bool operator==(const GroundPoint&, const GroundPoint&) = default;
};

struct GroundModel {
    std::string name;  // as the file names it (ProfSurf@name); may be empty
    GroundStations stations = GroundStations::Labels;
    std::vector<GroundPoint> points;  // in order along the road

    friend bool operator==(const GroundModel&, const GroundModel&) = default;
};

enum class GroundProblemKind {
    TooFewPoints,      // fewer than two points (count in `point`)
    StationUnreadable, // a cell that is no station (`text`)
    ElevationUnreadable,  // a cell that is no number (`text`)
    StationUnusable,   // beyond the usable range, or not finite
    ElevationUnusable,
    StationNotPlaced,  // the chain table cannot place the label (`text` says why)
    OutsideProfile,    // before the profile's start or after its end (`limit`)
    Duplicate,         // the same station as the point before (`other`)
    NotIncreasing,     // behind the point before (`other`)
};

// One problem, as data: a message module says it in words.
struct GroundProblem {
    GroundProblemKind kind = GroundProblemKind::TooFewPoints;
    std::size_t point = 0;       // index into the model's points
    std::size_t row = 0;         // the file's row; 0 when the point is named by its number
    Station station;             // the point's label
    std::size_t other = 0;       // Duplicate, NotIncreasing: index of the point before
    std::size_t otherRow = 0;
    Station limit;               // OutsideProfile: the profile's start or end label
    std::string text;            // the cell as written
    StationFault fault;          // StationNotPlaced: why the chain table cannot place the label
};

// Problems are listed up to this many, in the order of the points, and the
// rest only counted: a table of a million damaged rows would otherwise cost
// its size again in memory and in messages.
inline constexpr std::size_t kListedGroundProblems = 100;

// Adds `more` (in the order of the rows) to `listed` (the same), keeping the
// first kListedGroundProblems by row.
void MergeGroundProblems(std::vector<GroundProblem>& listed, const std::vector<GroundProblem>& more);

class GroundLine {
public:
    // Checks the model against the profile (its chain table and its extent)
    // and returns the line, or nothing with every problem in `problems`, in
    // the order of the points (the first kListedGroundProblems of them; how
    // many there are in all in `found`). A ground line may start and end
    // anywhere inside the design profile.
    // The model is kept by the line: pass it moved when it is not needed after.
    static std::optional<GroundLine> Make(GroundModel model, const Profile& profile,
                                          std::vector<GroundProblem>* problems = nullptr,
                                          std::size_t* found = nullptr);

    const GroundModel& Model() const { return model_; }
    // Internal stations (strictly increasing) and elevations of the points.
    const std::vector<double>& Stations() const { return stations_; }
    const std::vector<double>& Elevations() const { return elevations_; }
    double StartStation() const { return stations_.front(); }
    double EndStation() const { return stations_.back(); }

    // The ground elevation at an internal station; nothing outside the
    // surveyed range.
    std::optional<double> At(double internal) const;

    // The elevation on segment i (points i and i + 1) at an internal station.
    double OnSegment(std::size_t i, double internal) const;

private:
    GroundLine() = default;
    GroundModel model_;
    std::vector<double> stations_;
    std::vector<double> elevations_;
};

// Ground at increasing stations (a listing): a monotone walk costs O(1) a
// station on average; a step back searches again.
class GroundCursor {
public:
    explicit GroundCursor(const GroundLine& ground) : ground_(ground) {}
    std::optional<double> At(double internal);

private:
    const GroundLine& ground_;
    std::size_t segment_ = 0;
};

// Fill (> 0) or cut (< 0) at an internal station: design − ground; nothing
// where there is no ground. Throws ProfileRangeError outside the profile.
std::optional<double> FillCutAt(const Profile& profile, const GroundLine& ground, double internal);

// Where the design line crosses the ground (填挖交界), as internal stations in
// order: the places where fill turns into cut or back. A design line that
// only touches the ground is no crossing; the ends of the ground line are none.
std::vector<double> FindZeroPoints(const Profile& profile, const GroundLine& ground);

enum class FillCutSign { Cut = -1, OnGround = 0, Fill = 1 };

// The ground's extent cut into stretches between zero points, each wholly in
// fill, wholly in cut, or (rarely) lying on the ground: what a drawing shades.
struct FillCutStretch {
    double from = 0, to = 0;  // internal
    FillCutSign sign = FillCutSign::OnGround;
};
std::vector<FillCutStretch> FillCutStretches(const Profile& profile, const GroundLine& ground);

struct FillCutExtreme {
    double station = 0;  // internal
    double amount = 0;   // design − ground there
};

// What the designer asks about a stretch of road [from, to] (internal
// stations): how long the embankments and cuttings are, how high and how deep.
struct GroundSummary {
    bool covered = false;      // the ground reaches into [from, to]
    double from = 0, to = 0;   // the part of [from, to] that has ground
    std::optional<FillCutStretch> longestFill, longestCut;
    std::optional<FillCutExtreme> highestFill;  // the largest design − ground > 0
    std::optional<FillCutExtreme> deepestCut;   // the smallest design − ground < 0
    double fillLength = 0, cutLength = 0;
    std::vector<double> zeroPoints;  // within [from, to]
};
GroundSummary SummarizeGround(const Profile& profile, const GroundLine& ground, double from, double to);

// The zero points (as FindZeroPoints) and the stretches (as FillCutStretches)
// from one pass along the line, which each of them alone costs: what a plot
// draws and its summary share while a design is dragged over a long ground.
struct FillCutCrossings {
    std::vector<double> zeroPoints;
    std::vector<FillCutStretch> stretches;
};
FillCutCrossings CrossGround(const Profile& profile, const GroundLine& ground);
// SummarizeGround from the crossings of this profile and ground made already.
GroundSummary SummarizeGround(const Profile& profile, const GroundLine& ground, double from, double to,
                              std::span<const double> zeroPoints, std::span<const FillCutStretch> stretches);

}  // namespace tarnvel
