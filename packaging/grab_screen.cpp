// Saves what the X display in $DISPLAY shows, the whole screen, as a PNG: the package check
// takes its pictures of the installed program under Xvfb with it.
//
//     quivel-grab-screen OUT.png
//
// Exit 1 when the screen cannot be read or written, 2 when the picture is of one colour only:
// no window was drawn.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

namespace
{

bool IsOneColour(const QImage& image)
{
    if (image.isNull())
        return true;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first)
                return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: quivel-grab-screen OUT.png\n");
        return 1;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap picture = screen ? screen->grabWindow(0) : QPixmap();
    if (picture.isNull() || !picture.save(arguments.at(1), "PNG")) {
        std::fprintf(stderr, "quivel-grab-screen: cannot take or save the picture %s\n",
                     qPrintable(arguments.at(1)));
        return 1;
    }
    if (IsOneColour(picture.toImage())) {
        std::fprintf(stderr, "quivel-grab-screen: %s is of one colour: nothing is shown\n",
                     qPrintable(arguments.at(1)));
        return 2;
    }
    return 0;
}
