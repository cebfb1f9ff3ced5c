#pragma once
// The plan view (平面图): paints the plan drawing (core/drawing/plan_drawing.h)
// of the road's plan for the current zoom and pan, as the profile plot does
// its profile: the wheel zooms about the mouse, dragging pans, a double click
// shows the whole route. Under the mouse it reads out X, Y and, by 坐标反算,
// the station and offset there (with a profile, the design elevation too); a
// click on the centre line chooses that station, and a station chosen
// elsewhere is marked and brought into view.
//
// The page is laid out again only when the road, the view, the size or the
// marked station change, and then only for the elements the view shows,
// sampled to a quarter of a pixel; moving the mouse repaints the cached page.

#include <memory>
#include <optional>

#include <QString>
#include <QWidget>

#include "core/drawing/plan_drawing.h"
#include "core/plan/plan.h"
#include "core/profile/ground_line.h"
#include "core/profile/profile.h"

namespace tarnvel::ui {

// What lies under the mouse.
struct PlanReadout {
    PlanPoint at;                     // X north, Y east
    std::optional<PlanFoot> foot;     // the station and offset there, when the road is within reach
    std::optional<double> elevation;  // the design elevation at that station, with a profile reaching it
};

class PlanView : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(PlanView)

public:
    explicit PlanView(QWidget* parent = nullptr);
    ~PlanView() override;

    // The road's snapshots; a null plan shows a hint. A view the user moved
    // is kept while the new route still lies in it.
    void SetRoad(std::shared_ptr<const Plan> plan, std::shared_ptr<const Profile> profile,
                 std::shared_ptr<const GroundLine> ground);
    // Marks a station chosen elsewhere and brings it into view.
    void ShowStation(double internal);

    const std::shared_ptr<const Plan>& plan() const { return plan_; }
    std::optional<double> markedStation() const { return marked_; }
    // Where the route lies in the widget: page millimetres are pixels × kPlotMmPerPixel.
    PlanViewport Viewport() const;
    // The readout for a point of the widget (what the mouse there shows).
    std::optional<PlanReadout> ReadoutAt(QPointF position) const;
    // The readout as the status line writes it: "X … Y … 桩号 … 偏距 …".
    QString ReadoutText(const PlanReadout& readout) const;
    // The page last laid out; nothing before the first paint.
    const Page* laidOutPage() const { return page_ ? &*page_ : nullptr; }

    QSize sizeHint() const override { return {800, 500}; }

public slots:
    void fitAll();

signals:
    void StationChosen(double internal);
    // The readout under the mouse; empty when the mouse left the view.
    void readoutChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Changed();  // the page must be laid out again
    void Reveal(const PlanPoint& p);
    void UpdateReadout(QPointF position);

    std::shared_ptr<const Plan> plan_;
    std::shared_ptr<const Profile> profile_;
    std::shared_ptr<const GroundLine> ground_;
    PlanFigure figure_;
    PlanPoint centre_;              // the world point at the widget's centre
    double pixelsPerUnit_ = 1;
    bool hasView_ = false;
    bool followFit_ = true;         // "whole route" until the user moves the view
    std::optional<double> marked_;
    std::optional<PlanPoint> hoverFoot_;
    std::optional<Page> page_;
    std::optional<QPointF> dragFrom_;
    QPointF pressedAt_;
};

}  // namespace tarnvel::ui
