// The editor: the main window first, then the long-lived dialogs in their fixed order, then
// the message loop. The main window opens the first command-line argument when it is first
// activated; this entry point does nothing else with the command line.

#include <QApplication>

#include "GLM_Startup.h"
#include "ui/main/GLM_MainForm.h"

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    RegisterDocumentWindows();

    TMainForm mainForm;
    mainForm.CommandLine = QApplication::arguments().mid(1);
    CreateDialogs(&mainForm);

    mainForm.show();
    const int result = QApplication::exec();
    ReleaseDialogs();
    return result;
}
