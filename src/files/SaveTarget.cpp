#include "files/SaveTarget.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace qv {

bool FileFound(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

TargetState InspectTarget(const QString &path)
{
    TargetState s;
    if (!FileFound(path))
        return s;
    const QFileInfo info(path);
    s.exists = true;
    s.directory = info.isDir();
    s.readOnly = !s.directory && !(info.permissions() & QFile::WriteOwner);
    s.hidden = info.fileName().startsWith(QLatin1Char('.'));
    return s;
}

QString AttributeList(const TargetState &state)
{
    QStringList list;
    if (state.readOnly)
        list << QStringLiteral("'read only'");
    if (state.hidden)
        list << QStringLiteral("'hidden'");
    return list.join(QStringLiteral(", "));
}

bool CheckTargetFile(const QString &path, const QString &caption, const FileQuestions &questions)
{
    const TargetState state = InspectTarget(path);
    if (!state.exists)
        return true;
    const QString shown = ShownPath(questions.shortenPath, path);
    if (state.directory) {
        if (questions.showInfo)
            questions.showInfo(caption, msg::CannotCreate(shown, QStringLiteral("directory")));
        return false;
    }
    const QString list = AttributeList(state);
    if (list.isEmpty())
        return true;
    return questions.askYesNo && questions.askYesNo(caption, msg::HasAttributes(shown, list));
}

bool SaveDialogCanClose(const QString &completedName, const QString &title, const FileQuestions &questions)
{
    if (completedName.isEmpty())
        return false;
    if (!FileFound(completedName))
        return true;
    const QString shown = ShownPath(questions.shortenPath, completedName);
    if (!questions.askYesNo || !questions.askYesNo(title, msg::AlreadyExists(shown)))
        return false;
    return CheckTargetFile(completedName, title, questions);
}

QString DialogFileName(const QString &typed, const QString &filter, int selectedEntry, const QString &folder)
{
    if (typed.isEmpty())
        return QString();
    const QStringList parts = filter.split(QLatin1Char('|'));
    QString extension;
    if (selectedEntry >= 0 && 2 * selectedEntry + 1 < parts.size()) {
        extension = parts[2 * selectedEntry + 1];
        while (!extension.isEmpty() && (extension[0] == QLatin1Char('*') || extension[0] == QLatin1Char('.')))
            extension.remove(0, 1);
    }
    QString name = typed;
    if (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    if (!extension.isEmpty() && QFileInfo(name).suffix().compare(extension, Qt::CaseInsensitive) != 0)
        name += QLatin1Char('.') + extension;
    return QDir::cleanPath(QDir(folder).absoluteFilePath(name));
}

QString DataFileFilter()
{
    return QStringLiteral("Pliki tekstowe (*.txt)|*.txt|Wszystkie pliki (*.*)|*.*");
}

} // namespace qv
