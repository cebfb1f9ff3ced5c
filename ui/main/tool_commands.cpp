#include "ui/main/tarnvel.h"

namespace tarnvel::ui {

// Filled in by the tool commands.
void Tarnvel::Notepad_Click() {}
void Tarnvel::Calc_Click() {}
void Tarnvel::LianBang_Click() {}
void Tarnvel::About_Click() {}

}  // namespace tarnvel::ui
