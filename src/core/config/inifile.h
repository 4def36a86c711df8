#pragma once

#include <QString>
#include <QVector>
#include <optional>

namespace quillerby {

// A small INI reader/writer that keeps the file as it is: sections, key order, comments and keys it was
// not asked to change survive a load/save round trip. Keys and section names compare case-insensitively,
// as Windows' own INI functions do.
class IniFile {
public:
    // Reads `path`. A missing file gives an empty document; an unreadable one raises Error.
    static IniFile load(const QString& path);

    std::optional<QString> value(const QString& section, const QString& key) const;
    // Replaces the value in place, or appends the key at the end of its section (creating the section).
    void setValue(const QString& section, const QString& key, const QString& value);

    // Writes the document to `path` (the folder must exist), readable by its owner only: the file may hold a
    // password. Raises Error when it cannot be written.
    void save(const QString& path) const;

    QString toText() const;

private:
    struct Line {
        QString raw;     // the line as read, for comments and blanks
        QString section; // set on a section header line
        QString key;     // set on a key line
        QString value;
        enum Kind { Other, Section, Key } kind = Other;
    };
    QVector<Line> m_lines;
};

} // namespace quillerby
