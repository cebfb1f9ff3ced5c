#pragma once
// Where the windows' Qt strings meet the rest of the program: the core's
// UTF-8 text, paths as the system spells them, and an io failure's words.
// Every window library links this one, so each conversion is written once.

#include <QString>

#include <string>
#include <string_view>

#include "io/io_failure.h"

namespace tarnvel::ui {

// UTF-8 text of the core (a caption, a table cell) as a QString; the view
// need not end in NUL.
QString FromUtf8(std::string_view text);

// The path as the system spells it on disk, for the io library.
std::string NativePath(const QString& path);

// The Chinese sentence an io failure carries, for a message box.
QString MessageOf(const io::IoFailure& failure);

}  // namespace tarnvel::ui
