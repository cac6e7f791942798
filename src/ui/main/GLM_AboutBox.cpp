#include "ui/main/GLM_AboutBox.h"

#include "GLM_Version.h"

#include <QFont>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int BoxWidth = 300;
constexpr int LogoHeight = 80;

// The program's logo: its name in gold on black, underlined by a fading bar.
QPixmap Logo()
{
    QPixmap logo(BoxWidth, LogoHeight);
    logo.fill(Qt::black);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font("Sans Serif", 30, QFont::Black);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 6);
    painter.setFont(font);
    QLinearGradient gold(0, 10, 0, 60);
    gold.setColorAt(0, QColor(255, 240, 150));
    gold.setColorAt(1, QColor(200, 130, 20));
    painter.setPen(QPen(QBrush(gold), 1));
    painter.drawText(QRect(0, 0, BoxWidth, 62), Qt::AlignCenter, "GLIMRA");
    QLinearGradient bar(0, 0, BoxWidth, 0);
    bar.setColorAt(0, Qt::black);
    bar.setColorAt(0.5, QColor(255, 255, 0));
    bar.setColorAt(1, Qt::black);
    painter.fillRect(QRect(20, 66, BoxWidth - 40, 3), bar);
    return logo;
}

} // namespace

QString TAboutForm::CreditsText()
{
    return "Glimra\n"
           "Version " GLIMRA_VERSION "\n"
           "\n"
           "A graphics editor for the\n"
           "BM, MAT, CMP and SFT files of\n"
           "Jedi Knight\n"
           "and\n"
           "Mysteries of the Sith\n"
           "\n"
           "\n"
           "Thanks to\n"
           "everyone who took the game's\n"
           "file formats apart and wrote\n"
           "down what they found,\n"
           "to the level and texture makers\n"
           "who tested early versions,\n"
           "and to all who sent in\n"
           "bug reports and ideas.\n"
           "\n"
           "\n"
           "Jedi Knight and\n"
           "Mysteries of the Sith\n"
           "are trademarks of their owners.\n"
           "\n"
           "This program is not made,\n"
           "supported or endorsed by them.\n"
           "Use it at your own risk:\n"
           "keep copies of your files.\n"
           "\n"
           "\n"
           "May the Force be with you.";
}

TAboutForm::TAboutForm(TWindowContext &context, QWidget *parent) : TModalForm(context, parent)
{
    setWindowTitle("About Glimra");
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::black);
    setPalette(colours);

    LogoImage = new QLabel(this);
    LogoImage->setPixmap(Logo());
    LogoImage->setFixedSize(BoxWidth, LogoHeight);

    CreditsArea = new QWidget(this);
    CreditsArea->setFixedSize(BoxWidth, ScrollAreaHeight);
    CreditsLabel = new QLabel(CreditsText(), CreditsArea);
    CreditsLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    CreditsLabel->setStyleSheet("color: yellow; background: black;");
    CreditsLabel->setFixedWidth(BoxWidth);
    CreditsLabel->adjustSize();
    CreditsLabel->move(0, ScrollAreaHeight); // starts just below the visible strip

    CloseButton = new QPushButton("&Close", this);
    CloseButton->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LogoImage);
    layout->addWidget(CreditsArea);
    layout->addWidget(CloseButton, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ScrollTimer = new QTimer(this);
    ScrollTimer->setInterval(TickInterval);
    connect(ScrollTimer, &QTimer::timeout, this, &TAboutForm::ScrollTimerTimer);
    connect(CloseButton, &QPushButton::clicked, this, &TAboutForm::CloseButtonClick);
}

void TAboutForm::ScrollBy(int pixels)
{
    CreditsLabel->move(CreditsLabel->x(), CreditsLabel->y() - pixels);
}

int TAboutForm::ScrollLength() const
{
    return ScrollAreaHeight + CreditsLabel->height();
}

void TAboutForm::FormShow()
{
    CreditsLabel->adjustSize(); // as high as its text in the font it is shown with
    ScrollTimer->start();
}

void TAboutForm::FormHide()
{
    ScrollBy(-ScrollOffset);
    ScrollOffset = 0;
    ScrollTimer->stop();
}

void TAboutForm::ScrollTimerTimer()
{
    ScrollBy(1);
    if (++ScrollOffset >= ScrollLength()) {
        ScrollBy(-ScrollOffset);
        ScrollOffset = 0;
    }
}

void TAboutForm::CloseButtonClick()
{
    SetModalResult(mrCancel);
}
