#include "platform/linux/DesktopEntries.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QUrl>

#include "platform/FileName.h"
#include "platform/FilePaths.h"

namespace platform::desktop_entries {

namespace {

QString homePath() {
    return QDir::homePath();
}

QString envOr(const char* name, const QString& fallback) {
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

QStringList dirList(const char* name, const QString& fallback) {
    return envOr(name, fallback).split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QString configHome() {
    return envOr("XDG_CONFIG_HOME", homePath() + QStringLiteral("/.config"));
}

QString dataHome() {
    return envOr("XDG_DATA_HOME", homePath() + QStringLiteral("/.local/share"));
}

QStringList dataDirs() {
    return dirList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
}

QStringList currentDesktops() {
    QStringList names;
    for (const QString& desktop : dirList("XDG_CURRENT_DESKTOP", QString()))
        names.append(desktop.toLower());
    return names;
}

// The mimeapps.list files, most important first.
QStringList mimeAppsFiles() {
    QStringList folders{configHome()};
    folders += dirList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    folders.append(dataHome() + QStringLiteral("/applications"));
    for (const QString& dir : dataDirs())
        folders.append(dir + QStringLiteral("/applications"));
    QStringList files;
    for (const QString& folder : folders) {
        for (const QString& desktop : currentDesktops())
            files.append(folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list"));
        files.append(folder + QStringLiteral("/mimeapps.list"));
    }
    return files;
}

// The values of `key` in group `group` of an ini-style file, split at ";".
QStringList listValue(const QString& path, const QString& group, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    QString current;
    QStringList values;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            current = line.mid(1, line.indexOf(QLatin1Char(']')) - 1);
            continue;
        }
        if (current != group)
            continue;
        const int equals = int(line.indexOf(QLatin1Char('=')));
        if (equals <= 0 || line.left(equals).trimmed() != key)
            continue;
        for (const QString& id : line.mid(equals + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            values.append(id.trimmed());
    }
    return values;
}

void appendNew(QStringList& list, const QStringList& more, const QStringList& removed) {
    for (const QString& id : more) {
        if (!list.contains(id) && !removed.contains(id))
            list.append(id);
    }
}

// The keys of the [Desktop Entry] group, with the value escapes (\s \n \t \r \\) undone.
struct Entry {
    QString exec, tryExec, name, icon;
    bool hidden = false, terminal = false;
};

QString unescapeValue(const QString& value) {
    QString out;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 >= value.size()) {
            out.append(c);
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
            case 's':
                out.append(QLatin1Char(' '));
                break;
            case 'n':
                out.append(QLatin1Char('\n'));
                break;
            case 't':
                out.append(QLatin1Char('\t'));
                break;
            case 'r':
                out.append(QLatin1Char('\r'));
                break;
            default:
                out.append(QLatin1Char('\\')).append(next);
                break;
        }
    }
    return out;
}

std::optional<Entry> readEntry(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QTextStream in(&file);
    Entry entry;
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line.trimmed() == QLatin1String("[Desktop Entry]");
            continue;
        }
        const int equals = int(line.indexOf(QLatin1Char('=')));
        if (!inGroup || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = unescapeValue(line.mid(equals + 1).trimmed());
        if (key == QLatin1String("Exec"))
            entry.exec = value;
        else if (key == QLatin1String("TryExec"))
            entry.tryExec = value;
        else if (key == QLatin1String("Name"))
            entry.name = value;
        else if (key == QLatin1String("Icon"))
            entry.icon = value;
        else if (key == QLatin1String("Hidden") || key == QLatin1String("NoDisplay"))
            entry.hidden =
                entry.hidden || (key == QLatin1String("Hidden") && value == QLatin1String("true"));
        else if (key == QLatin1String("Terminal"))
            entry.terminal = value == QLatin1String("true");
    }
    if (entry.exec.isEmpty())
        return std::nullopt;
    return entry;
}

}  // namespace

QString findProgram(const QString& program) {
    if (program.isEmpty())
        return {};
    if (program.contains(QLatin1Char('/')))
        return isExecutableFile(program) ? absoluteFilePath(program) : QString();
    for (const QByteArray& folder : qgetenv("PATH").split(':')) {
        const QString candidate = decodeFileName(folder.isEmpty() ? QByteArray(".") : folder) +
                                  QLatin1Char('/') + program;
        if (isExecutableFile(candidate))
            return absoluteFilePath(candidate);
    }
    return {};
}

QStringList associatedApplications(const QString& mimeType) {
    const QStringList files = mimeAppsFiles();
    QStringList removed;
    for (const QString& file : files)
        removed += listValue(file, QStringLiteral("Removed Associations"), mimeType);
    QStringList ids;
    for (const QString& file : files)
        appendNew(ids, listValue(file, QStringLiteral("Default Applications"), mimeType), removed);
    for (const QString& file : files)
        appendNew(ids, listValue(file, QStringLiteral("Added Associations"), mimeType), removed);
    QStringList cacheFolders{dataHome()};
    cacheFolders += dataDirs();
    for (const QString& folder : cacheFolders)
        appendNew(ids,
                  listValue(folder + QStringLiteral("/applications/mimeinfo.cache"),
                            QStringLiteral("MIME Cache"), mimeType),
                  removed);
    return ids;
}

QString findDesktopFile(const QString& id) {
    if (id.isEmpty() || id.contains(QLatin1Char('/')))
        return {};
    QStringList folders{dataHome()};
    folders += dataDirs();
    for (const QString& folder : folders) {
        const QString path = folder + QStringLiteral("/applications/") + id;
        if (fileStatus(path).isFile)
            return path;
    }
    return {};
}

QStringList splitExec(const QString& exec) {
    QStringList arguments;
    QString current;
    bool inQuotes = false, hasArgument = false;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size()) {
                current.append(exec.at(++i));
            } else if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else {
                current.append(c);
            }
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
            hasArgument = true;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (hasArgument)
                arguments.append(current);
            current.clear();
            hasArgument = false;
        } else {
            current.append(c);
            hasArgument = true;
        }
    }
    if (hasArgument)
        arguments.append(current);
    return arguments;
}

