#include <QApplication>

#include "ui/main/qt_translations.h"
#include "ui/main/tarnvel.h"
#include "ui/seams.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tarnvel::ui::InstallQtChineseTranslations(app);
    tarnvel::ui::Tarnvel window(tarnvel::ui::DefaultServices());
    window.show();
    return QApplication::exec();
}
