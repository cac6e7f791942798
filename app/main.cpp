// The editor: the main window first, then the long-lived dialogs, then the message loop.
// The main window opens the first command-line argument when it is first activated.

#include <QApplication>

#include "shell/GLM_MainForm.h"

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    SetApplicationTitle("Glimra");

    TMainForm mainForm;
    mainForm.CommandLine = QApplication::arguments().mid(1);

    mainForm.show();
    return QApplication::exec();
}
