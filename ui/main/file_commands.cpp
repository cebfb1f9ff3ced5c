#include "ui/main/tarnvel.h"

namespace tarnvel::ui {

// Filled in by the file commands.
void Tarnvel::Open_Click() {}
void Tarnvel::Export_Click() {}
void Tarnvel::CommandButton4_Click() {}

}  // namespace tarnvel::ui
