// File, colour and message dialogs and the shell services through Qt.
#include "platform/GLM_QtPlatform.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QUrl>

namespace {

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

std::string S(const QString &s)
{
    return s.toStdString();
}

// Message texts break lines with a lone carriage return too (the import size messages do);
// Qt breaks only at line feeds.
QString MessageText(const std::string &text)
{
    QString s = Q(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

void ShowBox(QMessageBox::Icon icon, const std::string &text, const std::string &caption,
             const char *standardCaption, QWidget *parent)
{
    QMessageBox box(icon, caption.empty() ? QString::fromLatin1(standardCaption) : Q(caption),
                    MessageText(text), QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

// Qt reads a filter's patterns from its last parentheses, so each description gets its
// patterns appended there and the dialog is told to hide them again.
QStringList TQtFileDialogs::NameFilters(const std::string &filter)
{
    QStringList list;
    for (const auto &[description, patterns] : ParseFileFilter(filter)) {
        QStringList qtPatterns;
        for (const std::string &p : patterns)
            qtPatterns << (p == "*.*" ? QStringLiteral("*") : Q(p)); // *.* means every file
        list << Q(description) + QStringLiteral(" (") + qtPatterns.join(' ') + ')';
    }
    return list;
}

bool TQtFileDialogs::Execute(TFileDialogRequest &request)
{
    QFileDialog dialog(request.Parent, Q(request.Title), Q(request.InitialDir));
    const QStringList filters = NameFilters(request.Filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        const int index = std::clamp(request.FilterIndex, 1, static_cast<int>(filters.size()));
        dialog.selectNameFilter(filters[index - 1]);
    }
    if (request.Kind == TFileDialogKind::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // Replacing a file is confirmed by the caller's own dialog.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setDefaultSuffix(Q(request.DefaultExt));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.MultiSelect ? QFileDialog::ExistingFiles
                                               : QFileDialog::ExistingFile);
    }
    if (!request.FileName.empty())
        dialog.selectFile(Q(request.FileName));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return false;
    request.Files.clear();
    for (const QString &file : chosen)
        request.Files.push_back(S(QDir::toNativeSeparators(file)));
    request.FileName = request.Files.front();
    if (const qsizetype i = filters.indexOf(dialog.selectedNameFilter()); i >= 0)
        request.FilterIndex = static_cast<int>(i) + 1;
    return true;
}

bool TQtColorDialog::Execute(uint32_t &color, QWidget *parent)
{
    const QColor initial(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return false;
    color = static_cast<uint32_t>(chosen.red()) | (static_cast<uint32_t>(chosen.green()) << 8) |
            (static_cast<uint32_t>(chosen.blue()) << 16);
    return true;
}

void TQtMessageBoxes::Warning(const std::string &text, const std::string &caption,
                              QWidget *parent)
{
    ShowBox(QMessageBox::Warning, text, caption, "Warning", parent);
}

void TQtMessageBoxes::Error(const std::string &text, const std::string &caption, QWidget *parent)
{
    ShowBox(QMessageBox::Critical, text, caption, "Error", parent);
}

void TQtMessageBoxes::Information(const std::string &text, const std::string &caption,
                                  QWidget *parent)
{
    ShowBox(QMessageBox::Information, text, caption, "Information", parent);
}

TMessageResult TQtMessageBoxes::Question(const std::string &text, const std::string &caption,
                                         QWidget *parent)
{
    const QString title = caption.empty() ? QStringLiteral("Confirm") : Q(caption);
    QMessageBox box(QMessageBox::Question, title, MessageText(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return TMessageResult::Yes;
    case QMessageBox::No: return TMessageResult::No;
    default: return TMessageResult::Cancel;
    }
}

bool TQtShell::OpenWithDefaultProgram(const std::string &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(Q(path)).absoluteFilePath()));
}

QIcon TQtShell::FileIcon(const std::string &path)
{
    // The MIME type's theme icon is what file managers show; the provider is the fallback.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(Q(path));
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        icon = QFileIconProvider().icon(QFileInfo(Q(path)));
    return icon;
}

std::string TQtShell::ProgramPath()
{
    return S(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
}
