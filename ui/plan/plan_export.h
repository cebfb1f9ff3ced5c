#pragma once
// 文件 > 导出平面图: the plan at a fixed scale as one sheet (SVG, PDF or DXF
// in real coordinates), drawn as `tarnvel-cli align plot` draws it. The
// scale is chosen in the menu (a submenu of scales), the file through the
// file-dialog seam; every failure is told through the message seam.

#include <functional>
#include <memory>

#include <QString>

#include "core/plan/plan.h"
#include "ui/seams.h"

class QMenu;
class QObject;

namespace tarnvel::ui {

// The scales the menu offers, 1:n.
inline constexpr int kPlanExportScales[] = {500, 1000, 2000, 5000, 10000};

// Asks for a file and writes the plan at 1:scale; the format follows the
// name typed, else the filter picked. `suggested` is where the dialog opens,
// `name` the route's name for the title. Returns the path written, or an
// empty text when cancelled or refused (the user has been told why).
QString ExportPlanDrawing(QWidget* parent, const Services& services, std::shared_ptr<const Plan> plan, int scale,
                          const QString& suggested = QString(), const QString& name = QString());

// Adds the submenu 导出平面图 to `menu`, one entry a scale (object names
// "ExportPlan2000", …), each calling `exportAt` with its scale.
QMenu* AddPlanExportMenu(QMenu* menu, QObject* context, std::function<void(int scale)> exportAt);

}  // namespace tarnvel::ui
