#pragma once
// The profile plot: paints a ProfileDrawing through a ViewTransform. The wheel
// zooms about the mouse, Ctrl + wheel changes the vertical exaggeration,
// dragging pans, a click on a PVI selects it, a double click (or fitAll())
// shows the whole profile.
// The plot follows the user: a PVI chosen in a table or a queried station is
// brought into view (centred, at the same scale) when it lies outside the
// frame, and marked. A wheel zoom keeps the point under the mouse in place and
// then keeps the design line in view vertically: the stretch of the line over
// the stations now in view is moved, by the least vertical pan, wholly into
// the frame where it fits, and otherwise so that it leaves no empty band above
// or below it. The line never flies off the top or bottom however far one
// zooms, and a view already showing the line does not move.
// With a ground line the plot shades fill and cut and marks each 填挖交界,
// and the readout under the mouse adds the ground and the fill or cut.
// The plot is also where the grade line is designed (plot_editing.cpp): a
// PVI is dragged (Ctrl: along the grade before it, Alt: along the grade
// after), a curve's middle is dragged to change its size, a double click on
// the design line adds a PVI there, Delete removes the selected one and the
// arrow keys nudge it. While a drag goes on the plot draws a draft of the
// profile with the numbers of the PVI beside it; Escape cancels. Every
// gesture ends in one pointEdited(), which the window applies to the table
// as one undo step. Snapping (setSnap, Shift suspends it) rounds what the
// gesture gives (core/profile/pvi_edit.h).
// Painting uses a scene of device-space paths and placed labels that is
// rebuilt only when the view or the size changes (plot_scene.h), so that a
// repaint of a long profile is a handful of path draws.

#include <memory>
#include <string>
#include <unordered_map>
#include <optional>

#include <QWidget>

class QPainter;

#include "core/profile/ground_line.h"
#include "core/profile/profile.h"
#include "core/profile/pvi_edit.h"
#include "core/drawing/plot_page.h"
#include "core/drawing/profile_drawing.h"
#include "core/drawing/view_transform.h"
#include "ui/profile/plot/control_marks.h"

namespace tarnvel::ui {

class PlotScene;

class PlotWidget : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(PlotWidget)

public:
    explicit PlotWidget(QWidget* parent = nullptr);
    ~PlotWidget() override;

    // A new profile (or none: an empty plot with a hint) and the ground line
    // checked against it (or none), as the document's snapshots: the plot
    // keeps them, never a copy. A view the user zoomed or panned is kept
    // while the new profile still lies in it, so that editing one cell does
    // not jump; otherwise the whole profile is fitted. The same snapshots
    // again change nothing.
    void setProfile(std::shared_ptr<const Profile> profile, std::shared_ptr<const GroundLine> ground = {});
    // The control points to mark over the plot (control_marks.h).
    void setControls(std::vector<ControlMark> marks);
    const std::vector<ControlMark>& controls() const { return controls_; }
    const std::shared_ptr<const Profile>& profile() const { return profile_; }
    const std::shared_ptr<const GroundLine>& ground() const { return ground_; }
    const ProfileDrawing& drawing() const { return drawing_; }
    // The page last laid out for painting; nothing before the first paint.
    const Page* laidOutPage() const;

    double exaggeration() const { return transform_.Exaggeration(); }
    void setExaggeration(double exaggeration);  // clamped to [1, 1000]

    // The PVI drawn highlighted: an index into Profile::Elements(), or -1.
    int selectedPvi() const { return selectedPvi_; }
    void setSelectedPvi(int pvi);
    // Selects a PVI and brings it into view.
    void showPvi(int pvi);

    // The queried station (internal), marked on the design line; nothing
    // clears the mark. `reveal` brings it into view. A station the profile
    // does not reach is not marked.
    void setQueryStation(std::optional<double> internal, bool reveal = true);
    std::optional<double> queryStation() const { return query_; }

    const ViewTransform& viewTransform() const { return transform_; }
    void setViewTransform(const ViewTransform& transform);  // as a user's zoom or pan

    QSize sizeHint() const override { return {800, 400}; }

