// tarnvel-cli save, load and report (the files engineer fills these in).

#include <ostream>

#include "cli/commands.h"

namespace tarnvel::cli {

int RunSave(const Args&, std::ostream&, std::ostream& err) { err << "save: not built yet\n"; return kExitUsage; }
int RunLoad(const Args&, std::ostream&, std::ostream& err) { err << "load: not built yet\n"; return kExitUsage; }
int RunReport(const Args&, std::ostream&, std::ostream& err) { err << "report: not built yet\n"; return kExitUsage; }

}  // namespace tarnvel::cli
