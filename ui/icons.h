#pragma once

// The program's icons, compiled into the binaries as Qt resources so that a
// window shows its own icon even when it runs from the build tree, before any
// installation put the desktop's copy in place.

#include <QIcon>

namespace tarnvel::icons {

// Resource paths, for code that wants the images themselves.
inline constexpr char kProgramPng[] = ":/icons/tarnvel.png";        // 32 x 32, 256 colours
inline constexpr char kProgramSvg[] = ":/icons/tarnvel.svg";        // the scalable drawing
inline constexpr char kAboutPng[] = ":/icons/tarnvel-about.png";    // 32 x 32, 256 colours

// The main window's icon.
QIcon ProgramIcon();

// The About window's icon: the same road profile with an information badge,
// so that the two windows are told apart.
QIcon AboutIcon();

}  // namespace tarnvel::icons
