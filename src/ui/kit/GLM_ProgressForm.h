#pragma once
// The progress window: a small modeless box with one line of text, shown while a long
// computation runs on the user-interface thread. One instance, created at start-up.
//
// Caller: set ProgressLabel's text, Start(), run the work calling KeepPainted() now and then,
// Finish(). Nothing else is processed meanwhile, so no command or timer tick can step in.
// A cancellable run shows a Cancel button and stays modal: KeepPainted then lets its click
// through, and the work stops once Cancelled() says so.

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QPushButton;

class TProgressForm : public QDialog
{
    Q_OBJECT

public:
    explicit TProgressForm(QWidget *parent = nullptr);

    QLabel *ProgressLabel;
    QPushButton *CancelButton;

    // Shows the window in front and lets it paint before the work starts.
    void Start(bool cancellable = false);
    bool Cancelled() const { return FCancelled; }
    // Paints the window again (a few times a second at most), in case it was covered.
    void KeepPainted();
    // Hides the window.
    void Finish();

private:
    QElapsedTimer FSincePaint;
    bool FCancellable = false;
    bool FCancelled = false;
};