std::optional<Launch> launchFor(const QString& desktopFile, const QString& fileOrUrl) {
    const std::optional<Entry> entry = readEntry(desktopFile);
    if (!entry || entry->hidden)
        return std::nullopt;
    if (!entry->tryExec.isEmpty() && findProgram(entry->tryExec).isEmpty())
        return std::nullopt;
    const QStringList words = splitExec(entry->exec);
    if (words.isEmpty())
        return std::nullopt;
    Launch launch;
    launch.terminal = entry->terminal;
    launch.program = findProgram(words.first());
    if (launch.program.isEmpty())
        return std::nullopt;

    // An address is handed on as it is; a file goes by its absolute path (a name beginning
    // with "-" then reads as no option) or its percent-encoded file URI.
    const bool isUrl = QUrl(fileOrUrl).scheme().size() > 1;
    const QString asUrl = isUrl ? fileOrUrl : fileUri(fileOrUrl);
    const QString asFile =
        isUrl ? (pathOfFileUri(fileOrUrl).isEmpty() ? fileOrUrl : pathOfFileUri(fileOrUrl))
              : absoluteFilePath(fileOrUrl);
    bool placed = false;
    for (int i = 1; i < words.size(); ++i) {
        const QString& word = words.at(i);
        // A field code standing alone becomes whole arguments; inside a word only "%%".
        if (word == QLatin1String("%f") || word == QLatin1String("%F")) {
            launch.arguments.append(asFile);
            placed = true;
        } else if (word == QLatin1String("%u") || word == QLatin1String("%U")) {
            launch.arguments.append(asUrl);
            placed = true;
        } else if (word == QLatin1String("%i")) {
            if (!entry->icon.isEmpty())
                launch.arguments << QStringLiteral("--icon") << entry->icon;
        } else if (word == QLatin1String("%c")) {
            launch.arguments.append(entry->name);
        } else if (word == QLatin1String("%k")) {
            launch.arguments.append(desktopFile);
        } else {
            QString expanded;
            for (int j = 0; j < word.size(); ++j) {
                if (word.at(j) == QLatin1Char('%') && j + 1 < word.size()) {
                    if (word.at(++j) == QLatin1Char('%'))
                        expanded.append(QLatin1Char('%'));
                    // Other codes inside a word (deprecated ones included) are dropped.
                } else {
                    expanded.append(word.at(j));
                }
            }
            if (!expanded.isEmpty())
                launch.arguments.append(expanded);
        }
    }
    if (!placed)
        launch.arguments.append(asFile);
    return launch;
}

std::optional<Launch> defaultLaunch(const QString& mimeType, const QString& fileOrUrl) {
    for (const QString& id : associatedApplications(mimeType)) {
        const QString path = findDesktopFile(id);
        if (path.isEmpty())
            continue;
        if (std::optional<Launch> launch = launchFor(path, fileOrUrl))
            return launch;
    }
    return std::nullopt;
}

}  // namespace platform::desktop_entries
