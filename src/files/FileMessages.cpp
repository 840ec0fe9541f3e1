#include "files/FileMessages.h"

#include <cstring>

namespace qv {

QString ShortenPath(const QString &path, const std::function<int(const QString &)> &width, int maxWidth)
{
    if (!width || width(path) <= maxWidth)
        return path;
    const int at = path.startsWith(QLatin1Char('/')) ? 1 : 0;
    QString s = path;
    s.insert(at, QStringLiteral("..."));
    const int cut = at + 3;
    while (s.size() > cut && width(s) > maxWidth)
        s.remove(cut, 1);
    return s;
}

QString ShownPath(const PathShortener &shorten, const QString &path)
{
    return shorten ? shorten(path) : path;
}

namespace msg {

QString OdmienPomiar(qint64 n)
{
    return n == 1 ? QStringLiteral("measure") : QStringLiteral("measures");
}

QString NotRecognized(const QString &path)
{
    return QStringLiteral("Data file format not recognized:\n") + path;
}

QString TooManyData(qint64 limit, const QString &path)
{
    return QStringLiteral("Too many data. Only %1 %2 readed from file:\n%3").arg(limit).arg(OdmienPomiar(limit), path);
}

QString ReadError(const QString &path, int code, const QString &systemText)
{
    return QStringLiteral("Error encountered during reading from file:\n%1\nError code %2:\n'%3'.")
        .arg(path, QStringLiteral("%1").arg(uint(code), 8, 16, QLatin1Char('0')).toUpper(), systemText);
}

QString AbortReading(const QString &path)
{
    return QStringLiteral("Abort reading from file:\n") + path;
}

QString AbortWriting(const QString &path)
{
    return QStringLiteral("Abort writing to file:\n") + path;
}

QString WriteFailed(const QString &path, const QString &systemText)
{
    return QStringLiteral("Error encountered during writing to file:\n%1\n'%2'.\nThe file was not changed.")
        .arg(path, systemText);
}

QString AlreadyExists(const QString &path)
{
    return QStringLiteral("File\n%1\nalready exists.\nOverwrite?").arg(path);
}

QString CannotCreate(const QString &path, const QString &what)
{
    return QStringLiteral("File\n%1\ncannot be created, because %2\nwith the same name already exists.").arg(path, what);
}

QString HasAttributes(const QString &path, const QString &list)
{
    return QStringLiteral("File\n%1\nhas attributes %2\nSave anyway?").arg(path, list);
}

QString OpenTitle(const QString &caption)
{
    return QStringLiteral("Open ") + caption + QStringLiteral("...");
}

QString SaveTitle(const QString &caption)
{
    return QStringLiteral("Save ") + caption + QStringLiteral(" as...");
}

QString ConfirmReplace(bool memory)
{
    return QStringLiteral("Overwrite") + (memory ? QStringLiteral(" memory") : QStringLiteral(" current history")) +
           QStringLiteral("?");
}

QString SystemErrorText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace msg

} // namespace qv
