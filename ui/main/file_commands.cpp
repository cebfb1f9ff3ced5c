// File > "导入" / "导出" (the parameter file) and "导出数据" (the result report).
//
// Every command follows the same steps: ask for a path, end quietly when the
// dialog was cancelled, note the path in the hidden path box before the file is
// touched, then hand the file work to the io library. The library writes a
// file whole or not at all and reads at most a bounded prefix, so a failure
// leaves the disk and the boxes as they were; it is shown in the message box
// and the window carries on.

#include <QLineEdit>
#include <QString>

#include <array>
#include <string>

#include "io/parameter_file.h"
#include "io/result_report.h"
#include "ui/main/tarnvel.h"
#include "ui/qt_text.h"

namespace tarnvel::ui {
namespace {

const QString kParameterFilter = QStringLiteral("文本文件(*.txt)");
const QString kReportFilter = QStringLiteral("文本文件(*.txt);;所有文件(*.*)");

}  // namespace

void Tarnvel::Export_Click() {
    const QString path = services_.files.ChooseSaveFile(this, kParameterFilter);
    if (path.isEmpty()) return;
    chosenPathEdit_->setText(path);

    const std::array<QLineEdit*, io::kParameterCount> boxes = CurveBoxes();
    io::ParameterTexts texts;
    for (std::size_t i = 0; i < boxes.size(); ++i) texts[i] = boxes[i]->text().toStdString();
    if (const auto failure = io::SaveParameterFile(NativePath(path), texts)) ShowInfoMessage(MessageOf(*failure));
}

void Tarnvel::Open_Click() {
    const QString path = services_.files.ChooseOpenFile(this, kParameterFilter);
    if (path.isEmpty()) return;
    chosenPathEdit_->setText(path);

    // All five lines are read before any box changes: a file that fails part
    // way leaves every box as it was.
    const io::Result<io::ParameterTexts> loaded = io::LoadParameterFile(NativePath(path));
    if (!loaded.ok()) {
        ShowInfoMessage(MessageOf(loaded.failure()));
        return;
    }
    const std::array<QLineEdit*, io::kParameterCount> boxes = CurveBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) boxes[i]->setText(QString::fromStdString(loaded.value()[i]));
}

void Tarnvel::CommandButton4_Click() {
    // Only the empty text counts as "nothing calculated": a box of blanks or
    // line breaks is exported like any other.
    if (ListingText().isEmpty()) {
        ShowInfoMessage(QStringLiteral("请点击“点击计算”！"));
        return;
    }
    const QString path = services_.files.ChooseSaveFile(this, kReportFilter);
    if (path.isEmpty()) return;
    chosenPathEdit_->setText(path);

    if (const auto failure = io::WriteResultReport(NativePath(path), ListingText().toStdString()))
        ShowInfoMessage(MessageOf(*failure));
}

}  // namespace tarnvel::ui
