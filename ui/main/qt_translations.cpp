#include "ui/main/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tarnvel::ui {
namespace {

// Texts of Qt's that its Chinese catalogue leaves in English: the file
// dialog's type column says "Folder" beside "CSV 文档".
class MissingQtTexts final : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char*, int) const override {
        if (context == nullptr || sourceText == nullptr || qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        static constexpr struct {
            const char* english;
            const char* chinese;
        } kTexts[] = {{"Folder", "文件夹"}, {"File Folder", "文件夹"}, {"Drive", "驱动器"}, {"Alias", "替身"}};
        for (const auto& text : kTexts) {
            if (qstrcmp(sourceText, text.english) == 0) return QString::fromUtf8(text.chinese);
        }
        return {};
    }
};

}  // namespace

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

int UseChineseInterface(QCoreApplication& app) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    const int installed = InstallQtChineseTranslations(app);
    auto* missing = new MissingQtTexts(&app);
    if (!QCoreApplication::installTranslator(missing)) delete missing;
    return installed;
}

}  // namespace tarnvel::ui
