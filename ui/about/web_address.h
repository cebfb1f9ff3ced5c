#pragma once
// The maker's web page. On a construction site there is often no network, so
// the page is the user manual installed with the program: the address is a
// file URL that opens in the desktop's browser without any connection. The
// "联机帮助" command, the About window's "网址：" line and its clicks, and the
// editor greeting all use this one address.

#include <QString>

namespace tarnvel::ui {

// Where the manual lies, relative to the folder of the running program. The
// build tree mirrors the installed layout (<prefix>/bin beside
// <prefix>/share/tarnvel), so the same path serves both.
inline constexpr char kManualBesideProgram[] = "../share/tarnvel/manual/index.html";

// The manual as an absolute local path, resolved from the running program.
QString ManualPath();

// The maker's web page address: the manual's file URL ("file:///…/index.html").
QString WebAddress();

}  // namespace tarnvel::ui
