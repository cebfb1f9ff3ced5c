#include "ui/profile/point_edit.h"

#include <QStringList>

#include <vector>

#include "ui/profile/edit_table_model.h"
#include "ui/profile/profile_document.h"
#include "ui/profile/pvi_table.h"

namespace tarnvel::ui::profile {

QString ApplyPointEdit(ProfileDocument& document, const PointEdit& edit) {
    EditTableModel& table = document.PviModel();
    const auto profile = document.CurrentProfile();
    const int row = static_cast<int>(edit.point);
    if (!document.TableProblem().isEmpty() || !profile ||
        profile->Model().points.size() != static_cast<std::size_t>(table.rowCount()) ||
        row > table.rowCount() || (edit.kind != PointEdit::Kind::Insert && row >= table.rowCount())) {
        return QStringLiteral("表格中有问题（已标红），图上的修改未写入：请先改正表格。");
    }
    const QStringList cells = PviRowsOf({edit.value}).front();
    switch (edit.kind) {
    case PointEdit::Kind::Move:
        table.WriteBlock(row, kPviStation, {cells.mid(kPviStation, kPviElevation - kPviStation + 1)},
                         QStringLiteral("移动变坡点"));
        break;
    case PointEdit::Kind::Curve:
        table.WriteBlock(row, kPviKind, {cells.mid(kPviKind, kPviLengthOut - kPviKind + 1)},
                         QStringLiteral("修改竖曲线"));
        break;
    case PointEdit::Kind::Insert: {
        // The new row and every row below it moved one down, as one block:
        // one command, and the table never holds an empty row in between.
        std::vector<QStringList> block;
        block.reserve(static_cast<std::size_t>(table.rowCount() - row + 1));
        QStringList first = table.rowCount() > 0 ? table.Rows().front() : cells;
        for (qsizetype c = 0; c < first.size(); ++c) first[c] = c < cells.size() ? cells[c] : QString();
        block.push_back(first);
        for (int r = row; r < table.rowCount(); ++r) block.push_back(table.Rows()[static_cast<std::size_t>(r)]);
        table.WriteBlock(row, 0, std::move(block), QStringLiteral("添加变坡点"));
        break;
    }
    case PointEdit::Kind::Remove:
        table.RemoveRowRange(row, 1);
        break;
    }
    return QString();
}

}  // namespace tarnvel::ui::profile
