#pragma once
// Qt's own Chinese texts for its standard dialogs and buttons ("确定", "取消",
// "另存为"), from the translations installed with Qt (Debian:
// qt6-translations-l10n). The program's own texts are Chinese already.

class QCoreApplication;

namespace tarnvel::ui {

// Installs Qt's Simplified Chinese catalogues into `app`, which owns them.
// Returns how many were found; without any, Qt keeps its English texts.
int InstallQtChineseTranslations(QCoreApplication& app);

}  // namespace tarnvel::ui
