// The band table under the drawing: its station columns, gathered once for
// the whole range, and its rows drawn sheet by sheet.
#include "core/drawing/sheet_builder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "core/calculator/number_text.h"
#include "core/drawing/label_layout.h"
#include "core/drawing/profile_drawing.h"
#include "core/profile/profile_listing.h"
#include "core/text/messages.h"
#include "core/text/output_vocabulary.h"
#include "core/text/profile_text.h"

namespace tarnvel::sheet_detail {

std::optional<SheetProblem> SheetBuilder::GatherColumns(const Station& fromLabel, const Station& toLabel) {
    const double interval = options_.interval;
    auto add = [&](const ProfileListingRow& row, BandKind kind) {
        columns_.push_back({row.internal, SheetStation(row.label), row.value.elevation, kind});
    };
    // The key points, each with the label the listing gives it.
    std::string refused;
    const ProfileListingResult keys = ListProfile(profile_, {fromLabel, toLabel, interval, true}, kMaxColumns,
                                                  [&](const ProfileListingRow& row) {
        switch (row.kind) {
            // The profile's ends get their own columns below.
            case ListingRowKind::Start:
            case ListingRowKind::End:
            case ListingRowKind::Interval:
            case ListingRowKind::Extreme: return;
            case ListingRowKind::Pvi: return add(row, BandKind::Pvi);
            case ListingRowKind::CurveStart:
            case ListingRowKind::CurveEnd: return add(row, BandKind::CurveEnd);
            case ListingRowKind::BreakBack:
            case ListingRowKind::BreakAhead: return add(row, BandKind::Break);
        }
    });
    if (!keys.ok) return SheetProblem{SheetProblemKind::Range, 0, keys};
    // The whole-interval labels run from a whole multiple of the interval.
    const Station firstWhole{std::ceil(fromLabel.value / interval - 1e-9) * interval, fromLabel.occurrence};
    const auto intervals = [&](const Station& first) {
        return ListProfile(profile_, {first, toLabel, interval, false}, kMaxColumns,
                           [&](const ProfileListingRow& row) {
            if (row.kind == ListingRowKind::Interval) add(row, BandKind::Interval);
        });
    };
    if (firstWhole.value <= toLabel.value || profile_.Chains().Breaks().size() > 0) {
        const std::size_t before = columns_.size();
        if (!intervals(firstWhole).ok) {
            // The whole label before the road's first cannot be placed (a
            // short chain's gap): the interval counts from the first label.
            columns_.resize(before);
            intervals(fromLabel);
        }
    }
    for (const double s : {from_, to_}) {
        const Station label = profile_.LabelOf(s);
        columns_.push_back({s, SheetStation(label), profile_.At(profile_.OnProfile(s)).elevation, BandKind::End});
    }
    if (horizontal_) {
        // Where a straight, curve or spiral meets the next (two straights in a
        // row meet at no key point of the band).
        const auto& pieces = horizontal_->pieces;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            const bool lineBefore = i > 0 && pieces[i - 1].kind == HorizontalKind::Line;
            if (pieces[i].kind == HorizontalKind::Line && lineBefore) continue;
            for (const double s : {pieces[i].start, pieces[i].end})
                if (s > from_ && s < to_)
                    columns_.push_back({s, SheetStation(profile_.LabelOf(s)), profile_.At(s).elevation, BandKind::Horizontal});
        }
    }
    if (ground_)
        for (const double z : ground_->zeroPoints)
            if (z >= from_ && z <= to_)
                columns_.push_back({z, SheetStation(profile_.LabelOf(z)), profile_.At(z).elevation, BandKind::Zero});

