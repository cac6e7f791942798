// The About box: its texts and the scrolling of the credits.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "shell/GLM_AboutBox.h"

namespace {

void Tick(TAboutForm &form, int times)
{
    for (int i = 0; i < times; ++i)
        form.ScrollTimerTimer();
}

} // namespace

// Guards the fixed texts: caption, version and the names of the two games.
TEST(AboutBox, CaptionAndCredits)
{
    TAboutForm form;
    EXPECT_EQ(form.windowTitle(), "About Glimra");
    EXPECT_EQ(form.CloseButton->text(), "&Close");
    const QString credits = form.CreditsLabel->text();
    EXPECT_TRUE(credits.contains("Version 0.8"));
    EXPECT_TRUE(credits.contains("Jedi Knight"));
    EXPECT_TRUE(credits.contains("Mysteries of the Sith"));
    EXPECT_EQ(form.CreditsArea->height(), 121);
}

// Guards the scroll cycle: the credits start at the strip's bottom edge, move up a pixel per
// tick, start over after 740, and every showing starts from the beginning.
TEST(AboutBox, CreditsScrollAndRestart)
{
    TAboutForm form;
    const int start = form.CreditsLabel->y();
    EXPECT_EQ(start, 121);
    EXPECT_FALSE(form.ScrollTimer->isActive());

    form.show();
    EXPECT_TRUE(form.ScrollTimer->isActive());
    EXPECT_EQ(form.ScrollTimer->interval(), 50);
    Tick(form, 3);
    EXPECT_EQ(form.ScrollOffset, 3);
    EXPECT_EQ(form.CreditsLabel->y(), start - 3);
    Tick(form, 736);
    EXPECT_EQ(form.CreditsLabel->y(), start - 739);
    Tick(form, 1);
    EXPECT_EQ(form.ScrollOffset, 0);
    EXPECT_EQ(form.CreditsLabel->y(), start);

    Tick(form, 40);
    form.CloseButton->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.ScrollTimer->isActive());
    EXPECT_EQ(form.ScrollOffset, 0);
    EXPECT_EQ(form.CreditsLabel->y(), start);
}
