// The editor: the Qt platform and the context every window is handed, the main window first,
// then the long-lived dialogs in their fixed order, then the message loop. The main window
// opens the first command-line argument when it is first activated; this entry point does
// nothing else with the command line.

#include <QApplication>

#include "GLM_Startup.h"
#include "platform/GLM_QtPlatform.h"
#include "ui/kit/GLM_DocumentFactory.h"
#include "ui/main/GLM_MainForm.h"

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    TQtPlatform platform;
    TWindowContext context(platform);
    TDocumentFactory factory;

    TMainForm mainForm(context, factory);
    mainForm.CommandLine = QApplication::arguments().mid(1);
    CreateDialogs(context, factory, &mainForm);

    mainForm.show();
    return QApplication::exec();
}
