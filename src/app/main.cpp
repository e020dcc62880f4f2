#include "app/application_windows.h"
#include "common/error_handler.h"

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    return RunApplication();
}
