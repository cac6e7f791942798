// The editor: the Qt platform and the context every window is handed, the main window first,
// then the long-lived dialogs in their fixed order, then the message loop. The main window
// opens the first command-line argument when it is first activated; this entry point answers
// only --version and --help itself, before any window or display connection exists.

#include <cstdio>
#include <cstring>

#include <QApplication>

#include "GLM_Startup.h"
#include "GLM_Version.h"
#include "platform/GLM_QtPlatform.h"
#include "ui/kit/GLM_DocumentFactory.h"
#include "ui/main/GLM_MainForm.h"
#include "ui/main/GLM_ToolbarIcons.h"

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("Glimra " GLIMRA_VERSION);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::puts("Usage: glimra [FILE]\n"
                  "Opens FILE (a BM, MAT, CMP or SFT file) in the Glimra editor.\n"
                  "  --version  print the version and exit\n"
                  "  --help     print this help and exit");
        return 0;
    }
    QApplication application(argc, argv);
    // Docks and task bars match the running window to the installed launcher by this name.
    QGuiApplication::setDesktopFileName("org.orlend.Glimra");
    QApplication::setWindowIcon(ProgramIcon());
    TQtPlatform platform;
    TWindowContext context(platform);
    TDocumentFactory factory;

    TMainForm mainForm(context, factory);
    mainForm.CommandLine = QApplication::arguments().mid(1);
    CreateDialogs(context, factory, &mainForm);

    mainForm.show();
    return QApplication::exec();
}
