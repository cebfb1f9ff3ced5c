#pragma once
// The About window "关于本软件": a small frameless window with the version, a
// one-line description, the maker's contact lines and the ownership notice.
//
// Every line of text, and the empty background behind them (Label1), is a
// link: a click opens the maker's web page and then closes the window; when
// the page cannot be opened the window stays and the failure is reported.
// Escape closes it without opening anything. The window has no owner and
// deletes itself when closed, so whoever shows it keeps only a QPointer.
//
// Z-order, back to front: Label1 (the clickable background), Shape1 (the
// outline, which lets clicks through to Label1), the other labels, and Frame1
// with Label3 in front of everything.

#include <QLabel>
#include <QString>
#include <QWidget>

#include "ui/about/launch.h"
#include "ui/seams.h"

namespace tarnvel::ui {

// The fixed texts of the window.
inline constexpr char kAboutVersion[] = "版本：V 1.00.00";
inline constexpr char kAboutOwnership[] = "版权所有 2026 塔文软件";
inline constexpr char kAboutDescription[] = "本软件为Tarnvel！";
inline constexpr char kAboutMessenger[] = "Q  Q：16770396";
inline constexpr char kAboutEmail[] = "邮箱：tv@example.com";
inline constexpr char kAboutAddressLabel[] = "网址：";

// A label that reports a click: a press and a release of the left button,
// both on the label.
class ClickableLabel final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClickableLabel)

public:
    explicit ClickableLabel(QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

class AboutWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutWindow)

public:
    // `launcher` and `report` must outlive the window; `report` receives the
    // message when the web page cannot be opened.
    AboutWindow(ProgramLauncher& launcher, ProgramSearch search, ReportFunction report);

    // A label click: open the web page, then close; stay open on failure.
    void Label_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ClickableLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int left,
                             int top, int width, int height);

    ProgramLauncher& launcher_;
    ProgramSearch search_;
    ReportFunction report_;
};

}  // namespace tarnvel::ui
