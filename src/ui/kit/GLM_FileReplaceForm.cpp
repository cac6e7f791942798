#include "ui/kit/GLM_FileReplaceForm.h"

#include <algorithm>

#include <QDateTime>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>

#include "platform/GLM_Platform.h"

namespace {

// The design: 352 x 143 with lines of 17 pixels. The dialog grows from there to fit its
// texts, up to MaxClientWidth; the button row stays centred.
constexpr int ClientWidth = 352;
constexpr int MaxClientWidth = 640;
constexpr int Margin = 8;
constexpr int TextLeft = 50; // size and date, right of the icon
constexpr int LineHeight = 17;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int IconSize = 32;

QPushButton *Button(const QString &caption, int result, TFileReplaceForm *form)
{
    auto *button = new QPushButton(caption, form);
    button->resize(ButtonWidth, ButtonHeight);
    QObject::connect(button, &QPushButton::clicked, form,
                     [form, result] { form->SetModalResult(result); });
    return button;
}

// Places `label` at (left, top) across to the right margin of a dialog `width` wide, as
// high as its text needs there; returns its bottom.
int PlaceLabel(QLabel *label, int left, int top, int width)
{
    const int room = width - left - Margin;
    label->setWordWrap(label->sizeHint().width() > room);
    const int height = label->wordWrap() ? label->heightForWidth(room) : label->sizeHint().height();
    label->setGeometry(left, top, room, std::max(height, LineHeight));
    return label->geometry().bottom() + 1;
}

} // namespace

std::string FileSizeText(int64_t size, const QLocale &locale)
{
    // The unit the file dialogs show (QFileSystemModel formats sizes this way).
    return locale.formattedDataSize(size, 2, QLocale::DataSizeIecFormat).toStdString();
}

std::string FileDateText(const QDateTime &time, const QLocale &locale)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    const int hour12 = clock.hour() % 12 == 0 ? 12 : clock.hour() % 12;
    const QString text = QString("%1, %2 %3 %4, %5:%6:%7 %8")
                             .arg(locale.dayName(date.dayOfWeek(), QLocale::LongFormat))
                             .arg(date.day())
                             .arg(locale.monthName(date.month(), QLocale::LongFormat))
                             .arg(date.year(), 4, 10, QChar('0'))
                             .arg(hour12)
                             .arg(clock.minute(), 2, 10, QChar('0'))
                             .arg(clock.second(), 2, 10, QChar('0'))
                             .arg(clock.hour() < 12 ? "AM" : "PM");
    return text.toStdString();
}

TFileReplaceForm::TFileReplaceForm(TWindowContext &context, QWidget *parent)
    : TModalForm(context, parent)
{
    setWindowTitle("Confirm File Replace");

    NameLabel = new QLabel("This folder already contains a file named filename", this);
    Label1 = new QLabel("Would you like to replace the existing file?", this);
    IconImage = new QLabel(this);
    IconImage->resize(IconSize, IconSize);
    SizeLabel = new QLabel("Filesize", this);
    DateLabel = new QLabel("Modified on", this);
    for (QLabel *label : {NameLabel, Label1, SizeLabel, DateLabel})
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    YesButton = Button("&Yes", mrYes, this);
    YesToAllButton = Button("Yes to &All", mrYesToAll, this);
    NoButton = Button("&No", mrNo, this);
    CancelButton = Button("&Cancel", mrCancel, this);
    Arrange();
}

int TFileReplaceForm::MaxWidth() const
{
    const QScreen *display = screen();
    const int screenWidth = display ? display->availableGeometry().width() : MaxClientWidth;
    return std::max(std::min(MaxClientWidth, screenWidth - 2 * Margin), ClientWidth);
}

void TFileReplaceForm::Arrange()
{
    // Measured on one line each; a text wider than the widest dialog wraps below.
    for (QLabel *label : {NameLabel, Label1, SizeLabel, DateLabel})
        label->setWordWrap(false);
    const auto needs = [](const QLabel *label, int left) {
        return left + label->sizeHint().width() + Margin;
    };
    const int widest = std::max({needs(NameLabel, Margin), needs(Label1, Margin),
                                 needs(SizeLabel, TextLeft), needs(DateLabel, TextLeft)});
    const int width = std::clamp(widest, ClientWidth, MaxWidth());

    // Lines as in the design at 17 pixels, moved down by whatever taller texts need.
    const int questionTop = PlaceLabel(NameLabel, Margin, Margin, width) + 3;
    const int rowTop = PlaceLabel(Label1, Margin, questionTop, width) + 7;
    IconImage->move(10, rowTop + 2);
    const int dateTop = PlaceLabel(SizeLabel, TextLeft, rowTop, width) + 1;
    const int textBottom = PlaceLabel(DateLabel, TextLeft, dateTop, width);
    const int buttonTop = std::max(IconImage->geometry().bottom() + 1, textBottom) + 21;

    // Left edges 10, 95, 180 and 265 in the design width; a single file gets Yes and No side
    // by side in the middle.
    const int shift = (width - ClientWidth) / 2;
    YesButton->move(shift + (MultipleFiles ? 10 : 95), buttonTop);
    YesToAllButton->move(shift + 95, buttonTop);
    NoButton->move(shift + 180, buttonTop);
    CancelButton->move(shift + 265, buttonTop);
    setFixedSize(width, buttonTop + ButtonHeight + 10);
}

void TFileReplaceForm::FormShow()
{
    YesToAllButton->setVisible(MultipleFiles);
    YesToAllButton->setEnabled(MultipleFiles);
    CancelButton->setVisible(MultipleFiles);
    CancelButton->setEnabled(MultipleFiles);

    // A missing file leaves the labels and the icon of the last showing.
    const QFileInfo info(QString::fromStdString(FileName));
    if (info.exists() && !info.isDir())
        Describe(info);
    Arrange();

    // Centred on the screen, not on the window that asks.
    if (const QScreen *display = screen())
        move(display->availableGeometry().center() - rect().center());
}

void TFileReplaceForm::Describe(const QFileInfo &info)
{
    // A name too long for the widest dialog loses its middle; the whole one is in the tip.
    const QString before = "This folder already contains a file named '", after = "'.";
    const QFontMetrics metrics = NameLabel->fontMetrics();
    const int room = MaxWidth() - 2 * Margin - 4 - metrics.horizontalAdvance(before + after);
    const QString name = metrics.elidedText(info.fileName(), Qt::ElideMiddle, room);
    NameLabel->setText(before + name + after);
    NameLabel->setToolTip(name == info.fileName() ? QString() : info.fileName());

    const QIcon icon = Context().Platform.Shell().FileIcon(FileName);
    if (!icon.isNull())
        IconImage->setPixmap(icon.pixmap(IconSize, IconSize));
    const QLocale locale;
    SizeLabel->setText(QString::fromStdString(FileSizeText(info.size(), locale)));
    DateLabel->setText(
        QString::fromStdString("modified on " + FileDateText(info.lastModified(), locale)));
}
