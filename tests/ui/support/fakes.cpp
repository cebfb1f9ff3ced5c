#include "tests/ui/support/fakes.h"

namespace tarnvel::ui::testing {

void FakeMessageBox::ShowInfo(QWidget* parent, const QString& prompt) {
    prompts.append(prompt);
    parents.push_back(parent);
}

QString FakeFileDialog::Next() {
    if (answers.empty()) return QString();
    QString answer = answers.front();
    answers.pop_front();
    return answer;
}

QString FakeFileDialog::ChooseSaveFile(QWidget*, const QString& filter) {
    calls.push_back({Kind::Save, filter});
    return Next();
}

QString FakeFileDialog::ChooseOpenFile(QWidget*, const QString& filter) {
    calls.push_back({Kind::Open, filter});
    return Next();
}

bool FakeLauncher::StartDetached(const QString& program, const QStringList& arguments) {
    launches.push_back({program, arguments});
    return !fail;
}

}  // namespace tarnvel::ui::testing
