#pragma once
// 纵断面图 sheets: the profile drawn at fixed scales, one sheet per station
// range, each with its drawing area above, the band table (资料栏) below and
// the title block along the bottom. The sheets are built once as pages of
// primitives; the PDF, SVG and DXF outputs only draw them.
//
// Along the road the sheets use the internal station (the distance along the
// road), so that a chain break never opens a gap or an overlap between two
// sheets; every station written on a sheet is the profile's label.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/drawing/drawn_ground.h"
#include "core/drawing/page.h"
#include "core/drawing/page_source.h"
#include "core/profile/horizontal.h"
#include "core/profile/profile.h"
#include "core/text/sheet_problem.h"

namespace tarnvel {

enum class SheetPaper { A3, A4 };  // always landscape

struct SheetOptions {
    SheetPaper paper = SheetPaper::A3;
    int horizontalScale = 2000;  // 1:n — 500, 1000, 2000 or 5000
    int verticalScale = 200;     // 1:n, horizontal / vertical between 1 and 50
    std::optional<Station> from, to;  // labels; the whole profile when not given
    double interval = 20;        // the band's whole-interval stations, in the profile's unit
    bool shadeFillCut = true;
    bool elementsTable = false;
    // The title block; an empty field stays empty on the sheet.
    std::string project, designUnit, drawingNumber, designer, checker, approver, date;
};

// The horizontal scales a sheet is drawn at, 1:n.
inline constexpr std::array<int, 4> kSheetHorizontalScales = {500, 1000, 2000, 5000};
// The one rule for a sheet's scales: a horizontal scale of the list, and a
// vertical one that keeps the exaggeration (horizontal ÷ vertical) between 1
// and 50. Nothing when they can make sheets.
std::optional<SheetProblem> SheetScalesProblem(int horizontal, int vertical);

// Where a sheet puts the numbers, so that a reader of an output can scale
// back: x = left + (internal − from) × xPerUnit; within a datum's stretch
// y = bottom − (elevation − datum) × yPerUnit (mm, y down).
struct SheetDatum {
    double from = 0, to = 0;  // internal
    double datum = 0;         // the elevation at the drawing area's bottom
};
struct SheetFrame {
    double from = 0, to = 0;  // internal stations the sheet covers
    double left = 0, right = 0, top = 0, bottom = 0;  // the drawing area, mm
    double xPerUnit = 0, yPerUnit = 0;                // mm per profile unit
    std::vector<SheetDatum> datums;                   // one per stretch, in order
};

struct SheetSet {
    std::vector<Page> pages;
    std::vector<SheetFrame> frames;  // one per drawing sheet: the first pages
    std::optional<SheetProblem> problem;  // set, and no pages, when refused
};

// With a horizontal alignment, the band table ends in the 直线及平曲线 row and
// the ends of its curves and spirals are key stations of the 里程桩号 row.
SheetSet BuildSheets(const Profile& profile, const SheetOptions& options, const DrawnGround* ground = nullptr,
                     const HorizontalAlignment* horizontal = nullptr);

// The same sheets made one at a time, for a writer that takes pages as they
// come: only the page being made is held, so that a road of a thousand
// kilometres is written in the memory of one sheet. The drawing sheets come
// first, then the elements table's pages. The profile, the ground and the
// horizontal alignment must outlive the source.
class SheetPages final : public PageSource {
public:
    SheetPages(const Profile& profile, const SheetOptions& options, const DrawnGround* ground = nullptr,
               const HorizontalAlignment* horizontal = nullptr);
    ~SheetPages() override;
    SheetPages(const SheetPages&) = delete;
    SheetPages& operator=(const SheetPages&) = delete;

    // Set, and no pages, when the sheets are refused.
    const std::optional<SheetProblem>& Problem() const { return problem_; }
    std::size_t Count() const override;
    bool Next(Page& page) override;
    // The frame of the drawing sheet made last; nothing once the table's pages begin.
    const SheetFrame* Frame() const;

private:
    struct State;
    std::optional<SheetProblem> Start(const Profile& profile, const SheetOptions& options, const DrawnGround* ground,
                                      const HorizontalAlignment* horizontal);
    std::optional<SheetProblem> problem_;
    std::unique_ptr<State> state_;
};

// The texts of the band table and the drawing's annotations, in one place so
// that one precision policy holds on every sheet.
enum class SheetValue { Elevation, Length, Grade, Plain };  // Plain: radii and the ruler, only the decimals needed
std::string SheetNumber(double value, SheetValue kind);
// A station label in K notation with only the decimals it needs, at most three.
std::string SheetStation(const Station& label);

}  // namespace tarnvel
