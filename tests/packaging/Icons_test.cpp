// The icon theme's icons are the program's own icon: the scalable one pixel
// for pixel, the bitmaps at every size the theme asks for.

#include "PackagingSupport.h"
#include "resources/TamselIcon.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <regex>
#include <string>

using namespace packaging_test;

namespace {

const std::string kIcons = PACKAGING_BINARY_DIR "/icons";

QImage ProgramIcon()
{
    return QImage(kTamselIconXpm).convertToFormat(QImage::Format_ARGB32);
}

// The SVG's rectangles painted back onto a grid of the icon's size.
QImage Painted(const std::string& svg, QSize size)
{
    QImage grid(size, QImage::Format_ARGB32);
    grid.fill(Qt::transparent);
    const std::regex rect(
        R"re(<rect x="(\d+)" y="(\d+)" width="(\d+)" height="1" fill="#([0-9a-f]{6})"/>)re");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), rect); it != std::sregex_iterator(); ++it) {
        const int x = std::stoi((*it)[1]);
        const int y = std::stoi((*it)[2]);
        const int w = std::stoi((*it)[3]);
        const QRgb colour = 0xFF000000u | std::stoul((*it)[4], nullptr, 16);
        for (int i = x; i < x + w; ++i)
            if (grid.rect().contains(i, y))
                grid.setPixel(i, y, colour);
    }
    return grid;
}

TEST(ScalableIcon, DrawsTheProgramIconPixelForPixel)
{
    const QImage icon = ProgramIcon();
    const std::string svg = ReadFile(kIcons + "/tamsel.svg");
    ASSERT_FALSE(svg.empty());
    EXPECT_NE(svg.find("viewBox=\"0 0 32 32\""), std::string::npos);
    const QImage painted = Painted(svg, icon.size());
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
            const QRgb want = qAlpha(icon.pixel(x, y)) == 0 ? 0 : icon.pixel(x, y);
            ASSERT_EQ(painted.pixel(x, y), want) << "pixel " << x << "," << y;
        }
}

class BitmapIcon : public testing::TestWithParam<int> {};

TEST_P(BitmapIcon, IsTheProgramIconAtItsFoldersSize)
{
    const int size = GetParam();
    const std::string path = kIcons + "/" + std::to_string(size) + "x" + std::to_string(size) + "/tamsel.png";
    const QImage bitmap = QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(bitmap.isNull()) << path;
    ASSERT_EQ(bitmap.size(), QSize(size, size));
    const QImage icon = ProgramIcon();
    if (size % icon.width() == 0) {
        const int scale = size / icon.width();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                ASSERT_EQ(bitmap.pixel(x, y), icon.pixel(x / scale, y / scale)) << path << " pixel " << x << "," << y;
        return;
    }
    // Averaged sizes: the corners stay clear and the middle of the tile
    // keeps the icon's colour there.
    EXPECT_EQ(qAlpha(bitmap.pixel(0, 0)), 0) << path;
    const QRgb middle = icon.pixel(3, 16);
    const QRgb scaled = bitmap.pixel(3 * size / 32, size / 2);
    EXPECT_NEAR(qRed(scaled), qRed(middle), 8) << path;
    EXPECT_NEAR(qGreen(scaled), qGreen(middle), 8) << path;
    EXPECT_NEAR(qBlue(scaled), qBlue(middle), 8) << path;
}

INSTANTIATE_TEST_SUITE_P(ThemeSizes, BitmapIcon, testing::Values(16, 32, 48, 64, 128, 256));

} // namespace
