// Designing the grade line on the plot: the mouse and the keys turned into
// stations and elevations, a draft of the profile drawn while a drag goes
// on, and one PointEdit when it ends. What a point becomes (snapping,
// sliding, the radius from a dragged E, the split point) is decided in
// core/profile/pvi_edit.h, always from the profile as it was when the drag
// began.

#include <algorithm>
#include <cmath>
#include <string>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "core/calculator/number_text.h"
#include "core/profile/ground_line.h"
#include "ui/profile/plot/plot_scene.h"
#include "ui/profile/plot/plot_widget.h"

namespace tarnvel::ui {
namespace {

QString Fixed(double value, int decimals = 3) {
    return std::isfinite(value) ? QString::fromStdString(FixedText(value, decimals)) : QStringLiteral("—");
}

QString Grade(double percent) {
    return (percent > 0 ? QStringLiteral("+") : QString()) + Fixed(percent) + QLatin1Char('%');
}

// Shift suspends snapping for as long as it is held.
GradeSnap SnapFor(const GradeSnap& snap, Qt::KeyboardModifiers modifiers) {
    GradeSnap s = snap;
    if (modifiers & Qt::ShiftModifier) s.on = false;
    return s;
}

}  // namespace

int PlotWidget::CurveMiddleNear(QPointF position) const {
    if (!profile_) return -1;
    int best = -1;
    double bestDistance = kPickDistance;
    const auto& rows = profile_->Elements();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CurveElementsRow& row = rows[i];
        if (row.kind == CurveKind::None) continue;
        const DevicePoint p = transform_.ToDevice({row.pviStation, profile_->At(row.pviStation).elevation});
        const double d = std::hypot(p.x - position.x(), p.y - position.y());
        if (d <= bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

bool PlotWidget::EditPress(QMouseEvent* event) {
    if (!profile_) return false;
    EditDrag drag;
    // At a small exaggeration a curve's middle lies a few pixels from its
    // PVI: the one nearer the press is taken.
    const int pvi = PviNear(event->position()), curve = CurveMiddleNear(event->position());
    auto distance = [&](int element, bool middle) {
        const CurveElementsRow& row = profile_->Elements()[static_cast<std::size_t>(element)];
        const double z = middle ? profile_->At(row.pviStation).elevation : row.pviElevation;
        const DevicePoint p = transform_.ToDevice({row.pviStation, z});
        return std::hypot(p.x - event->position().x(), p.y - event->position().y());
    };
    const bool takeCurve = curve >= 0 && (pvi < 0 || distance(curve, true) < distance(pvi, false));
    drag.element = takeCurve ? curve : pvi;
    if (takeCurve) drag.what = EditDrag::What::Curve;
    if (drag.element < 0) return false;
    drag.base = profile_;
    drag.pressedAt = event->position();
    drag.pressedElevation = transform_.ToWorld({event->position().x(), event->position().y()}).elevation;
    edit_ = std::move(drag);
    return true;
}

bool PlotWidget::EditMove(QMouseEvent* event) {
    const QPointF at = event->position();
    if (!edit_) {
        // What a press would take: a PVI moves every way, a curve's middle up and down.
        if (!dragFrom_ && profile_) {
            if (PviNear(at) >= 0) setCursor(Qt::SizeAllCursor);
            else if (CurveMiddleNear(at) >= 0) setCursor(Qt::SizeVerCursor);
            else unsetCursor();
        }
        return false;
    }
    if (!edit_->moving) {
        const QPointF moved = at - edit_->pressedAt;
        if (std::hypot(moved.x(), moved.y()) <= kClickSlop) return true;
        edit_->moving = true;
        // The user now works at this view: a release must not refit it.
        followFit_ = false;
        setCursor(Qt::SizeAllCursor);
    }
    const Profile& base = *edit_->base;
    const CurveElementsRow& row = base.Elements()[static_cast<std::size_t>(edit_->element)];
    const WorldPoint world = transform_.ToWorld({at.x(), at.y()});
    const GradeSnap snap = SnapFor(snap_, event->modifiers());
    std::optional<PointEdit> edit;
    if (edit_->what == EditDrag::What::Pvi) {
        const Qt::KeyboardModifiers m = event->modifiers();
        const DragMode mode = (m & Qt::ControlModifier) ? DragMode::KeepGradeIn
                              : (m & Qt::AltModifier)   ? DragMode::KeepGradeOut
                                                        : DragMode::Free;
        if (auto point = DraggedPoint(base, row.point, world.station, world.elevation, mode, snap))
            edit = PointEdit{PointEdit::Kind::Move, row.point, *point};
    } else {
        // The curve's middle follows the mouse up or down; E is its distance from the PVI.
        const double middle = base.At(row.pviStation).elevation + (world.elevation - edit_->pressedElevation);
        const double external = row.crest ? row.pviElevation - middle : middle - row.pviElevation;
        if (auto curve = CurveForExternal(base, static_cast<std::size_t>(edit_->element), external, snap)) {
            ProfilePoint point = base.Model().points[row.point];
            point.curve = *curve;
            edit = PointEdit{PointEdit::Kind::Curve, row.point, point};
        }
    }
    // Where the gesture asks for what the profile cannot be (a curve past its
    // neighbour, a point on another), the draft stays at its last good place.
    if (!edit || (edit_->draft && edit_->draft->value == edit->value)) return true;
    std::optional<Profile> draft = Profile::Resolve(WithPoint(base.Model(), edit->point, edit->value));
    if (!draft) return true;
    edit_->draft = edit;
    ShowDraft(std::make_shared<const Profile>(std::move(*draft)));
    return true;
}

bool PlotWidget::EditRelease(QMouseEvent* event) {
    if (!edit_) return false;
    // Taken out first: applying the edit gives the plot a new profile.
    EditDrag drag = std::move(*edit_);
    edit_.reset();
    unsetCursor();
    if (!drag.moving) {
        // A click: a PVI is selected as before; a curve's middle selects its PVI.
        setSelectedPvi(drag.element);
        emit pviClicked(drag.element);
        return true;
    }
    const std::shared_ptr<const Profile> shown = profile_;
    if (drag.draft && drag.draft->value != drag.base->Model().points[drag.draft->point]) emit pointEdited(*drag.draft);
    // Nobody took the edit, or it changed nothing: the base again.
    if (profile_ == shown) ShowDraft(drag.base);
    UpdateReadout(event->position());
    return true;
}

void PlotWidget::CancelDrag() {
    if (!edit_) return;
    const bool shown = edit_->moving;
    const std::shared_ptr<const Profile> base = edit_->base;
    edit_.reset();
    unsetCursor();
    if (shown) ShowDraft(base);
}

void PlotWidget::ShowDraft(std::shared_ptr<const Profile> profile) {
    if (profile == profile_) return;
    profile_ = std::move(profile);
    Rebuild();
    update();
    emit draftChanged(profile_);
}

bool PlotWidget::EditDoubleClick(QMouseEvent* event) {
    if (!profile_) return false;
    const QPointF at = event->position();
    const double station = transform_.ToWorld({at.x(), at.y()}).station;
    if (!(station > profile_->StartStation() && station < profile_->EndStation())) return false;
    const DevicePoint line = transform_.ToDevice({station, profile_->At(station).elevation});
    if (std::abs(line.y - at.y()) > kPickDistance) return false;
    const std::optional<SplitPoint> split = SplitGradeAt(*profile_, station, SnapFor(snap_, event->modifiers()));
    if (!split) {
        emit editRefused(QStringLiteral("此处在竖曲线范围内或紧靠已有的点，未添加变坡点：请在直坡段上双击。"));
        return true;
    }
    emit pointEdited({PointEdit::Kind::Insert, split->index, split->point});
    // The new PVI is the one selected, as a click would have made it.
    setSelectedPvi(static_cast<int>(split->index) - 1);
    return true;
}

void PlotWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && edit_) {
        CancelDrag();
        return;
    }
    if (!profile_ || selectedPvi_ < 0 || edit_) {
        QWidget::keyPressEvent(event);
        return;
    }
    const std::size_t point = profile_->Elements()[static_cast<std::size_t>(selectedPvi_)].point;
    if (event->key() == Qt::Key_Delete) {
        emit pointEdited({PointEdit::Kind::Remove, point, profile_->Model().points[point]});
        return;
    }
    int stations = 0, grades = 0;
    switch (event->key()) {
    case Qt::Key_Left: stations = -1; break;
    case Qt::Key_Right: stations = 1; break;
    case Qt::Key_Down: grades = -1; break;
    case Qt::Key_Up: grades = 1; break;
    default: QWidget::keyPressEvent(event); return;
    }
    const int selected = selectedPvi_;
    if (const auto moved = NudgedPoint(*profile_, point, stations, grades, snap_)) {
        if (Profile::Resolve(WithPoint(profile_->Model(), point, *moved))) {
            emit pointEdited({PointEdit::Kind::Move, point, *moved});
            setSelectedPvi(selected);
            return;
        }
    }
    emit editRefused(QStringLiteral("变坡点不能再移动：会碰到相邻的点，或竖曲线放不下。"));
}

// The numbers of the PVI being dragged, in a box beside it: the station and
// elevation, the grades on either side with their lengths, the curve, and
// the fill or cut at the PVI where there is ground.
void PlotWidget::PaintDragLabel(QPainter& painter) const {
    const CurveElementsRow& row = profile_->Elements()[static_cast<std::size_t>(edit_->element)];
    const PointPlace before = PlaceOf(*profile_, row.point - 1), after = PlaceOf(*profile_, row.point + 1);
    QStringList lines;
    lines << QString::fromStdString(FormatStation(profile_->LabelOf(row.pviStation), StationStyle::K, 3)) +
                 QStringLiteral("  高程 ") + Fixed(row.pviElevation);
    lines << QStringLiteral("坡度 %1  坡长 %2").arg(Grade(row.gradeIn), Fixed(row.pviStation - before.station));
    lines << QStringLiteral("坡度 %1  坡长 %2").arg(Grade(row.gradeOut), Fixed(after.station - row.pviStation));
    if (row.kind != CurveKind::None) {
        const QString tangent = row.tangentIn == row.tangentOut
                                    ? Fixed(row.tangentIn)
                                    : Fixed(row.tangentIn) + QLatin1Char('/') + Fixed(row.tangentOut);
        lines << QStringLiteral("R %1  T %2").arg(Fixed(row.radius), tangent);
        lines << QStringLiteral("E %1  L %2").arg(Fixed(row.external), Fixed(row.length));
    }
    if (const std::optional<double> z = ground_ ? ground_->At(row.pviStation) : std::nullopt) {
        const double amount = row.pviElevation - *z;
        lines << (amount < 0 ? QStringLiteral("挖 ") : QStringLiteral("填 ")) + Fixed(std::abs(amount)) +
                     QStringLiteral("  地面 ") + Fixed(*z);
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipping(false);
    const QFont font = output::PageFont(12);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    int textWidth = 0;
    for (const QString& line : lines) textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    const int lineHeight = metrics.height();
    QRectF box(0, 0, textWidth + 12, lineHeight * static_cast<int>(lines.size()) + 8);
    const DevicePoint p = transform_.ToDevice({row.pviStation, row.pviElevation});
    // Beside the PVI, above and to the right, or mirrored where that leaves the plot.
    QPointF corner(p.x + 14, p.y - 14 - box.height());
    if (corner.x() + box.width() > width()) corner.setX(p.x - 14 - box.width());
    if (corner.y() < 0) corner.setY(p.y + 14);
    box.moveTopLeft(corner);
    painter.setPen(QPen(QColor(0, 90, 170), 1));
    painter.setBrush(QColor(255, 255, 240, 235));
    painter.drawRect(box);
    painter.setPen(Qt::black);
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(QPointF(box.left() + 6, box.top() + 4 + metrics.ascent() + i * lineHeight), lines[i]);
    painter.restore();
}

}  // namespace tarnvel::ui
