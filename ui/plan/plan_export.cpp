#include "ui/plan/plan_export.h"

#include <QFile>
#include <QMenu>

#include <span>

#include "core/drawing/plan_drawing.h"
#include "core/text/messages.h"
#include "io/output_name.h"
#include "output/sheet_writer.h"
#include "ui/qt_text.h"

namespace tarnvel::ui {

QString ExportPlanDrawing(QWidget* parent, const Services& services, std::shared_ptr<const Plan> plan, int scale,
                          const QString& suggested, const QString& name) {
    if (!plan) {
        services.messages.ShowInfo(parent, QStringLiteral("尚无有效的平面线形，无法导出平面图。"));
        return {};
    }
    // In the order of output::kSheetExtensions.
    const QStringList filters = {QStringLiteral("PDF 平面图(*.pdf)"), QStringLiteral("DXF 平面图，实际坐标(*.dxf)"),
                                 QStringLiteral("SVG 平面图(*.svg)")};
    QString picked;
    const QString typed = services.files.ChooseSaveFile(parent, filters.join(QStringLiteral(";;")), &picked, suggested);
    if (typed.isEmpty()) return {};
    const auto named = io::ResolveOutputName(NativePath(typed), output::kSheetExtensions,
                                             static_cast<std::size_t>(std::max<qsizetype>(0, filters.indexOf(picked))));
    if (!named) return {};

    PlanSheetOptions options;
    options.scale = scale;
    options.title = "平面图";
    if (!name.isEmpty()) options.title += " " + name.toStdString();
    PlanSheet sheet;
    try {
        sheet = BuildPlanSheet(*plan, MakePlanFigure(*plan), options);
    } catch (const std::exception&) {
        services.messages.ShowWarning(parent, QStringLiteral("内存不足，无法生成平面图。"));
        return {};
    }
    const auto format = static_cast<output::SheetFormat>(named->format);
    const bool pdf = format == output::SheetFormat::Pdf;
    const double largest = pdf ? kLargestPdfPageMm : format == output::SheetFormat::Svg ? kLargestSvgPageMm : INFINITY;
    if (sheet.page.width > largest || sheet.page.height > largest) {
        services.messages.ShowWarning(parent, QString::fromStdString(DescribePlanSheetTooLarge(
                                                  sheet.page.width, sheet.page.height, scale, largest, pdf)));
        return {};
    }
    const std::string& path = named->path;
    HeldPages page(std::span(&sheet.page, 1));
    output::SheetsWritten written;
    if (const auto failure = output::WriteSheets(path, page, options.title, &written)) {
        services.messages.ShowWarning(parent, MessageOf(*failure));
        return {};
    }
    for (const std::string& note : output::SheetNotes(written)) services.messages.ShowWarning(parent, FromUtf8(note));
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QMenu* AddPlanExportMenu(QMenu* menu, QObject* context, std::function<void(int scale)> exportAt) {
    QMenu* scales = menu->addMenu(QStringLiteral("导出平面图"));
    scales->setObjectName(QStringLiteral("ExportPlanMenu"));
    for (const int scale : kPlanExportScales) {
        QAction* action = scales->addAction(QStringLiteral("1:%1…").arg(scale));
        action->setObjectName(QStringLiteral("ExportPlan%1").arg(scale));
        QObject::connect(action, &QAction::triggered, context, [exportAt, scale] { exportAt(scale); });
    }
    return scales;
}

}  // namespace tarnvel::ui
