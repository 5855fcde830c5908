// tamsel-icon: writes the application icon for the desktop's icon theme, as
// a scalable SVG and as PNGs of the given sizes, all drawn from the one icon
// the program itself shows, so the menu entry and the window never differ.
//   tamsel-icon OUTPUT-DIR SIZE...
// makes OUTPUT-DIR/tamsel.svg and OUTPUT-DIR/SIZExSIZE/tamsel.png.

#include "resources/TamselIcon.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {

// One rectangle per run of equal pixels in a row: the picture is pixel art,
// so the vector form keeps its square edges at every size.
QByteArray SvgFrom(const QImage& image)
{
    QByteArray svg;
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" "
                          "viewBox=\"0 0 %1 %2\" shape-rendering=\"crispEdges\">\n")
               .arg(image.width())
               .arg(image.height())
               .toUtf8();
    for (int y = 0; y < image.height(); ++y) {
        int x = 0;
        while (x < image.width()) {
            const QRgb pixel = image.pixel(x, y);
            int end = x + 1;
            while (end < image.width() && image.pixel(end, y) == pixel)
                ++end;
            if (qAlpha(pixel) != 0) {
                svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"1\" fill=\"%4\"/>\n")
                           .arg(x)
                           .arg(y)
                           .arg(end - x)
                           .arg(QColor(pixel).name())
                           .toUtf8();
            }
            x = end;
        }
    }
    svg += "</svg>\n";
    return svg;
}

// Whole multiples keep every source pixel a sharp square; other sizes are
// averaged so the squares do not come out uneven.
QImage Scaled(const QImage& image, int size)
{
    const bool whole = size % image.width() == 0;
    return image.scaled(size, size, Qt::IgnoreAspectRatio,
                        whole ? Qt::FastTransformation : Qt::SmoothTransformation);
}

bool Fail(const QString& what)
{
    std::fprintf(stderr, "tamsel-icon: %s\n", what.toLocal8Bit().constData());
    return false;
}

bool WritePng(const QImage& icon, const QDir& out, int size)
{
    const QString folder = QStringLiteral("%1x%1").arg(size);
    if (!out.mkpath(folder))
        return Fail("cannot make " + out.filePath(folder));
    const QString path = out.filePath(folder + "/tamsel.png");
    if (!Scaled(icon, size).save(path, "PNG"))
        return Fail("cannot write " + path);
    return true;
}

bool WriteSvg(const QImage& icon, const QDir& out)
{
    const QString path = out.filePath("tamsel.svg");
    QFile file(path);
    const QByteArray svg = SvgFrom(icon);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(svg) != svg.size())
        return Fail("cannot write " + path + ": " + file.errorString());
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: tamsel-icon OUTPUT-DIR SIZE...\n");
        return 2;
    }
    const QImage icon = QImage(kTamselIconXpm).convertToFormat(QImage::Format_ARGB32);
    if (icon.isNull()) {
        Fail("the application icon cannot be read");
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(".")) {
        Fail("cannot make " + out.path());
        return 1;
    }
    if (!WriteSvg(icon, out))
        return 1;
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0) {
            std::fprintf(stderr, "tamsel-icon: '%s' is not a size\n", argv[i]);
            return 2;
        }
        if (!WritePng(icon, out, size))
            return 1;
    }
    return 0;
}
