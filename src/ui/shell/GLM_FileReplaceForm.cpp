#include "ui/shell/GLM_FileReplaceForm.h"

#include <QDateTime>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>

#include "platform/GLM_Platform.h"

TFileReplaceForm *FileReplaceForm = nullptr;

namespace {

constexpr int ClientWidth = 352;
constexpr int ClientHeight = 143;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int ButtonTop = 108;
constexpr int IconSize = 32;

// value / divisor rounded to the nearest integer, halves to the even neighbour.
int64_t RoundedQuotient(int64_t value, int64_t divisor)
{
    int64_t q = value / divisor;
    const int64_t twiceRest = 2 * (value % divisor);
    if (twiceRest > divisor || (twiceRest == divisor && q % 2 != 0))
        ++q;
    return q;
}

// hundredths / 100 in its shortest form: "1", "1.2", "12.34".
std::string Hundredths(int64_t hundredths, const QLocale &locale)
{
    std::string text = std::to_string(hundredths / 100);
    int64_t fraction = hundredths % 100;
    if (fraction != 0) {
        std::string digits = fraction < 10 ? "0" + std::to_string(fraction)
                                           : std::to_string(fraction);
        if (digits.back() == '0')
            digits.pop_back();
        text += locale.decimalPoint().toStdString() + digits;
    }
    return text;
}

QPushButton *Button(const QString &caption, int left, int result, TFileReplaceForm *form)
{
    auto *button = new QPushButton(caption, form);
    button->setGeometry(left, ButtonTop, ButtonWidth, ButtonHeight);
    QObject::connect(button, &QPushButton::clicked, form,
                     [form, result] { form->SetModalResult(result); });
    return button;
}

QLabel *Label(const QString &text, int left, int top, TFileReplaceForm *form)
{
    auto *label = new QLabel(text, form);
    label->setGeometry(left, top, ClientWidth - left - 4, 17);
    return label;
}

} // namespace

std::string FileSizeText(int64_t size, const QLocale &locale)
{
    if (size < 1000)
        return std::to_string(size) + " bytes";
    if (size < 1000000)
        return Hundredths(RoundedQuotient(size, 10), locale) + " KB";
    return Hundredths(RoundedQuotient(size, 10000), locale) + " MB";
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

TFileReplaceForm::TFileReplaceForm(QWidget *parent) : TModalForm(parent)
{
    setWindowTitle("Confirm File Replace");
    setFixedSize(ClientWidth, ClientHeight);

    NameLabel = Label("This folder already contains a file named filename", 8, 8, this);
    Label1 = Label("Would you like to replace the existing file?", 8, 28, this);
    IconImage = new QLabel(this);
    IconImage->setGeometry(10, 54, IconSize, IconSize);
    SizeLabel = Label("Filesize", 50, 52, this);
    DateLabel = Label("Modified on", 50, 70, this);
    // Long day and month names may need a second line.
    DateLabel->setWordWrap(true);
    DateLabel->resize(DateLabel->width(), 34);
    DateLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    YesButton = Button("&Yes", 10, mrYes, this);
    YesToAllButton = Button("Yes to &All", 95, mrYesToAll, this);
    NoButton = Button("&No", 180, mrNo, this);
    CancelButton = Button("&Cancel", 265, mrCancel, this);
}

void TFileReplaceForm::FormShow()
{
    // Centred on the screen, not on the window that asks.
    if (const QScreen *display = screen())
        move(display->availableGeometry().center() - rect().center());

    // A single file gets Yes and No side by side in the middle.
    YesToAllButton->setVisible(MultipleFiles);
    YesToAllButton->setEnabled(MultipleFiles);
    CancelButton->setVisible(MultipleFiles);
    CancelButton->setEnabled(MultipleFiles);
    YesButton->move(MultipleFiles ? 10 : 95, ButtonTop);

    // A missing file leaves the labels and the icon of the last showing.
    const QFileInfo info(QString::fromStdString(FileName));
    if (!info.exists() || info.isDir())
        return;
    NameLabel->setText("This folder already contains a file named '" + info.fileName() +
                       "'.");
    const QIcon icon = Platform().Shell().FileIcon(FileName);
    if (!icon.isNull())
        IconImage->setPixmap(icon.pixmap(IconSize, IconSize));
    const QLocale locale;
    SizeLabel->setText(QString::fromStdString(FileSizeText(info.size(), locale)));
    DateLabel->setText(
        QString::fromStdString("modified on " + FileDateText(info.lastModified(), locale)));
}
