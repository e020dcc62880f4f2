// Renders an SVG picture as a square PNG of a given size: the program's icon for the icon
// themes of desktops that take no SVG. Run at build time, with no screen.
//
//     quivel-render-icon ICON.svg OUT.png SIZE
//
// It fails (exit 1, with the reason) when the SVG cannot be read or draws nothing, so that a
// broken icon stops the build instead of shipping a blank picture.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace
{

int Fail(const QString& reason)
{
    std::fprintf(stderr, "quivel-render-icon: %s\n", qPrintable(reason));
    return 1;
}

bool HasVisiblePixel(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    // A build machine has no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4)
        return Fail(QStringLiteral("usage: quivel-render-icon ICON.svg OUT.png SIZE"));
    const QString svgPath = arguments.at(1);
    const QString pngPath = arguments.at(2);
    bool sizeOk = false;
    const int size = arguments.at(3).toInt(&sizeOk);
    if (!sizeOk || size < 1 || size > 4096)
        return Fail(QStringLiteral("the size %1 is not a number of pixels").arg(arguments.at(3)));

    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid())
        return Fail(QStringLiteral("%1 is not a readable SVG picture").arg(svgPath));

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
    }
    if (!HasVisiblePixel(image))
        return Fail(QStringLiteral("%1 draws nothing at %2 pixels").arg(svgPath).arg(size));
    if (!image.save(pngPath, "PNG"))
        return Fail(QStringLiteral("cannot write %1").arg(pngPath));
    return 0;
}
