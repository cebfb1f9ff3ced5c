#include "output/pages_pdf.h"

#include <QGuiApplication>
#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "io/atomic_write.h"
#include "output/page_painter.h"

namespace tarnvel::output {
namespace {

constexpr int kResolution = 600;

// The PDF writer's device: its bytes go straight on to the atomic write's
// sink, so that a long set never sits in memory whole.
class SinkDevice final : public QIODevice {
public:
    explicit SinkDevice(io::FileBytesSink& sink) : sink_(sink) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        sink_.Write(std::string_view(data, static_cast<std::size_t>(size)));
        return size;
    }

private:
    io::FileBytesSink& sink_;
};

// The fonts need a GUI application; a process without one (the command line)
// gets the offscreen one, made once and kept: Qt cannot make a second after
// the first is gone. Qt's own notes on its set-up there ("QStandardPaths:
// XDG_RUNTIME_DIR not set…") are in English and change nothing in the file,
// so they are kept quiet while such a process writes; a failure still comes
// back as this program's own message.
class GuiForFonts {
public:
    GuiForFonts() {
        static const bool made = !QCoreApplication::instance();
        if (!made) return;
        previous_ = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        quiet_ = true;
        if (QCoreApplication::instance()) return;
        static char name[] = "tarnvel", platform[] = "-platform", offscreen[] = "offscreen";
        static char* argv[] = {name, platform, offscreen, nullptr};
        static int argc = 3;
        // Held by a static for the life of the process.
        static QGuiApplication* const app = new QGuiApplication(argc, argv);
        (void)app;
    }
    ~GuiForFonts() {
        if (quiet_) qInstallMessageHandler(previous_);
    }
    GuiForFonts(const GuiForFonts&) = delete;
    GuiForFonts& operator=(const GuiForFonts&) = delete;

private:
    QtMessageHandler previous_ = nullptr;
    bool quiet_ = false;
};

}  // namespace

QPageLayout PageLayoutOf(const Page& page) {
    const bool landscape = page.width > page.height;
    const QSizeF size = landscape ? QSizeF(page.height, page.width) : QSizeF(page.width, page.height);
    return QPageLayout(QPageSize(size, QPageSize::Millimeter), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

std::optional<io::IoFailure> WritePagesPdf(const std::string& path, PageSource& pages, const std::string& title) {
    try {
        const GuiForFonts gui;
        bool painted = true;
        std::optional<io::IoFailure> failure = io::WriteFileAtomically(path, [&](io::FileBytesSink& sink) {
            SinkDevice device(sink);
            QPdfWriter writer(&device);
            writer.setResolution(kResolution);
            writer.setCreator(QStringLiteral("Tarnvel"));
            writer.setTitle(QString::fromStdString(title));
            Page page;
            const bool any = pages.Next(page);
            if (any) writer.setPageLayout(PageLayoutOf(page));
            QPainter painter(&writer);
            if (!painter.isActive()) {
                painted = false;
                return false;
            }
            for (bool first = true; any && (first || pages.Next(page)); first = false) {
                if (!first) {
                    writer.setPageLayout(PageLayoutOf(page));
                    writer.newPage();
                }
                const QRect area = writer.pageLayout().paintRectPixels(kResolution);
                PaintPage(painter, page, QRectF(0, 0, area.width(), area.height()));
            }
            // A writer that fails at the end abandons the file, and says so.
            painted = painter.end();
            return painted;
        });
        if (!painted) return io::IoFailure{io::FailureKind::File, "无法写入文件“" + path + "”：无法生成 PDF。"};
        return failure;
    } catch (...) {
        return io::CurrentExceptionFailure(io::FileAction::Write, path);
    }
}

std::optional<io::IoFailure> WritePagesPdf(const std::string& path, const std::vector<Page>& pages,
                                           const std::string& title) {
    HeldPages held(pages);
    return WritePagesPdf(path, held, title);
}

}  // namespace tarnvel::output
