#include "ui/kit/GLM_ProgressForm.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QWindow>

namespace {

constexpr int RepaintIntervalMs = 100;
// How long Start waits at most for the window system to show the window.
constexpr int ExposeWaitMs = 500;

} // namespace

TProgressForm::TProgressForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle("Progress");
    setFixedSize(392, 41);
    ProgressLabel = new QLabel("ProgressLabel", this);
    ProgressLabel->setObjectName("ProgressLabel");
    ProgressLabel->setGeometry(15, 15, 392 - 2 * 15, ProgressLabel->sizeHint().height());
    CancelButton = new QPushButton("Cancel", this);
    CancelButton->setObjectName("CancelButton");
    CancelButton->setGeometry(392 - 15 - 75, 41, 75, 25);
    CancelButton->hide();
    connect(CancelButton, &QPushButton::clicked, this, [this] { FCancelled = true; });
}

void TProgressForm::Start(bool cancellable)
{
    FCancellable = cancellable;
    FCancelled = false;
    CancelButton->setVisible(cancellable);
    setFixedSize(392, cancellable ? 41 + 25 + 10 : 41);
    setWindowModality(cancellable ? Qt::ApplicationModal : Qt::NonModal);
    show();
    raise();
    // The window system maps and exposes a window asynchronously; until it has, painting
    // shows nothing. Input stays out, so the user cannot start anything meanwhile.
    QElapsedTimer waited;
    waited.start();
    do {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < ExposeWaitMs);
    repaint();
    FSincePaint.start();
}

void TProgressForm::KeepPainted()
{
    if (!isVisible() || FSincePaint.elapsed() < RepaintIntervalMs)
        return;
    if (FCancellable) {
        // Modal: only this window takes the user's input, so only Cancel can step in.
        QCoreApplication::processEvents();
        FSincePaint.restart();
        return;
    }
    // A synchronous repaint processes no events: nothing else can run in between.
    repaint();
    FSincePaint.restart();
}

void TProgressForm::Finish()
{
    hide();
}
