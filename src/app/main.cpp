#include "app/application_windows.h"
#include "app/artwork.h"
#include "common/error_handler.h"

#include <QIcon>

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    InitArtwork();
    QApplication::setWindowIcon(QIcon(ArtworkPath(QStringLiteral("icon"))));
    ApplicationWindows windows;
    windows.start();
    return app.exec();
}
