// The tools and help menus: the desktop's text editor (with the greeting) and
// calculator, the profile window, the maker's web page, and the single About
// window. None of them
// reads or changes anything of the main window; they work in either mode.

#include <QPointer>

#include "ui/about/about_window.h"
#include "ui/about/launch.h"
#include "ui/main/tarnvel.h"
#include "ui/profile/profile_window.h"

namespace tarnvel::ui {

// Failures go to the main window's message box. The About window may outlive
// the main window (closing the main window leaves it open), so its messages
// fall back to an ownerless box once the main window is gone.
std::function<void(const QString&)> Tarnvel::ReportToWindow() {
    QPointer<Tarnvel> owner(this);
    MessageBox* messages = &services_.messages;
    return [owner, messages](const QString& prompt) {
        if (owner) {
            owner->ShowInfoMessage(prompt);
        } else {
            messages->ShowInfo(nullptr, prompt);
        }
    };
}

void Tarnvel::Notepad_Click() {
    OpenTextEditorWithGreeting(services_.launcher, ProgramSearch::FromEnvironment(),
                               DefaultGreetingFolder(), ReportToWindow());
}

void Tarnvel::Calc_Click() {
    OpenCalculator(services_.launcher, ProgramSearch::FromEnvironment(), ReportToWindow());
}

void Tarnvel::LianBang_Click() {
    OpenWebPage(services_.launcher, ProgramSearch::FromEnvironment(), ReportToWindow());
}

void Tarnvel::About_Click() {
    if (!aboutWindow_) {
        // No owner: the main window stays usable and can be brought in front.
        auto* about = new AboutWindow(services_.launcher, ProgramSearch::FromEnvironment(),
                                      ReportToWindow());
        about->move(frameGeometry().center() - about->rect().center());
        aboutWindow_ = about;
    }
    aboutWindow_->show();
    aboutWindow_->raise();
    aboutWindow_->activateWindow();
}

void Tarnvel::ProfileWindowMenu_Click() {
    if (!profileWindow_) {
        // No owner, as the About window: either window can be used and closed
        // on its own. It is deleted when closed, after its own question about
        // unsaved changes.
        auto* window = new ProfileWindow(services_);
        window->setAttribute(Qt::WA_DeleteOnClose);
        profileWindow_ = window;
    }
    profileWindow_->show();
    profileWindow_->raise();
    profileWindow_->activateWindow();
}

}  // namespace tarnvel::ui
