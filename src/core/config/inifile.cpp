#include "config/inifile.h"

#include "common/error.h"

#include <QFile>
#include <QSaveFile>
#include <QStringConverter>
#include <QTextStream>

namespace quillerby {

IniFile IniFile::load(const QString& path) {
    IniFile ini;
    QFile f(path);
    if (!f.exists())
        return ini;
    if (!f.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot read %1: %2").arg(path, f.errorString()));
    QByteArray data = f.readAll();
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    const QString text = QString::fromUtf8(data);
    QString current;
    for (QString raw : text.split(QLatin1Char('\n'))) {
        if (raw.endsWith(QLatin1Char('\r')))
            raw.chop(1);
        Line line;
        line.raw = raw;
        const QString t = raw.trimmed();
        if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
            line.kind = Line::Section;
            current = t.mid(1, t.size() - 2).trimmed();
            line.section = current;
        } else if (!t.isEmpty() && !t.startsWith(QLatin1Char(';')) && !t.startsWith(QLatin1Char('#')) &&
                   t.contains(QLatin1Char('='))) {
            const int eq = t.indexOf(QLatin1Char('='));
            line.kind = Line::Key;
            line.section = current;
            line.key = t.left(eq).trimmed();
            line.value = t.mid(eq + 1).trimmed();
        }
        ini.m_lines.append(line);
    }
    // split() leaves one empty line for the final newline; the writer adds it back.
    if (!ini.m_lines.isEmpty() && ini.m_lines.last().kind == Line::Other && ini.m_lines.last().raw.isEmpty())
        ini.m_lines.removeLast();
    return ini;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
    for (const Line& l : m_lines) {
        if (l.kind == Line::Key && l.section.compare(section, Qt::CaseInsensitive) == 0 &&
            l.key.compare(key, Qt::CaseInsensitive) == 0)
            return l.value;
    }
    return std::nullopt;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    int sectionHeader = -1;
    int lastOfSection = -1;
    for (int i = 0; i < m_lines.size(); ++i) {
        Line& l = m_lines[i];
        if (l.kind == Line::Section && l.section.compare(section, Qt::CaseInsensitive) == 0) {
            sectionHeader = i;
            lastOfSection = i;
        } else if (l.kind == Line::Key && l.section.compare(section, Qt::CaseInsensitive) == 0) {
            if (l.key.compare(key, Qt::CaseInsensitive) == 0) {
                l.value = value;
                return;
            }
            lastOfSection = i;
        }
    }
    Line line;
    line.kind = Line::Key;
    line.section = section;
    line.key = key;
    line.value = value;
    if (sectionHeader < 0) {
        Line header;
        header.kind = Line::Section;
        header.section = section;
        m_lines.append(header);
        m_lines.append(line);
    } else {
        m_lines.insert(lastOfSection + 1, line);
    }
}

QString IniFile::toText() const {
    QString out;
    for (const Line& l : m_lines) {
        switch (l.kind) {
        case Line::Section:
            out += QLatin1Char('[') + l.section + QLatin1Char(']');
            break;
        case Line::Key:
            out += l.key + QLatin1Char('=') + l.value;
            break;
        case Line::Other:
            out += l.raw;
            break;
        }
#ifdef Q_OS_WIN
        out += QLatin1String("\r\n");
#else
        out += QLatin1Char('\n');
#endif
    }
    return out;
}

void IniFile::save(const QString& path) const {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("Cannot write %1: %2").arg(path, f.errorString()));
    f.write(toText().toUtf8());
    if (!f.commit())
        throw Error(QStringLiteral("Cannot write %1: %2").arg(path, f.errorString()));
#ifndef Q_OS_WIN
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#endif
}

} // namespace quillerby
