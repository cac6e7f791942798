#pragma once
// Confirmation before a file is written over: names the file, shows its desktop icon, size and
// modification time. Set FileName and MultipleFiles before every showing; the result is
// mrYes, mrYesToAll, mrNo or mrCancel (also the close box).

#include <cstdint>
#include <string>

#include "ui/kit/GLM_ModalForm.h"

class QDateTime;
class QFileInfo;
class QLabel;
class QLocale;
class QPushButton;

// "999 bytes", "12.06 KiB", "2.38 MiB": powers of 1024 with two decimals, as the file dialogs
// show sizes, the locale's decimal separator.
std::string FileSizeText(int64_t size, const QLocale &locale);
// "Wednesday, 3 September 2025, 2:05:09 PM": day and month names from the locale, "AM" and
// "PM" in capitals whatever the locale.
std::string FileDateText(const QDateTime &time, const QLocale &locale);

class TFileReplaceForm : public TModalForm
{
    Q_OBJECT

public:
    explicit TFileReplaceForm(TWindowContext &context, QWidget *parent = nullptr);

    std::string FileName;       // full path of the existing file
    bool MultipleFiles = false; // part of a run over several files: offer Yes to All, Cancel

    QLabel *NameLabel;
    QLabel *Label1;
    QLabel *IconImage;
    QLabel *SizeLabel;
    QLabel *DateLabel;
    QPushButton *YesButton;
    QPushButton *YesToAllButton;
    QPushButton *NoButton;
    QPushButton *CancelButton;

protected:
    void FormShow() override;

private:
    // Sizes the labels to their texts and the dialog to the labels, up to a maximum width.
    void Arrange();
    void Describe(const QFileInfo &info);
    int MaxWidth() const;
};
