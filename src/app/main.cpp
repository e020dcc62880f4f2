#include "common/error_handler.h"

#include <QMainWindow>

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("QUIVEL Config"));
    window.show();
    return app.exec();
}