    // How drags, double clicks and nudges round what they give.
    const GradeSnap& snap() const { return snap_; }
    void setSnap(const GradeSnap& snap) { snap_ = snap; }
    // The ground as drawn against profile(): its zero points and stretches.
    const DrawnGround& plotGround() const { return plotGround_; }
    // A PVI or a curve is being dragged: profile() is then the draft.
    bool isDragging() const { return edit_ && edit_->moving; }

public slots:
    void fitAll();

signals:
    void exaggerationChanged(double exaggeration);
    // Under the mouse: the station label (K notation), the elevation of the
    // design line there and its grade in percent, and the ground elevation
    // where the ground line reaches (fill or cut is elevation − ground).
    void cursorReadout(const QString& station, double elevation, double grade, std::optional<double> ground);
    // The mouse left the plot or the profile's station range.
    void cursorReadoutCleared();
    void pviClicked(int pvi);
    void viewChanged();
    // One edit of the PVI table: a drag released, a double click on the
    // design line, Delete or an arrow key on the selected PVI.
    void pointEdited(const tarnvel::PointEdit& edit);
    // The profile drawn while a drag goes on, after every move; the profile
    // given by setProfile again when the drag is cancelled.
    void draftChanged(std::shared_ptr<const tarnvel::Profile> draft);
    // Why a double click or a key changed nothing.
    void editRefused(const QString& why);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    WorldBox Extent() const;  // of the drawing and the ground
    void ChangeView(const ViewTransform& transform);
    void MoveView(const ViewTransform& transform);  // by the user: the view stops following the fit
    void UpdateReadout(QPointF position);
    int PviNear(QPointF position) const;
    void PaintCursor(QPainter& painter, double station) const;
    void PaintQuery(QPainter& painter, double station) const;
    // Pans, keeping the scale, so that the point lies in the middle of the
    // frame, unless it is inside the frame already.
    void Reveal(WorldPoint point);
    // The wheel's vertical rule (see the top of this file), applied to `t`.
    void KeepLineInView(ViewTransform& t) const;

    static constexpr double kClickSlop = 3;     // pixels a press may move and still be a click
    static constexpr double kPickDistance = 8;  // pixels from a marker or the line that pick it
    // A PVI or a curve held by the mouse (plot_editing.cpp).
    struct EditDrag {
        enum class What { Pvi, Curve } what = What::Pvi;
        int element = -1;                     // into base->Elements()
        std::shared_ptr<const Profile> base;  // the profile when the drag began
        QPointF pressedAt;
        double pressedElevation = 0;          // the world elevation under the press
        bool moving = false;                  // beyond the click slop: a drag, not a click
        std::optional<PointEdit> draft;       // the edit the draft shows
    };
    // Each returns true when it took the event.
    bool EditPress(QMouseEvent* event);
    bool EditMove(QMouseEvent* event);
    bool EditRelease(QMouseEvent* event);
    bool EditDoubleClick(QMouseEvent* event);
    void CancelDrag();
    // Draws `profile` (a draft, or the base again) without touching the view.
    void ShowDraft(std::shared_ptr<const Profile> profile);
    // Builds the drawing, the ground and the scene of profile_ and ground_.
    void Rebuild();
    int CurveMiddleNear(QPointF position) const;
    void PaintDragLabel(QPainter& painter) const;

    GradeSnap snap_;
    std::optional<EditDrag> edit_;
    std::shared_ptr<const Profile> profile_;
    std::shared_ptr<const GroundLine> ground_;  // checked against profile_; null without one
    DrawnGround plotGround_;                     // of ground_: what the scene draws
    ProfileDrawing drawing_;
    ViewTransform transform_;
    int selectedPvi_ = -1;
    bool hasView_ = false;  // a profile has been shown since the plot was last empty
    bool followFit_ = true; // the view is "fit all" and follows edits and resizes until the user moves it
    std::optional<double> hover_;  // internal station under the mouse, for the cursor line
    std::optional<double> query_;  // internal station of the query mark
    std::vector<ControlMark> controls_;
    std::optional<QPointF> dragFrom_;
    QPointF pressedAt_;
    std::unique_ptr<PlotScene> scene_;
};

}  // namespace tarnvel::ui
