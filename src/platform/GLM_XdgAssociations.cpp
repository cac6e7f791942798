// File associations the freedesktop way: shared MIME info, desktop entries and mimeapps.list.
#include "platform/GLM_QtPlatform.h"

#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QString DefaultGroup = QStringLiteral("Default Applications");

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

const TAssociation *Find(const std::string &extension)
{
    for (const TAssociation &a : AssociationTable())
        if (extension == a.Extension)
            return &a;
    return nullptr;
}

// The glob line of the kind's other extension, if it has one.
QString AlsoGlob(const std::string &extension)
{
    const TAssociation *a = Find(extension);
    if (!a || !a->Also)
        return {};
    return QStringLiteral("    <glob pattern=\"*%1\" weight=\"60\"/>\n")
        .arg(Q(a->Also).toHtmlEscaped());
}

QStringList ReadLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast(); // the final line break
    for (QString &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

bool WriteText(const QString &path, const QString &text)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

bool RemoveFile(const QString &path)
{
    return !QFileInfo::exists(path) || QFile::remove(path);
}

// Key files are edited line by line so that everything we do not own stays as it was.
bool IsGroupHeader(const QString &line)
{
    return line.trimmed().startsWith('[');
}

std::optional<QString> KeyOf(const QString &line)
{
    const qsizetype eq = line.indexOf('=');
    if (eq < 0 || line.trimmed().startsWith('#'))
        return std::nullopt;
    return line.left(eq).trimmed();
}

// Index range [first, last) of the group's lines after its header; nullopt when absent.
std::optional<std::pair<qsizetype, qsizetype>> GroupRange(const QStringList &lines,
                                                          const QString &group)
{
    const QString header = '[' + group + ']';
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed() != header)
            continue;
        qsizetype end = i + 1;
        while (end < lines.size() && !IsGroupHeader(lines[end]))
            ++end;
        return std::make_pair(i + 1, end);
    }
    return std::nullopt;
}

std::optional<QString> IniValue(const QStringList &lines, const QString &group, const QString &key)
{
    const auto range = GroupRange(lines, group);
    if (!range)
        return std::nullopt;
    for (qsizetype i = range->first; i < range->second; ++i)
        if (KeyOf(lines[i]) == key)
            return lines[i].mid(lines[i].indexOf('=') + 1).trimmed();
    return std::nullopt;
}

// Sets the key's value, or removes the key when `value` is nullopt.
void SetIniValue(QStringList &lines, const QString &group, const QString &key,
                 const std::optional<QString> &value)
{
    auto range = GroupRange(lines, group);
    if (!range) {
        if (!value)
            return;
        if (!lines.isEmpty() && !lines.back().trimmed().isEmpty())
            lines << QString();
        lines << '[' + group + ']';
        range = std::make_pair(lines.size(), lines.size());
    }
    for (qsizetype i = range->first; i < range->second; ++i) {
        if (KeyOf(lines[i]) != key)
            continue;
        if (value)
            lines[i] = key + '=' + *value;
        else
            lines.removeAt(i);
        return;
    }
    if (!value)
        return;
    qsizetype at = range->second; // after the group's last non-blank line
    while (at > range->first && lines[at - 1].trimmed().isEmpty())
        --at;
    lines.insert(at, key + '=' + *value);
}

QString JoinLines(const QStringList &lines)
{
    return lines.isEmpty() ? QString() : lines.join('\n') + '\n';
}

// Escapes of a desktop entry's string values.
QString DesktopEscaped(QString s)
{
    return s.replace('\\', QStringLiteral("\\\\"))
        .replace('\n', QStringLiteral("\\n"))
        .replace('\t', QStringLiteral("\\t"))
        .replace('\r', QStringLiteral("\\r"));
}

QStringList Handlers(const QString &value)
{
    QStringList handlers;
    for (const QString &h : value.split(';', Qt::SkipEmptyParts))
        if (!h.trimmed().isEmpty())
            handlers << h.trimmed();
    return handlers;
}

} // namespace

TXdgAssociations::TXdgAssociations(TShell &shell, std::string dataHome, std::string configHome,
                                   bool refreshDatabases)
    : FShell(shell), FDataHome(std::move(dataHome)), FConfigHome(std::move(configHome)),
      FRefresh(refreshDatabases)
{
}

std::string TXdgAssociations::DataHome() const
{
    if (!FDataHome.empty())
        return FDataHome;
    const QString env = qEnvironmentVariable("XDG_DATA_HOME");
    return (QDir::isAbsolutePath(env) ? env : QDir::homePath() + "/.local/share").toStdString();
}

std::string TXdgAssociations::ConfigHome() const
{
    if (!FConfigHome.empty())
        return FConfigHome;
    const QString env = qEnvironmentVariable("XDG_CONFIG_HOME");
    return (QDir::isAbsolutePath(env) ? env : QDir::homePath() + "/.config").toStdString();
}

std::string TXdgAssociations::MimeTypeOf(const std::string &extension)
{
    QString ext = Q(extension).toLower();
    if (ext.startsWith('.'))
        ext.remove(0, 1);
    return ("application/x-glimra-" + ext).toStdString();
}

