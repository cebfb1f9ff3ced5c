#pragma once
// The interface is Chinese whatever the system's language. Qt's own texts for
// its standard dialogs and buttons ("确定", "取消", "另存为") come from the
// translations installed with Qt (Debian: qt6-translations-l10n); the
// program's own texts are Chinese already. Numbers the program reads and
// writes never go through a locale (core/calculator/number_text.h), so that
// none of this changes a digit.

class QCoreApplication;

namespace tarnvel::ui {

// Installs Qt's Simplified Chinese catalogues into `app`, which owns them.
// Returns how many were found; without any, Qt keeps its English texts.
int InstallQtChineseTranslations(QCoreApplication& app);

// At start-up, before any window: Chinese (China) as Qt's default locale
// (dates, the file types of the file dialog), Qt's catalogues, and the few
// names those lack (a folder's type in the file dialog). Returns what
// InstallQtChineseTranslations does.
int UseChineseInterface(QCoreApplication& app);

}  // namespace tarnvel::ui
