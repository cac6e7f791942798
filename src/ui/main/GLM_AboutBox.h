#pragma once
// The About box: the logo, scrolling credits and a Close button. While shown, a 50 ms timer
// moves the credits up one pixel per tick; each showing starts from the beginning.

#include "ui/kit/GLM_ModalForm.h"

class QLabel;
class QPushButton;
class QTimer;

class TAboutForm : public TModalForm
{
    Q_OBJECT

public:
    static constexpr int ScrollAreaHeight = 121; // the clipped strip the credits move in
    static constexpr int TickInterval = 50;      // milliseconds

    explicit TAboutForm(TWindowContext &context, QWidget *parent = nullptr);

    QLabel *LogoImage;
    QWidget *CreditsArea; // clips the credits
    QLabel *CreditsLabel;
    QPushButton *CloseButton;
    QTimer *ScrollTimer;
    int ScrollOffset = 0; // pixels scrolled so far in this pass

    static QString CreditsText();
    // Pixels scrolled before starting over: until the last line has left the strip.
    int ScrollLength() const;

    void ScrollTimerTimer();
    void CloseButtonClick();

protected:
    void FormShow() override;
    void FormHide() override;

private:
    void ScrollBy(int pixels);
};
