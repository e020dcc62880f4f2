#include "app/application_windows.h"

#include "app/main_form.h"
#include "app/pdf_holder_form.h"
#include "app/splash_form.h"
#include "reports/report_form.h"

ApplicationWindows::ApplicationWindows()
{
    createWindows();
    wireWindows();
}

ApplicationWindows::~ApplicationWindows()
{
    // Destroyed in reverse order of creation.
    delete formpdf;
    delete PdfForm;
    delete Form1;
    delete SplashForm;
}

void ApplicationWindows::createWindows()
{
    SplashForm = new TSplashForm;
    Form1 = new TForm1;
    PdfForm = new TPdfForm;
    formpdf = new Tformpdf;
}

void ApplicationWindows::wireWindows()
{
    MainFormActions actions;
    actions.showReport = [this] {
        formpdf->show();
        formpdf->raise();
    };
    Form1->setActions(std::move(actions));
}

void ApplicationWindows::start()
{
    SplashForm->show();
}
