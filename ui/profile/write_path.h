#pragma once
// The path a window output is written to: the save dialog opens in the
// document's folder with its name suggested, and the name typed gets the
// output's extension by the rule every output shares (io/output_name.h).

#include <QString>

#include "ui/seams.h"

namespace tarnvel::ui::profile {

// `documentPath`'s folder and base name followed by `ending` (".pdf",
// "-列表.csv"); empty when there is no document file.
QString SuggestedPath(const QString& documentPath, const QString& ending);

// Asks for a path to write `extension` ("pdf") to. A name typed without that
// extension gets it, unless the user picked a filter that takes any file
// ("所有文件(*.*)"). An export never goes over the open document at
// `documentPath` or a table saved beside it (its ground, controls, criteria
// or 交点表): the user is told, and nothing is returned. Empty when cancelled.
QString ChooseWritePath(const Services& services, QWidget* parent, const QString& filter, const QString& extension,
                        const QString& suggested, const QString& documentPath);

}  // namespace tarnvel::ui::profile
