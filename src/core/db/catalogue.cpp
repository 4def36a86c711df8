#include "db/catalogue.h"

#include "common/error.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

namespace quillerby {

Catalogue::Catalogue(Engine engine) : m_engine(engine) {
    loadFolder(QStringLiteral(":/sql/common"));
    loadFolder(engine == Engine::Sqlite ? QStringLiteral(":/sql/sqlite") : QStringLiteral(":/sql/mssql"));
}

void Catalogue::loadFolder(const QString& folder) {
    QDirIterator it(folder, {QStringLiteral("*.sql")}, QDir::Files);
    while (it.hasNext()) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const auto parsed = parse(QString::fromUtf8(f.readAll()));
        for (auto i = parsed.begin(); i != parsed.end(); ++i)
            m_statements.insert(i.key(), i.value());
    }
}

QHash<QString, QString> Catalogue::parse(const QString& text) {
    static const QRegularExpression header(QStringLiteral("^\\s*--\\s*name:\\s*(\\S+)\\s*$"));
    QHash<QString, QString> out;
    QString name;
    QStringList body;
    const auto flush = [&] {
        // Only blank lines around a statement are dropped: its own text stays exactly as written.
        while (!body.isEmpty() && body.first().trimmed().isEmpty())
            body.removeFirst();
        while (!body.isEmpty() && body.last().trimmed().isEmpty())
            body.removeLast();
        if (!name.isEmpty())
            out.insert(name, body.join(QLatin1Char('\n')));
        body.clear();
    };
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const auto m = header.match(line);
        if (m.hasMatch()) {
            flush();
            name = m.captured(1);
        } else if (!name.isEmpty()) {
            QString l = line;
            if (l.endsWith(QLatin1Char('\r')))
                l.chop(1);
            body << l;
        }
    }
    flush();
    return out;
}

QString Catalogue::statement(const QString& name) const {
    const auto it = m_statements.constFind(name);
    if (it == m_statements.constEnd())
        throw Error(QStringLiteral("Unknown SQL statement \"%1\" for %2").arg(name, engineName(m_engine)));
    return it.value();
}

} // namespace quillerby
