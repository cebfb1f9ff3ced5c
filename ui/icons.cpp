#include "ui/icons.h"

namespace tarnvel::icons {

namespace {

// Only the 32 x 32 images: the scalable drawing needs Qt's SVG module, which
// the program does not otherwise use, and a QIcon holding a file it cannot
// read would hand out empty pixmaps at other sizes instead of scaling.
QIcon FromPng(const char* path) {
    QIcon icon;
    icon.addFile(QString::fromLatin1(path), QSize(32, 32));
    return icon;
}

}  // namespace

QIcon ProgramIcon() { return FromPng(kProgramPng); }

QIcon AboutIcon() { return FromPng(kAboutPng); }

}  // namespace tarnvel::icons
