// File, colour and message dialogs and the shell services through Qt.
#include "platform/GLM_QtPlatform.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>

#include "formats/GLM_Globals.h"

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

// A name filter without its last parentheses, as Qt shows it when the details are hidden.
QString StrippedFilter(const QString &filter)
{
    return filter.left(filter.lastIndexOf('(')).simplified();
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

std::unique_ptr<QFileDialog> TQtFileDialogs::NewDialog(const TFileDialogRequest &request)
{
    auto dialog =
        std::make_unique<QFileDialog>(request.Parent, Q(request.Title), Q(request.InitialDir));
    // Wide enough for the detail view's name, size, type and date columns to show whole.
    dialog->resize(dialog->sizeHint().expandedTo(QSize(880, 520)));
    // Size, type and date as wide as their texts; the name takes the rest.
    if (auto *details = dialog->findChild<QTreeView *>(QStringLiteral("treeView")))
        for (int column = 1; column < details->header()->count(); ++column)
            details->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    const QStringList filters = NameFilters(request.Filter);
    if (!filters.isEmpty()) {
        dialog->setNameFilters(filters);
        dialog->setOption(QFileDialog::HideNameFilterDetails);
        const int index = std::clamp(request.FilterIndex, 1, static_cast<int>(filters.size()));
        dialog->selectNameFilter(filters[index - 1]);
    }
    if (request.Kind == TFileDialogKind::Save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        // Replacing a file is confirmed by the caller's own dialog.
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        dialog->setDefaultSuffix(Q(request.DefaultExt));
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        // A container member is no file the dialog can see; the caller checks the name.
        dialog->setFileMode(request.AcceptMembers ? QFileDialog::AnyFile
                            : request.MultiSelect ? QFileDialog::ExistingFiles
                                                  : QFileDialog::ExistingFile);
    }
    if (!request.FileName.empty())
        dialog->selectFile(Q(request.FileName));
    return dialog;
}

bool TQtFileDialogs::Collect(const QFileDialog &dialog, TFileDialogRequest &request)
{
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return false;
    request.Files.clear();
    for (const QString &file : chosen)
        request.Files.push_back(S(QDir::toNativeSeparators(file)));
    request.FileName = request.Files.front();
    // Qt names the chosen filter in full, or, with the details hidden, as the list shows it:
    // the description alone, the way its own parser strips the patterns (Qt 6.4).
    const QString filter = dialog.selectedNameFilter();
    const QStringList filters = NameFilters(request.Filter);
    for (qsizetype i = 0; i < filters.size(); ++i) {
        if (filters[i] == filter || StrippedFilter(filters[i]) == filter.simplified()) {
            request.FilterIndex = static_cast<int>(i) + 1;
            break;
        }
    }
    return true;
}

bool TQtFileDialogs::Execute(TFileDialogRequest &request)
{
    const std::unique_ptr<QFileDialog> dialog = NewDialog(request);
    return dialog->exec() == QDialog::Accepted && Collect(*dialog, request);
}

bool TQtColorDialog::Execute(uint32_t &color, QWidget *parent)
{
    const QColor initial(RedOf(color), GreenOf(color), BlueOf(color));
    // A colour of its own, not an index of the palette: its own title, and no custom colours
    // to pick from (the platform's dialog would show them), so Qt's own dialog.
    QColorDialog dialog(initial, parent);
    dialog.setWindowTitle(QStringLiteral("Select 16-Bit Color"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    // Qt names none of those parts; its label and button say what they are.
    for (QLabel *label : dialog.findChildren<QLabel *>())
        if (label->text() == QColorDialog::tr("&Custom colors")) {
            label->hide();
            if (label->buddy())
                label->buddy()->hide();
        }
    for (QPushButton *button : dialog.findChildren<QPushButton *>())
        if (button->text() == QColorDialog::tr("&Add to Custom Colors"))
            button->hide();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QColor chosen = dialog.selectedColor();
    if (!chosen.isValid())
        return false;
    color = MakeColor(chosen.red(), chosen.green(), chosen.blue());
    return true;
}

void TQtMessageBoxes::Show(TMessageKind kind, const std::string &text, const std::string &caption,
                           QWidget *parent)
{
    QMessageBox::Icon icon = QMessageBox::Information;
    const char *standardCaption = "Information";
    if (kind == TMessageKind::Warning) {
        icon = QMessageBox::Warning;
        standardCaption = "Warning";
    } else if (kind == TMessageKind::Error) {
        icon = QMessageBox::Critical;
        standardCaption = "Error";
    }
    QMessageBox box(icon, caption.empty() ? QString::fromLatin1(standardCaption) : Q(caption),
                    MessageText(text), QMessageBox::Ok, parent);
    box.exec();
}

TMessageResult TQtMessageBoxes::Question(const std::string &text, const std::string &caption,
                                         QWidget *parent)
{
    // Unsaved work is at stake: a warning, under the program's name.
    const QString title = caption.empty() ? QStringLiteral("Glimra") : Q(caption);
    QMessageBox box(QMessageBox::Warning, title, MessageText(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return TMessageResult::Yes;
    case QMessageBox::No:
        return TMessageResult::No;
    default:
        return TMessageResult::Cancel;
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
