#pragma once
// The chain table (断链表): one row per chain break, the label just behind it
// and the label just ahead of it.

#include <QStringList>

#include <vector>

#include "core/profile/chain.h"
#include "core/profile/profile.h"
#include "ui/profile/edit_table_model.h"

namespace tarnvel::ui::profile {

enum ChainColumn { kChainBack, kChainAhead, kChainColumns };

QStringList ChainHeaders();

struct ChainReading {
    std::vector<ChainBreak> breaks;  // complete only when `marks` is empty
    std::vector<CellMark> marks;
};

ChainReading ReadChainRows(const std::vector<QStringList>& rows);
std::vector<QStringList> ChainRowsOf(const std::vector<ChainBreak>& breaks);

}  // namespace tarnvel::ui::profile
