#include "ui/main/layout.h"

#include <array>
#include <stdexcept>
#include <string>

namespace tarnvel::ui::layout {
namespace {

// Left, Top, Width, Height in twips; the last column is the tab position.
constexpr std::array<ControlPlace, 31> kControls{{
    // Frame1 is 75 twips wider, and the two mode buttons below start nearer its
    // border and are each as wide as its caption needs: at the original
    // places 单点计算 ran into the 连续计算 button and the frame clipped that.
    {"Frame1", "", "计算数据", 120, 120, 2250, 2265, 0},
    {"Frame2", "", "计算成果", 2400, 120, 2175, 2265, 13},
    {"Frame3", "", "计算成果", 2400, 120, 2145, 2265, 22},
    {"CommandButton1", "", "点击计算", 120, 2520, 975, 375, 14},
    {"CommandButton5", "", "点击计算", 120, 2520, 975, 375, 24},
    {"CommandButton2", "", "清空数据", 1320, 2520, 975, 375, 15},
    {"CommandButton4", "", "导出数据", 2400, 2520, 975, 375, 19},
    {"CommandButton3", "", "退出程序", 3600, 2520, 975, 375, 17},
    // Never shown; it reaches below the client area, as it always has.
    {"txtFileName", "", "C:\\Documents and Settings\\Administrator\\桌面", 120, 2925, 180, 270, 16},

    {"Label1", "Frame1", "变坡点桩号K=", 120, 255, 1095, 195, 6},
    {"Text1", "Frame1", "", 1320, 255, 735, 270, 12},
    {"Label2", "Frame1", "变坡点高程H=", 120, 540, 1095, 195, 5},
    {"Text2", "Frame1", "", 1320, 540, 735, 270, 11},
    {"Label3", "Frame1", "第一纵坡I1%=", 120, 825, 1095, 255, 4},
    {"Text3", "Frame1", "", 1320, 825, 735, 270, 10},
    {"Label4", "Frame1", "第二纵坡I2%=", 120, 1110, 1095, 255, 3},
    {"Text4", "Frame1", "", 1320, 1110, 735, 270, 9},
    {"Label5", "Frame1", "竖曲线半径R=", 120, 1380, 1095, 255, 2},
    {"Text5", "Frame1", "", 1320, 1380, 735, 270, 8},
    {"Label6", "Frame1", "计算桩号K  =", 120, 1665, 1095, 255, 1},
    {"Text6", "Frame1", "", 1320, 1665, 735, 270, 7},
    {"Option1", "Frame1", "单点计算", 30, 1950, 1095, 255, 20},
    {"Option2", "Frame1", "连续计算", 1125, 1950, 1095, 255, 21},

    {"Text7", "Frame3", "", 120, 240, 1935, 1230, 23},
    {"Label7", "Frame3", "起点桩号K=", 120, 1545, 960, 210, 26},
    {"Text8", "Frame3", "", 1080, 1515, 975, 240, 25},
    {"Label8", "Frame3", "止点桩号K=", 120, 1725, 960, 195, 27},
    {"Text9", "Frame3", "", 1080, 1755, 975, 240, 28},
    {"Label9", "Frame3", "计算间距J=", 120, 1965, 960, 210, 29},
    {"Text10", "Frame3", "", 1080, 1995, 975, 240, 30},

    {"MSFlexGrid1", "Frame2", "", 105, 240, 1920, 1935, 18},
}};

}  // namespace

std::span<const ControlPlace> Controls() { return kControls; }

const ControlPlace& Find(std::string_view name) {
    for (const ControlPlace& place : kControls) {
        if (place.name == name) return place;
    }
    throw std::logic_error("no control named " + std::string(name) + " in the layout table");
}

QRect PixelRect(const ControlPlace& place) {
    return TwipsRect(place.left, place.top, place.width, place.height);
}

QSize ClientSizePixels() {
    return QSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));
}

}  // namespace tarnvel::ui::layout
