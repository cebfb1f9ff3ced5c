#include "ui/profile/plot/pages_pdf.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "io/atomic_write.h"
#include "ui/profile/plot/page_painter.h"

namespace tarnvel::ui {
namespace {

constexpr int kResolution = 600;

}  // namespace

QPageLayout PageLayoutOf(const Page& page) {
    const bool landscape = page.width > page.height;
    const QSizeF size = landscape ? QSizeF(page.height, page.width) : QSizeF(page.width, page.height);
    return QPageLayout(QPageSize(size, QPageSize::Millimeter), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

std::optional<io::IoFailure> WritePagesPdf(const std::string& path, const std::vector<Page>& pages,
                                           const std::string& title) {
    try {
        QByteArray bytes;
        {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter writer(&buffer);
            writer.setResolution(kResolution);
            writer.setCreator(QStringLiteral("Tarnvel"));
            writer.setTitle(QString::fromStdString(title));
            if (!pages.empty()) writer.setPageLayout(PageLayoutOf(pages.front()));
            QPainter painter(&writer);
            if (!painter.isActive())
                return io::IoFailure{io::FailureKind::File, "无法写入文件“" + path + "”：无法生成 PDF。"};
            for (std::size_t i = 0; i < pages.size(); ++i) {
                if (i > 0) {
                    writer.setPageLayout(PageLayoutOf(pages[i]));
                    writer.newPage();
                }
                const QRect area = writer.pageLayout().paintRectPixels(kResolution);
                PaintPage(painter, pages[i], QRectF(0, 0, area.width(), area.height()));
            }
        }
        return io::WriteFileAtomically(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (...) {
        return io::CurrentExceptionFailure(io::FileAction::Write, path);
    }
}

}  // namespace tarnvel::ui
