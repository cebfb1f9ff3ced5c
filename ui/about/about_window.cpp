#include "ui/about/about_window.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <utility>

#include "ui/icons.h"
#include "ui/about/web_address.h"
#include "ui/look.h"

namespace tarnvel::ui {
namespace {

// Shape1: the window's outline, one pixel of window-text colour, nothing
// inside. It lies over Label1 but lets every click through to it.
class OutlineShape final : public QWidget {
public:
    explicit OutlineShape(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

}  // namespace

ClickableLabel::ClickableLabel(QWidget* parent) : QLabel(parent) {}

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && pressed_) {
        pressed_ = false;
        event->accept();
        if (rect().contains(event->position().toPoint())) {
            emit clicked();
        }
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

AboutWindow::AboutWindow(ProgramLauncher& launcher, ProgramSearch search, ReportFunction report)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      launcher_(launcher),
      search_(std::move(search)),
      report_(std::move(report)) {
    setObjectName(QStringLiteral("关于本软件"));
    setWindowTitle(QStringLiteral("关于"));
    setWindowIcon(icons::AboutIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(ProgramFont());
    setFixedSize(TwipsRect(0, 0, 3165, 2250).size());

    // The background of the window, its labels and its frame is the desktop's
    // menu-bar colour, as on the main window.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QApplication::palette("QMenuBar").color(QPalette::Window));
    setPalette(colours);
    setAutoFillBackground(true);

    // Created back to front: each new child lies in front of the ones before.
    ClickableLabel* background = AddLabel(this, "Label1", QString(), 45, -60, 3090, 2280);
    auto* outline = new OutlineShape(this);
    outline->setObjectName(QStringLiteral("Shape1"));
    outline->setGeometry(TwipsRect(0, 0, 3165, 2250));

    AddLabel(this, "Label2", QString::fromUtf8(kAboutVersion), 150, 225, 1500, 195);
    AddLabel(this, "Label4", QString::fromUtf8(kAboutOwnership), 150, 465, 2505, 195);
    AddLabel(this, "Label6", QString::fromUtf8(kAboutMessenger), 150, 1425, 1800, 195);
    AddLabel(this, "Label5", QString::fromUtf8(kAboutEmail), 150, 1665, 1800, 195);

    // The address is a long file URL: shown shortened in the middle so that it
    // fits its line, and whole in the tooltip.
    const QString address = WebAddress();
    const QString prefix = QString::fromUtf8(kAboutAddressLabel);
    const QFontMetrics metrics(font());
    const int addressWidth = TwipsToPixels(3000) - metrics.horizontalAdvance(prefix);
    ClickableLabel* addressLine =
        AddLabel(this, "Label7",
                 prefix + metrics.elidedText(address, Qt::ElideMiddle, addressWidth), 150,
                 1890, 3000, 195);
    addressLine->setToolTip(address);

    // Frame1 takes no clicks of its own: a click on its caption or border is
    // passed up to the window, which ignores it.
    auto* frame = new QGroupBox(QStringLiteral("关于"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(TwipsRect(150, 705, 2895, 615));
    frame->setAutoFillBackground(true);
    AddLabel(frame, "Label3", QString::fromUtf8(kAboutDescription), 240, 240, 2535, 240);

    background->lower();
    frame->raise();
}

ClickableLabel* AboutWindow::AddLabel(QWidget* parent, const char* name, const QString& text,
                                      int left, int top, int width, int height) {
    auto* label = new ClickableLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setText(text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAutoFillBackground(true);
    label->setFocusPolicy(Qt::NoFocus);
    label->setGeometry(TwipsRect(left, top, width, height));
    connect(label, &ClickableLabel::clicked, this, &AboutWindow::Label_Click);
    return label;
}

void AboutWindow::Label_Click() {
    // Closed only once the page is on its way; a failure leaves the window as
    // it was, with the message already shown.
    if (OpenWebPage(launcher_, search_, report_)) {
        close();
    }
}

void AboutWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace tarnvel::ui
