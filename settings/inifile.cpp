#include "inifile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <optional>

namespace {

// The name of the section a line opens, if it opens one.
std::optional<QString> sectionName(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    return (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed();
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a key's line is, if the section has it.
struct Place {
    qsizetype sectionLine = -1; // the line of the section's header
    qsizetype keyLine = -1;     // the line of the key
    qsizetype lastLine = -1;    // the section's last line that is not blank
};

Place find(const QStringList& lines, const QString& section, const QString& key)
{
    Place place;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i])) {
            if (place.sectionLine >= 0)
                break; // only the first section of that name counts
            inSection = sameName(*name, section);
            if (inSection)
                place.sectionLine = place.lastLine = i;
            continue;
        }
        if (!inSection)
            continue;
        if (!lines[i].trimmed().isEmpty())
            place.lastLine = i;
        const qsizetype equals = lines[i].indexOf(QLatin1Char('='));
        if (equals > 0 && place.keyLine < 0 && sameName(lines[i].left(equals).trimmed(), key))
            place.keyLine = i;
    }
    return place;
}

// The file's lines, and how it ends them (new files get the Windows way: the lobby's).
struct Text {
    QStringList lines;
    QString newline = QStringLiteral("\r\n");
    bool finalNewline = true;
};

Text readText(const QString& path)
{
    Text text;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return text;
    // The file belongs to Windows programs too: its text is the ANSI code page, close to Latin-1.
    const QString all = QString::fromLatin1(file.readAll());
    if (all.isEmpty())
        return text;
    const qsizetype firstBreak = all.indexOf(QLatin1Char('\n'));
    if (firstBreak >= 0 && (firstBreak == 0 || all[firstBreak - 1] != QLatin1Char('\r')))
        text.newline = QStringLiteral("\n");
    text.finalNewline = all.endsWith(QLatin1Char('\n'));
    text.lines = all.split(text.newline);
    if (text.finalNewline)
        text.lines.removeLast();
    return text;
}

} // namespace

QString IniFile::readString(const QString& section, const QString& key, const QString& fallback) const
{
    const QStringList lines = readText(path_).lines;
    const Place place = find(lines, section, key);
    if (place.keyLine < 0)
        return fallback;
    const QString& line = lines[place.keyLine];
    return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
}

int IniFile::readInteger(const QString& section, const QString& key, int fallback) const
{
    bool ok = false;
    const int value = readString(section, key, QString()).toInt(&ok);
    return ok ? value : fallback;
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value) const
{
    Text text = readText(path_);
    QStringList& lines = text.lines;
    const Place place = find(lines, section, key);
    const QString entry = key + QLatin1Char('=') + value;
    if (place.keyLine >= 0) {
        lines[place.keyLine] = entry;
    } else if (place.sectionLine >= 0) {
        lines.insert(place.lastLine + 1, entry);
    } else {
        lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
    }
    // Written aside and renamed into place, so a reader never sees half a file.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QString all = lines.join(text.newline);
    if (text.finalNewline)
        all += text.newline;
    file.write(all.toLatin1());
    return file.commit();
}
