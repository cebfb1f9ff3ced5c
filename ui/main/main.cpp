#include <QApplication>

#include "ui/main/qt_translations.h"
#include "ui/main/tarnvel.h"
#include "ui/profile/profile_window.h"
#include "ui/seams.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tarnvel::ui::UseChineseInterface(app);

    // "tarnvel PROFILE": a LandXML or CSV profile opens in the profile window.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        tarnvel::ui::ProfileWindow profile(tarnvel::ui::DefaultServices());
        profile.show();
        profile.OpenFile(arguments.at(1));
        return QApplication::exec();
    }
    tarnvel::ui::Tarnvel window(tarnvel::ui::DefaultServices());
    window.show();
    return QApplication::exec();
}
