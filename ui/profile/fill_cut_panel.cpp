#include "ui/profile/fill_cut_panel.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/drawing/plot_page.h"
#include "core/profile/ground_line.h"
#include "core/text/ground_text.h"

namespace tarnvel::ui::profile {

FillCutPanel::FillCutPanel(QWidget* parent) : QWidget(parent), text_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("FillCutPanel"));
    text_->setObjectName(QStringLiteral("FillCutSummary"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);
    SetProfile(nullptr, nullptr);
}

void FillCutPanel::SetProfile(std::shared_ptr<const Profile> profile, std::shared_ptr<const GroundLine> ground,
                              const DrawnGround* drawn) {
    QString text;
    if (!profile) {
        text = QStringLiteral("尚无纵断面。");
    } else if (!ground) {
        text = QStringLiteral("没有地面线：导入地面线（文件 → 导入地面线）或在地面线表中输入后，这里显示填挖汇总。");
    } else {
        const double from = ground->StartStation(), to = ground->EndStation();
        const GroundSummary summary =
            drawn && drawn->line == ground.get()
                ? SummarizeGround(*profile, *ground, from, to, drawn->zeroPoints, drawn->stretches)
                : SummarizeGround(*profile, *ground, from, to);
        TextOptions options;
        options.stations = StationStyle::K;
        text = QString::fromStdString(GroundSummaryText(*profile, summary, options));
    }
    if (text != text_->toPlainText()) text_->setPlainText(text);
}

QString FillCutPanel::Text() const { return text_->toPlainText(); }

}  // namespace tarnvel::ui::profile
