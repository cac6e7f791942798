// Pictures of the editor for the README and the manual: opens each file given in the main
// window as the editor would, places the document windows side by side and saves the whole
// main window as a PNG. scripts/screenshots.sh runs it under Xvfb.
//
//     glimra-screenshots OUT.png FILE...

#include <QApplication>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include <cstdio>

#include "GLM_Startup.h"
#include "ui/shell/GLM_MainForm.h"

namespace {

// Lets the windows settle (show, lay out, paint) before the picture is taken.
void Settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: glimra-screenshots OUT.png FILE...\n");
        return 2;
    }
    RegisterDocumentWindows();
    TMainForm mainForm;
    CreateDialogs(&mainForm);
    mainForm.FirstActivation = false; // the files below are the ones to show
    mainForm.resize(1180, 640);
    mainForm.show();
    Settle(300);

    for (const QString &file : args.mid(1))
        mainForm.OpenDocument(file.toStdString());
    Settle(300);
    int left = 0;
    for (QMdiSubWindow *window : mainForm.MdiArea()->subWindowList()) {
        window->move(left, 0);
        left += window->width() + 8;
    }
    Settle(500);

    const bool saved = mainForm.grab().save(args.first());
    ReleaseDialogs();
    if (!saved) {
        std::fprintf(stderr, "glimra-screenshots: cannot write %s\n", qPrintable(args.first()));
        return 1;
    }
    return 0;
}
