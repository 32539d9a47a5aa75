// Builds one empty results database from its schema file:
//   velkora_mkdb <schema.sql> <output.mdb>
// The file is written under a temporary name and renamed when complete, so
// a failed run never leaves a half-built database behind.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <cstdio>

// True while a statement is a trigger whose body (BEGIN ... END) is open:
// its inner semicolons do not end it.
static bool offenerTrigger(const QString& cur) {
    static const QRegularExpression trigger(QStringLiteral(R"(^\s*CREATE\s+(TEMP\w*\s+)?TRIGGER\b)"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression ende(QStringLiteral(R"(\bEND\s*$)"), QRegularExpression::CaseInsensitiveOption);
    return trigger.match(cur).hasMatch() && !ende.match(cur).hasMatch();
}

// Splits a schema into statements at semicolons outside quotes, comments
// and trigger bodies.
static QStringList statements(const QString& sql) {
    QStringList out;
    QString cur;
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            cur += c;
            if (c == quote) quote = QChar();
            continue;
        }
        if (c == u'-' && i + 1 < sql.size() && sql[i + 1] == u'-') {
            while (i < sql.size() && sql[i] != u'\n') ++i;
            cur += u'\n';
            continue;
        }
        if (c == u'\'' || c == u'"' || c == u'[') quote = c == u'[' ? QChar(u']') : c;
        if (c == u';' && offenerTrigger(cur)) {
            cur += c;
            continue;
        }
        if (c == u';') {
            if (!cur.trimmed().isEmpty()) out << cur.trimmed();
            cur.clear();
            continue;
        }
        cur += c;
    }
    if (!cur.trimmed().isEmpty()) out << cur.trimmed();
    return out;
}

static int fail(const QString& what) {
    std::fprintf(stderr, "velkora_mkdb: %s\n", qPrintable(what));
    return 1;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) return fail(QStringLiteral("usage: velkora_mkdb <schema.sql> <output.mdb>"));
    QFile schema(args[1]);
    if (!schema.open(QIODevice::ReadOnly)) return fail(args[1] + QStringLiteral(": ") + schema.errorString());
    const QStringList stmts = statements(QString::fromUtf8(schema.readAll()));
    if (stmts.isEmpty()) return fail(args[1] + QStringLiteral(": no statements"));

    const QString target = QFileInfo(args[2]).absoluteFilePath();
    const QString temp = target + QStringLiteral(".tmp");
    QFile::remove(temp);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("mkdb"));
        db.setDatabaseName(temp);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            for (const QString& s : stmts) {
                if (!q.exec(s)) {
                    error = s.left(60) + QStringLiteral("...: ") + q.lastError().text();
                    break;
                }
            }
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("mkdb"));
    if (!error.isEmpty()) {
        QFile::remove(temp);
        return fail(error);
    }
    QFile::remove(target);
    if (!QFile::rename(temp, target)) return fail(QStringLiteral("cannot write ") + target);
    return 0;
}