    std::stable_sort(columns_.begin(), columns_.end(),
                     [](const Column& l, const Column& r) { return l.internal < r.internal; });
    // One column for one place: the more important kind names it, and a
    // chain break shows both of its labels.
    std::vector<Column> merged;
    for (auto& c : columns_) {
        if (!merged.empty() && std::abs(c.internal - merged.back().internal) <= 1e-9 * std::max(1.0, std::abs(c.internal))) {
            Column& m = merged.back();
            if (c.kind == BandKind::Break && m.kind == BandKind::Break && c.text != m.text) {
                m.text += "=" + c.text;
                continue;
            }
            if (c.kind < m.kind) {
                const bool keepBreak = m.kind == BandKind::Break;
                if (!keepBreak) m = c;
                else m.kind = std::min(m.kind, c.kind);
            } else if (c.kind == BandKind::Break) {
                m.text = c.text;
                m.kind = std::min(m.kind, c.kind);
            }
            continue;
        }
        merged.push_back(std::move(c));
    }
    columns_ = std::move(merged);
    return std::nullopt;
}


void SheetBuilder::DrawBands(Page& page) {
    // The rules and the row names.
    double y = bandTop_;
    std::vector<double> rowTop;
    for (const auto& row : rows_) {
        AddLine(page, PageRole::Band, {{frameL_, y}, {frameR_, y}});
        rowTop.push_back(y);
        const double height = std::min(2.5, (layout_.labelColumn - 2) / std::max(1.0, PageTextWidth(row.name, kWidthMargin)));
        page.texts.push_back(Text({frameL_ + layout_.labelColumn / 2, y + row.height / 2}, row.name, height,
                                  TextHAlign::Centre, TextVAlign::Middle));
        y += row.height;
    }
    AddLine(page, PageRole::Band, {{left_, bandTop_}, {left_, titleTop_}});
    AddLine(page, PageRole::Band, {{right_, bandTop_}, {right_, titleTop_}});
    const double h = layout_.text;

    DrawGrades(page, rowTop[0], rows_[0].height);
    if (horizontal_) DrawHorizontal(page, rowTop.back(), rows_.back().height);

    // The station columns of this sheet, thinned where their texts would
    // collide: the more important kinds first, then in order along the road.
    std::vector<const Column*> candidates;
    for (auto [c, end] = ColumnsIn(sheetFrom_, sheetTo_); c != end; ++c) candidates.push_back(&*c);
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Column* l, const Column* r) { return l->kind < r->kind; });
    // The ends, the chain breaks and every 变坡点 are always columns: where
    // one would collide, its texts move aside to the nearest free place
    // (its tick stays on its station); other columns give way.
    std::vector<double> kept;
    std::vector<std::pair<const Column*, double>> shown;  // the column and where its texts stand
    const double gap = h * 1.3;
    const auto clear = [&](double x) {
        return std::none_of(kept.begin(), kept.end(), [&](double k) { return std::abs(k - x) < gap; });
    };
    for (const Column* c : candidates) {
        // Where its texts will stand: a column on the sheet's first or last
        // station keeps them inside the band (as `vertical` below does).
        double x = std::clamp(X(c->internal), left_ + h / 2 + 0.5, right_ - h / 2 - 0.5);
        if (!clear(x)) {
            if (c->kind > BandKind::Pvi) continue;
            std::optional<double> aside;
            for (int step = 1; step <= 8 && !aside; ++step)
                for (const double d : {step * gap * 0.5, -step * gap * 0.5})
                    if (!aside && x + d >= left_ + h / 2 + 0.5 && x + d <= right_ - h / 2 - 0.5 && clear(x + d))
                        aside = x + d;
            if (!aside) continue;
            x = *aside;
        }
        kept.push_back(x);
        shown.emplace_back(c, x);
    }
    auto vertical = [&](std::size_t row, double x, const std::string& text) {
        const double bottom = rowTop[row] + rows_[row].height - 1;
        if (PageTextWidth(text, h) * kWidthMargin > rows_[row].height - 2) return;
        // A column on the sheet's first or last station keeps its texts
        // inside the band, clear of the rule.
        x = std::clamp(x, left_ + h / 2 + 0.5, right_ - h / 2 - 0.5);
        page.texts.push_back(Text({x, bottom}, text, h, TextHAlign::Left, TextVAlign::Middle, 90));
    };
    const std::size_t stationRow = stationRow_;
    for (const auto& [c, x] : shown) {
        vertical(1, x, SheetNumber(c->design, SheetValue::Elevation));
        if (ground_) {
            if (const auto g = ground_->line->At(c->internal)) {
                vertical(2, x, SheetNumber(*g, SheetValue::Elevation));
                const double diff = c->design - *g;
                const std::string amount = SheetNumber(std::abs(diff), SheetValue::Elevation);
                if (amount != SheetNumber(0, SheetValue::Elevation)) vertical(diff > 0 ? 3 : 4, x, amount);
            }
        }
        std::string label = c->text;
        if (PageTextWidth(label, h) * kWidthMargin > rows_[stationRow].height - 2) label = label.substr(label.find('=') + 1);
        vertical(stationRow, x, label);
        const double at = X(c->internal);
        AddLine(page, PageRole::Band, {{at, rowTop[stationRow]}, {at, rowTop[stationRow] + 1.5}});
    }
}

