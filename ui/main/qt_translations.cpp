#include "ui/main/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tarnvel::ui {

int InstallQtChineseTranslations(QCoreApplication& app) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    int installed = 0;
    // qtbase holds the dialogs and buttons; qt_ gathers the other modules'.
    for (const QString& catalogue : {QStringLiteral("qtbase_zh_CN"), QStringLiteral("qt_zh_CN")}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(catalogue, folder) && QCoreApplication::installTranslator(translator)) {
            ++installed;
        } else {
            delete translator;
        }
    }
    return installed;
}

}  // namespace tarnvel::ui
