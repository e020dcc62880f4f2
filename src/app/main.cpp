#include "app/application_windows.h"
#include "common/guarded_application.h"

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    return RunApplication();
}
