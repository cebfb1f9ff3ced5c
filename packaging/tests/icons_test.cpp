// The compiled-in window icons: this program links the icon library and
// nothing else, so a resource that the linker dropped, a wrong alias or a
// broken image shows up here rather than as a blank title bar.
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <ostream>

#include "ui/icons.h"

namespace {

struct PngRow {
    const char* name;
    const char* path;
};

// Rows print as their names: the default dump of their bytes would put
// addresses, different at every run, into the test names.
void PrintTo(const PngRow& row, std::ostream* os) { *os << row.name; }

class WindowIconImage : public ::testing::TestWithParam<PngRow> {};

TEST_P(WindowIconImage, is_32_by_32_with_at_most_256_colours_and_clear_corners) {
    QImageReader reader(QString::fromLatin1(GetParam().path));
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(image.size(), QSize(32, 32));
    // Stored as an indexed image: the classic 256-colour icon.
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_LE(image.colorCount(), 256);

    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (const QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)}) {
        EXPECT_EQ(qAlpha(argb.pixel(corner)), 0) << "corner " << corner.x() << "," << corner.y();
    }
    EXPECT_EQ(qAlpha(argb.pixel(16, 16)), 255);
}

INSTANTIATE_TEST_SUITE_P(
    Resources, WindowIconImage,
    ::testing::Values(PngRow{"main_window", tarnvel::icons::kProgramPng},
                      PngRow{"about_window", tarnvel::icons::kAboutPng}),
    [](const ::testing::TestParamInfo<PngRow>& info) { return std::string(info.param.name); });

TEST(WindowIcons, about_window_icon_differs_from_main_window_icon) {
    const QImage program(QString::fromLatin1(tarnvel::icons::kProgramPng));
    const QImage about(QString::fromLatin1(tarnvel::icons::kAboutPng));
    ASSERT_FALSE(program.isNull());
    ASSERT_FALSE(about.isNull());
    EXPECT_NE(program.convertToFormat(QImage::Format_ARGB32),
              about.convertToFormat(QImage::Format_ARGB32));
}

struct IconRow {
    const char* name;
    QIcon (*make)();
    const char* path;
};

void PrintTo(const IconRow& row, std::ostream* os) { *os << row.name; }

class WindowIcon : public ::testing::TestWithParam<IconRow> {};

TEST_P(WindowIcon, gives_its_own_image_at_32_pixels) {
    const QIcon icon = GetParam().make();
    ASSERT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    // Compared premultiplied: that is how a pixmap holds soft edges.
    const auto format = QImage::Format_ARGB32_Premultiplied;
    const QImage shown = icon.pixmap(QSize(32, 32)).toImage().convertToFormat(format);
    const QImage stored = QImage(QString::fromLatin1(GetParam().path)).convertToFormat(format);
    EXPECT_EQ(shown, stored);
}

INSTANTIATE_TEST_SUITE_P(
    Icons, WindowIcon,
    ::testing::Values(IconRow{"program", &tarnvel::icons::ProgramIcon, tarnvel::icons::kProgramPng},
                      IconRow{"about", &tarnvel::icons::AboutIcon, tarnvel::icons::kAboutPng}),
    [](const ::testing::TestParamInfo<IconRow>& info) { return std::string(info.param.name); });

// The scalable drawing is what desktops show at every size but 32: a hand
// edit that breaks the XML would leave the program without an icon there.
TEST(ScalableIcon, is_well_formed_svg_on_a_32_unit_grid) {
    QFile file(QString::fromLatin1(tarnvel::icons::kProgramSvg));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    bool sawRoot = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && !sawRoot) {
            sawRoot = true;
            EXPECT_EQ(xml.name(), QStringLiteral("svg"));
            EXPECT_EQ(xml.attributes().value(QStringLiteral("viewBox")), QStringLiteral("0 0 32 32"));
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line " << xml.lineNumber();
    EXPECT_TRUE(sawRoot);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
