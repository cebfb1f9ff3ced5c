#include "ui/look.h"

#include <QStringList>

namespace tarnvel::ui {

QFont ProgramFont() {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing"),
                      QStringLiteral("AR PL SungtiL GB"), QStringLiteral("Noto Serif CJK SC")});
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace tarnvel::ui
