#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "ui/main/tarnvel.h"
#include "ui/profile/profile_window.h"
#include "ui/seams.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Qt's own dialogs and buttons (the file dialog, a table's editors) in Chinese.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

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
