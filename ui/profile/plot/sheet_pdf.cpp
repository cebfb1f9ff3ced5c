// The profile sheet: on every page a frame and a title block along the
// bottom; on the first page the plot, then the curve elements table, which
// continues on the following pages with its header repeated.

#include <algorithm>
#include <cmath>

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include "core/calculator/number_text.h"
#include "core/text/profile_text.h"
#include "core/drawing/profile_drawing.h"
#include "io/atomic_write.h"
#include "ui/profile/plot/plot_export.h"
#include "ui/profile/plot/plot_scene.h"

namespace tarnvel::ui {
namespace {

// The sheet is laid out in pixels of 1/96 inch and scaled to the writer.
constexpr double kLogicalDpi = 96;
constexpr int kResolution = 600;
constexpr double kTitleHeight = 56;
constexpr double kPlotShare = 0.58;  // of the first page above the title block
constexpr double kCellPadding = 8;

using Row = std::vector<QString>;

// The elements table in the words and numbers of the command line's table,
// stations in K notation; the header row first.
std::vector<Row> ElementTable(const Profile& profile) {
    TextOptions options;
    options.stations = StationStyle::K;
    std::vector<Row> rows;
    for (const auto& cells : ElementsTableCells(profile, options)) {
        Row row;
        row.reserve(static_cast<qsizetype>(cells.size()));
        for (const auto& cell : cells) row.push_back(QString::fromStdString(cell));
        rows.push_back(std::move(row));
    }
    return rows;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

class Sheet {
public:
    Sheet(const Profile& profile, const SheetOptions& options, QSizeF page, const GroundLine* ground)
        : profile_(profile), options_(options), page_(page), ground_(ground) {
        std::vector<Row> table = ElementTable(profile);
        header_ = std::move(table.front());
        rows_.assign(std::make_move_iterator(table.begin() + 1), std::make_move_iterator(table.end()));
        columns_ = static_cast<int>(header_.size());
        ChooseTableFont();
        const double rowHeight = RowHeight();
        const double plotBottom = (page_.height() - kTitleHeight) * kPlotShare;
        // Each table area holds its title line, the header and the rows.
        firstRows_ = std::max(0, static_cast<int>((page_.height() - kTitleHeight - plotBottom) / rowHeight) - 2);
        laterRows_ = std::max(1, static_cast<int>((page_.height() - kTitleHeight) / rowHeight) - 2);
        const auto rest = std::max<std::ptrdiff_t>(0, static_cast<std::ptrdiff_t>(rows_.size()) - firstRows_);
        pages_ = 1 + static_cast<int>((rest + laterRows_ - 1) / laterRows_);
    }

    int Pages() const { return pages_; }

    void PaintPage(QPainter& painter, int page) {
        painter.setPen(QPen(Qt::black, 1.2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(QPointF(0, 0), page_));
        TitleBlock(painter, page);
        const double titleTop = page_.height() - kTitleHeight;
        if (page == 0) {
            const double plotBottom = titleTop * kPlotShare;
            const ProfileDrawing drawing = BuildDrawing(profile_);
            PaintFittedPlot(painter, profile_, drawing, QRectF(1, 1, page_.width() - 2, plotBottom - 2),
                            UsableExaggeration(options_.exaggeration), ground_);
            painter.setPen(QPen(Qt::black, 1.2));
            painter.drawLine(QPointF(0, plotBottom), QPointF(page_.width(), plotBottom));
            Table(painter, plotBottom, 0, std::min<std::size_t>(rows_.size(), static_cast<std::size_t>(firstRows_)));
        } else {
            const std::size_t from = static_cast<std::size_t>(firstRows_) +
                                     static_cast<std::size_t>(page - 1) * static_cast<std::size_t>(laterRows_);
            Table(painter, 0, from, std::min(rows_.size(), from + static_cast<std::size_t>(laterRows_)));
        }
    }

private:
    double RowHeight() const { return QFontMetricsF(tableFont_).height() + 6; }

    // The columns as wide as their widest text; a smaller font when the
    // table would not fit across the page.
    void ChooseTableFont() {
        // The texts of a column share their characters (digits, K notation),
        // so its longest text is its widest: only that one is measured, which
        // keeps a table of ten thousand rows quick.
        std::vector<QString> longest(columns_);
        for (const auto& row : rows_)
            for (int c = 0; c < columns_; ++c) {
                const QString& text = row[static_cast<std::size_t>(c)];
                if (text.size() > longest[static_cast<std::size_t>(c)].size()) longest[static_cast<std::size_t>(c)] = text;
            }
        for (int size = 12; size >= 5; --size) {
            tableFont_ = PlotFont(size);
            const QFontMetricsF metrics(tableFont_);
            widths_.assign(columns_, 0);
            for (int c = 0; c < columns_; ++c)
                widths_[c] = std::max(metrics.horizontalAdvance(header_[static_cast<std::size_t>(c)]),
                                      metrics.horizontalAdvance(longest[static_cast<std::size_t>(c)]));
            double total = 0;
            for (double& w : widths_) total += (w += 2 * kCellPadding);
            if (total <= page_.width() - 16 || size == 5) {
                // Spread what is left over the columns, so the table spans the page.
                const double extra = std::max(0.0, (page_.width() - 16 - total) / columns_);
                for (double& w : widths_) w += extra;
                return;
            }
        }
    }

    void Table(QPainter& painter, double top, std::size_t from, std::size_t to) {
        const double rowHeight = RowHeight();
        painter.setFont(PlotFont(14));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, top, page_.width(), rowHeight), Qt::AlignCenter,
                         from == 0 ? QStringLiteral("竖曲线要素表") : QStringLiteral("竖曲线要素表（续）"));
        painter.setFont(tableFont_);
        double y = top + rowHeight;
        auto drawRow = [&](auto&& text, bool header) {
            double x = 8;
            if (header) painter.fillRect(QRectF(x, y, page_.width() - 16, rowHeight), QColor(235, 235, 235));
            for (int c = 0; c < columns_; ++c) {
                const QRectF cell(x, y, widths_[c], rowHeight);
                painter.drawRect(cell);
                painter.drawText(cell.adjusted(kCellPadding / 2, 0, -kCellPadding / 2, 0),
                                 header || c == 0 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter, text(c));
                x += widths_[c];
            }
            y += rowHeight;
        };
        painter.setPen(QPen(Qt::black, 0.6));
        drawRow([&](int c) { return header_[static_cast<std::size_t>(c)]; }, true);
        if (rows_.empty()) {
            painter.drawText(QRectF(8, y, page_.width() - 16, rowHeight), Qt::AlignCenter,
                             QStringLiteral("（无变坡点）"));
            return;
        }
        for (std::size_t r = from; r < to; ++r)
            drawRow([&](int c) { return rows_[r][static_cast<std::size_t>(c)]; }, false);
    }

    void TitleBlock(QPainter& painter, int page) {
        const double top = page_.height() - kTitleHeight;
        const double w = page_.width();
        const double h = kTitleHeight / 2;
        painter.setPen(QPen(Qt::black, 1.2));
        painter.drawLine(QPointF(0, top), QPointF(w, top));
        painter.setPen(QPen(Qt::black, 0.6));
        painter.drawLine(QPointF(0, top + h), QPointF(w, top + h));
        const QString name = Q(profile_.Model().name);
        const QString cells[2][3] = {
            {QStringLiteral("项目名称：") + options_.projectName,
             QStringLiteral("图名：纵断面图") + (name.isEmpty() ? QString() : QStringLiteral("（%1）").arg(name)),
             QStringLiteral("第 %1 页  共 %2 页").arg(page + 1).arg(pages_)},
            {QStringLiteral("单位：%1").arg(Q(LengthUnitName(profile_.Model().unit))),
             QStringLiteral("竖向放大：%1 倍").arg(Q(NumberToText(UsableExaggeration(options_.exaggeration)))),
             QStringLiteral("日期：") + options_.date}};
        const double widths[3] = {w * 0.45, w * 0.35, w * 0.20};
        painter.setFont(PlotFont(13));
        for (int r = 0; r < 2; ++r) {
            double x = 0;
            for (int c = 0; c < 3; ++c) {
                if (c > 0) painter.drawLine(QPointF(x, top), QPointF(x, top + kTitleHeight));
                painter.drawText(QRectF(x + 8, top + r * h, widths[c] - 16, h), Qt::AlignLeft | Qt::AlignVCenter,
                                 cells[r][c]);
                x += widths[c];
            }
        }
    }

    const Profile& profile_;
    const SheetOptions& options_;
    QSizeF page_;
    const GroundLine* ground_;  // nullptr: the plot shows the design alone
    Row header_;
    std::vector<Row> rows_;
    int columns_ = 0;
    QFont tableFont_;
    std::vector<double> widths_;
    int firstRows_ = 0, laterRows_ = 1, pages_ = 1;
};

}  // namespace

std::optional<io::IoFailure> WriteProfileSheetPdf(const std::string& path, const Profile& profile,
                                                  const SheetOptions& options, const GroundLine* ground) {
    try {
        QByteArray bytes;
        {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter writer(&buffer);
            writer.setResolution(kResolution);
            writer.setCreator(QStringLiteral("Tarnvel"));
            writer.setTitle(QStringLiteral("纵断面图 %1").arg(QString::fromStdString(profile.Model().name)));
            writer.setPageLayout(QPageLayout(
                QPageSize(options.size == SheetSize::A3 ? QPageSize::A3 : QPageSize::A4), QPageLayout::Landscape,
                QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
            QPainter painter(&writer);
            if (!painter.isActive())
                return io::IoFailure{io::FailureKind::File, "无法写入文件“" + path + "”：无法生成 PDF。"};
            const double scale = kResolution / kLogicalDpi;
            const QRect area = writer.pageLayout().paintRectPixels(kResolution);
            const QSizeF page(area.width() / scale, area.height() / scale);
            painter.scale(scale, scale);
            Sheet sheet(profile, options, page, ground);
            for (int p = 0; p < sheet.Pages(); ++p) {
                if (p > 0) writer.newPage();
                sheet.PaintPage(painter, p);
            }
        }
        return io::WriteFileAtomically(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (...) {
        return io::CurrentExceptionFailure(io::FileAction::Write, path);
    }
}

}  // namespace tarnvel::ui