// 坡度/坡长: a diagonal per grade, rising or falling as the grade does.
void SheetBuilder::DrawGrades(Page& page, double top, double height) {
    const double h = layout_.text;
    const double t = top + 1, bo = top + height - 1;
    const auto& elements = profile_.Elements();
    std::vector<double> ends = {profile_.StartStation()};
    for (const auto& e : elements) ends.push_back(e.pviStation);
    ends.push_back(profile_.EndStation());
    for (std::size_t j = 0; j + 1 < ends.size(); ++j) {
        const double s0 = ends[j], s1 = ends[j + 1];
        const double c0 = std::max(s0, std::max(a_, sheetFrom_)), c1 = std::min(s1, std::min(b_, sheetTo_));
        if (!(c1 > c0)) continue;
        const double grade = j < elements.size() ? elements[j].gradeIn
                             : elements.empty() ? profile_.At(s0).grade : elements.back().gradeOut;
        // The diagonal follows the grade as written: one that reads 0.000 is
        // level, however small the remainder of its arithmetic.
        const std::string gradeText = SheetNumber(grade, SheetValue::Grade);
        const bool level = gradeText.find_first_not_of("-0.") == std::string::npos;
        const double y0 = level ? (t + bo) / 2 : grade > 0 ? bo : t;
        const double y1 = level ? (t + bo) / 2 : grade > 0 ? t : bo;
        auto yAt = [&](double s) { return y0 + (s - s0) / (s1 - s0) * (y1 - y0); };
        const PagePoint p0{X(c0), yAt(c0)}, p1{X(c1), yAt(c1)};
        AddLine(page, PageRole::Band, {p0, p1});
        if (s0 >= sheetFrom_ && s0 > profile_.StartStation()) AddLine(page, PageRole::Band, {{X(s0), t - 1}, {X(s0), bo + 1}});
        const double angle = std::atan2(y0 - y1, (s1 - s0) * xPerUnit_) * 180 / std::acos(-1.0);
        const double dx = p1.x - p0.x, dy = p1.y - p0.y, run = std::hypot(dx, dy);
        const PagePoint mid{(p0.x + p1.x) / 2, (p0.y + p1.y) / 2};
        // Grade above the diagonal, length below it, where they fit along it.
        const double nx = dy / run, ny = -dx / run;  // the normal towards the text's top
        const std::string lengthText = SheetNumber(s1 - s0, SheetValue::Length);
        // A text must fit the diagonal's width on paper, not only its slant:
        // on a grade a few metres long the diagonal stands almost upright, and
        // text along it would run across the neighbouring grades' texts. A
        // grade too short for its grade text carries no texts in the band (the
        // 竖曲线要素表 gives every grade and length); one too short for its
        // length as well carries the grade alone.
        const double fit = std::min(run, std::abs(dx)) - 2;
        if (PageTextWidth(gradeText, h) * kWidthMargin <= fit) {
            PageText g = Text({mid.x + nx * 0.4, mid.y + ny * 0.4}, gradeText, h, TextHAlign::Centre, TextVAlign::Bottom, angle);
            page.texts.push_back(std::move(g));
            if (PageTextWidth(lengthText, h) * kWidthMargin <= fit)
                page.texts.push_back(Text({mid.x - nx * 0.4, mid.y - ny * 0.4}, lengthText, h, TextHAlign::Centre,
                                          TextVAlign::Top, angle));
        }
    }
}

