#include "core/drawing/page.h"

#include <array>

#include "core/text/text_width.h"

namespace tarnvel {
namespace {

// Layer names are the Chinese words a CAD user on a Chinese desktop expects;
// several roles share a layer where a drafter would keep them together.
constexpr std::array<RoleStyle, kPageRoleCount> kStyles = {{
    /* Frame      */ {0x000000, 0.35, false, 1.0, "图框"},
    /* Grid       */ {0xd8d8d8, 0.13, false, 1.0, "图框"},
    /* DesignLine */ {0x000000, 0.50, false, 1.0, "设计线"},
    /* GroundLine */ {0x7a4a1e, 0.25, false, 1.0, "地面线"},
    /* Tangent    */ {0x606060, 0.18, true, 1.0, "竖曲线"},
    /* Curve      */ {0x004080, 0.25, false, 1.0, "竖曲线"},
    /* Band       */ {0x000000, 0.25, false, 1.0, "资料栏"},
    /* Text       */ {0x000000, 0.18, false, 1.0, "文字"},
    /* Fill       */ {0xe8a040, 0.0, false, 0.35, "填挖"},
    /* Cut        */ {0x4080e0, 0.0, false, 0.35, "填挖"},
    /* ChainBreak */ {0xc00000, 0.25, true, 1.0, "图框"},
    /* Highlight  */ {0xe67800, 0.50, false, 1.0, "文字"},
}};

}  // namespace

const RoleStyle& StyleOf(PageRole role) { return kStyles[static_cast<std::size_t>(role)]; }

double PageTextWidth(std::string_view text, double height) {
    return static_cast<double>(DisplayWidth(text)) * height * 0.5;
}

}  // namespace tarnvel
