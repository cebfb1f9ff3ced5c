#include "tests/ui/support/fakes.h"

namespace tarnvel::ui::testing {

void FakeMessageBox::ShowInfo(QWidget* parent, const QString& prompt) {
    prompts.append(prompt);
    parents.push_back(parent);
}

void FakeMessageBox::ShowWarning(QWidget* parent, const QString& prompt) {
    ShowInfo(parent, prompt);
    warnings.append(prompt);
}

SaveChoice FakeMessageBox::AskSaveChanges(QWidget* parent, const QString& prompt) {
    questions.append(prompt);
    parents.push_back(parent);
    if (saveAnswers.empty()) return SaveChoice::Cancel;
    const SaveChoice answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

QString FakeFileDialog::Next(const QString& filter, QString* selectedFilter) {
    QString picked = selectedFilter && !selectedFilter->isEmpty() ? *selectedFilter
                                                                    : filter.section(QStringLiteral(";;"), 0, 0);
    if (!pickedFilters.empty()) {
        picked = pickedFilters.front();
        pickedFilters.pop_front();
    }
    if (answers.empty()) return QString();
    if (selectedFilter) *selectedFilter = picked;
    QString answer = answers.front();
    answers.pop_front();
    return answer;
}

QString FakeFileDialog::ChooseSaveFile(QWidget*, const QString& filter, QString* selectedFilter,
                                       const QString& start) {
    calls.push_back({Kind::Save, filter, start, selectedFilter ? *selectedFilter : QString()});
    return Next(filter, selectedFilter);
}

QString FakeFileDialog::ChooseOpenFile(QWidget*, const QString& filter, QString* selectedFilter,
                                       const QString& start) {
    calls.push_back({Kind::Open, filter, start, selectedFilter ? *selectedFilter : QString()});
    return Next(filter, selectedFilter);
}

bool FakeLauncher::StartDetached(const QString& program, const QStringList& arguments) {
    launches.push_back({program, arguments});
    return !fail;
}

void FakeSheetPreview::Show(QWidget* parent, const std::vector<Page>& pages, const QString& title) {
    shown.push_back({parent, pages, title});
}

}  // namespace tarnvel::ui::testing
