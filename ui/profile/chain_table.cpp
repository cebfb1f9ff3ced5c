#include "ui/profile/chain_table.h"

#include "ui/profile/cell_text.h"

namespace tarnvel::ui::profile {

QStringList ChainHeaders() { return {QStringLiteral("断链前桩号"), QStringLiteral("断链后桩号")}; }

ChainReading ReadChainRows(const std::vector<QStringList>& rows) {
    ChainReading reading;
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        ChainBreak chain;
        for (int column : {kChainBack, kChainAhead}) {
            QString why;
            const auto station = ParseCellStation(rows[row][column], &why);
            if (!station) {
                reading.marks.push_back({row, column, why});
            } else if (station->occurrence != 0) {
                // A break is where a label first jumps: it has no second occurrence.
                reading.marks.push_back({row, column, QStringLiteral("断链桩号不带“(n)”。")});
            } else {
                (column == kChainBack ? chain.back : chain.ahead) = station->value;
            }
        }
        reading.breaks.push_back(chain);
    }
    return reading;
}

std::vector<QStringList> ChainRowsOf(const std::vector<ChainBreak>& breaks) {
    std::vector<QStringList> rows;
    for (const ChainBreak& chain : breaks) {
        rows.push_back({ExactStationText(Station{chain.back, 0}), ExactStationText(Station{chain.ahead, 0})});
    }
    return rows;
}

}  // namespace tarnvel::ui::profile
