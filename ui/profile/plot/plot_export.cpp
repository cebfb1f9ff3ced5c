#include "ui/profile/plot/plot_export.h"

#include <algorithm>
#include <cmath>

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "output/drawing_svg.h"
#include "core/drawing/profile_drawing.h"
#include "io/atomic_write.h"
#include "ui/profile/plot/plot_scene.h"

namespace tarnvel::ui {
namespace {

// Large enough for any print, small enough to stay in memory.
constexpr int kMinSide = 16, kMaxSide = 20000;

std::optional<io::IoFailure> BadSize(const std::string& path, const PlotImageOptions& options) {
    if (options.width >= kMinSide && options.width <= kMaxSide && options.height >= kMinSide &&
        options.height <= kMaxSide)
        return std::nullopt;
    return io::IoFailure{io::FailureKind::File,
                         "无法写入文件“" + path + "”：图片尺寸 " + std::to_string(options.width) + "×" +
                             std::to_string(options.height) + " 超出范围（每边 16 至 20000 像素）。"};
}

}  // namespace

double UsableExaggeration(double exaggeration) {
    if (!std::isfinite(exaggeration)) return 10;
    return std::clamp(exaggeration, 1.0, 1000.0);
}

std::optional<io::IoFailure> WritePlotPng(const std::string& path, const Profile& profile,
                                          const PlotImageOptions& options, const GroundLine* ground) {
    if (auto failure = BadSize(path, options)) return failure;
    try {
    QImage image(options.width, options.height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return io::IoFailure{io::FailureKind::File, "无法写入文件“" + path + "”：内存不足，无法生成图片。"};
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        const ProfileDrawing drawing = BuildDrawing(profile);
        PaintFittedPlot(painter, profile, drawing, QRectF(image.rect()), UsableExaggeration(options.exaggeration),
                        ground);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return io::IoFailure{io::FailureKind::File, "无法写入文件“" + path + "”：PNG 编码失败。"};
    return io::WriteFileAtomically(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (...) {
        return io::CurrentExceptionFailure(io::FileAction::Write, path);
    }
}

std::optional<io::IoFailure> WritePlotSvg(const std::string& path, const Profile& profile,
                                          const PlotImageOptions& options, const GroundLine* ground) {
    if (auto failure = BadSize(path, options)) return failure;
    try {
        const std::string svg =
            DrawingSvg(profile, BuildDrawing(profile), SvgPage{options.width, options.height, UsableExaggeration(options.exaggeration)},
                       ground);
        return io::WriteFileAtomically(path, svg);
    } catch (...) {
        return io::CurrentExceptionFailure(io::FileAction::Write, path);
    }
}

}  // namespace tarnvel::ui