// 直线及平曲线: the conventional band of the horizontal alignment. A straight
// runs along the row's middle, a circular curve steps up (turning right) or
// down (turning left) for its length, and a spiral slopes between the two;
// each curve is written with its radius and each spiral with its length.
void SheetBuilder::DrawHorizontal(Page& page, double top, double height) {
    const double middle = top + height / 2, step = height * 0.3, h = layout_.text;
    auto level = [&](double radius, HorizontalTurn turn) {
        if (std::isinf(radius)) return middle;
        return turn == HorizontalTurn::Right ? middle - step : middle + step;
    };
    std::vector<PagePoint> band;
    auto note = [&](double s0, double s1, double y, std::string text) {
        const double x = (X(s0) + X(s1)) / 2;
        PageText t = Text({x, y}, std::move(text), h, TextHAlign::Centre, TextVAlign::Middle);
        const PageBox box = BoxOf(t);
        // Inside the sheet's columns, and never across a neighbour's note.
        if (box.left >= left_ + 0.5 && box.right <= right_ - 0.5) Place(page, std::move(t), false);
    };
    // The pieces this sheet shows, found by their order along the road, so
    // that a long alignment costs each sheet only its own pieces.
    const auto& pieces = horizontal_->pieces;
    auto first = std::upper_bound(pieces.begin(), pieces.end(), a_,
                                  [](double s, const HorizontalPiece& p) { return s < p.end; });
    for (auto piece = first; piece != pieces.end() && piece->start < b_; ++piece) {
        const HorizontalPiece& p = *piece;
        const double c0 = std::max(p.start, a_), c1 = std::min(p.end, b_);
        if (!(c1 > c0)) continue;
        const double y0 = level(p.radiusStart, p.turn), y1 = level(p.radiusEnd, p.turn);
        auto yAt = [&](double s) { return y0 + (s - p.start) / (p.end - p.start) * (y1 - y0); };
        const PagePoint first{X(c0), yAt(c0)}, last{X(c1), yAt(c1)};
        if (!band.empty() && band.back() != first) {
            if (std::abs(band.back().x - first.x) > 1e-9) {  // a gap in the geometry: the band stops there
                AddLine(page, PageRole::Band, std::move(band));
                band.clear();
            }
        }
        band.push_back(first);
        band.push_back(last);
        const double away = y0 + y1 < 2 * middle ? 1 : -1;  // towards the middle from a raised or lowered curve
        switch (p.kind) {
            case HorizontalKind::Line: break;
            case HorizontalKind::Arc:
                note(c0, c1, y0 + away * step / 2, "R=" + SheetNumber(p.radiusStart, SheetValue::Plain));
                break;
            case HorizontalKind::Spiral: {
                // On the far side of the middle, clear of the sloping line.
                const double curved = std::isinf(p.radiusStart) ? y1 : y0;
                note(c0, c1, middle + (curved < middle ? 1 : -1) * step * 0.7,
                     "Ls=" + SheetNumber(p.Length(), SheetValue::Plain));
                break;
            }
        }
    }
    AddLine(page, PageRole::Band, std::move(band));
}

}  // namespace tarnvel::sheet_detail