std::string TXdgAssociations::ExecLine(const std::string &programPath)
{
    QString arg = Q(programPath).replace('%', QStringLiteral("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = false;
    for (const QChar c : arg)
        quote = quote || reserved.contains(c);
    if (quote) {
        QString quoted;
        for (const QChar c : arg) {
            if (c == '"' || c == '`' || c == '$' || c == '\\')
                quoted += '\\';
            quoted += c;
        }
        arg = '"' + quoted + '"';
    }
    return DesktopEscaped(arg).toStdString();
}

namespace {

struct TPaths
{
    QString Package;  // the MIME type of the extension
    QString Desktop;  // the desktop entry of the identifier
    QString MimeApps; // the user's default handlers
};

TPaths PathsOf(const std::string &data, const std::string &config, const std::string &extension,
               const std::string &identifier)
{
    QString ext = Q(extension).toLower();
    if (ext.startsWith('.'))
        ext.remove(0, 1);
    return {Q(data) + "/mime/packages/glimra-" + ext + ".xml",
            Q(data) + "/applications/" + Q(identifier) + ".desktop", Q(config) + "/mimeapps.list"};
}

} // namespace

bool TXdgAssociations::IsAssociated(const std::string &extension)
{
    const TAssociation *a = Find(extension);
    if (!a)
        return false;
    const TPaths paths = PathsOf(DataHome(), ConfigHome(), extension, a->Identifier);
    if (!QFileInfo::exists(paths.Package))
        return false;
    const std::optional<QString> value =
        IniValue(ReadLines(paths.MimeApps), DefaultGroup, Q(MimeTypeOf(extension)));
    const QStringList handlers = value ? Handlers(*value) : QStringList();
    return !handlers.isEmpty() && handlers.front() == Q(a->Identifier) + ".desktop";
}

bool TXdgAssociations::Associate(const std::string &extension, const std::string &identifier,
                                 const std::string &description)
{
    const TPaths paths = PathsOf(DataHome(), ConfigHome(), extension, identifier);
    const QString mime = Q(MimeTypeOf(extension));
    QString ext = Q(extension);
    if (ext.startsWith('.'))
        ext.remove(0, 1);

    // A weight above the default 50 lets our type win over others that claim the same glob,
    // as taking over the extension does on other desktops.
    const QString package =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/"
                       "shared-mime-info\">\n"
                       "  <mime-type type=\"%1\">\n"
                       "    <comment>%2</comment>\n"
                       "    <glob pattern=\"*.%3\" weight=\"60\"/>\n"
                       "%4"
                       "  </mime-type>\n"
                       "</mime-info>\n")
            .arg(mime.toHtmlEscaped(), Q(description).toHtmlEscaped(), ext.toHtmlEscaped(),
                 AlsoGlob(extension));

    const QString desktop =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Glimra\n"
                       "Comment=%1\n"
                       "Exec=%2 %f\n"
                       "MimeType=%3;\n"
                       "NoDisplay=true\n"
                       "Terminal=false\n")
            .arg(DesktopEscaped(Q(description)), Q(ExecLine(FShell.ProgramPath())), mime);

    QStringList mimeApps = ReadLines(paths.MimeApps);
    SetIniValue(mimeApps, DefaultGroup, mime, Q(identifier) + ".desktop");

    const bool ok = WriteText(paths.Package, package) && WriteText(paths.Desktop, desktop) &&
                    WriteText(paths.MimeApps, JoinLines(mimeApps));
    RefreshDatabases();
    return ok;
}

bool TXdgAssociations::Unassociate(const std::string &extension, const std::string &identifier)
{
    const TPaths paths = PathsOf(DataHome(), ConfigHome(), extension, identifier);
    const bool ours = IsAssociated(extension);
    const bool hadDesktop = QFileInfo::exists(paths.Desktop);
    bool ok = RemoveFile(paths.Desktop);
    if (ours) {
        ok = RemoveFile(paths.Package) && ok;
        // Drop only our handler; any others listed after it stay.
        QStringList mimeApps = ReadLines(paths.MimeApps);
        const QString mime = Q(MimeTypeOf(extension));
        QStringList handlers = Handlers(IniValue(mimeApps, DefaultGroup, mime).value_or(""));
        handlers.removeAll(Q(identifier) + ".desktop");
        SetIniValue(mimeApps, DefaultGroup, mime,
                    handlers.isEmpty() ? std::nullopt
                                       : std::optional<QString>(handlers.join(';') + ';'));
        ok = WriteText(paths.MimeApps, JoinLines(mimeApps)) && ok;
    }
    if (ours || hadDesktop)
        RefreshDatabases();
    return ok;
}

void TXdgAssociations::RefreshDatabases() const
{
    if (!FRefresh)
        return;
    const QString data = Q(DataHome());
    const std::pair<const char *, QString> tools[] = {
        {"update-mime-database", data + "/mime"},
        {"update-desktop-database", data + "/applications"},
    };
    for (const auto &[tool, folder] : tools) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(tool));
        if (program.isEmpty() || !QFileInfo::exists(folder))
            continue;
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(program, {folder});
        process.waitForFinished(30000);
    }
}
