#pragma once
// The progress window: a small modeless box with one line of text, shown while a long
// computation runs on the user-interface thread. One instance, created at start-up.
//
// Caller: set ProgressLabel's text, Start(), run the work calling KeepPainted() now and then,
// Finish(). Nothing else is processed meanwhile, so no command or timer tick can step in.

#include <QDialog>
#include <QElapsedTimer>

class QLabel;

class TProgressForm : public QDialog
{
    Q_OBJECT

public:
    explicit TProgressForm(QWidget *parent = nullptr);

    QLabel *ProgressLabel;

    // Shows the window in front and lets it paint before the work starts.
    void Start();
    // Paints the window again (a few times a second at most), in case it was covered.
    void KeepPainted();
    // Hides the window.
    void Finish();

private:
    QElapsedTimer FSincePaint;
};
