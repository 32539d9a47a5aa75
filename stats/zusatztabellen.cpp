#include "stats/zusatztabellen.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

QString zusatzFuerSchema(const char* sql, const QString& schema) {
    static const QRegularExpression kopf(
        QStringLiteral(R"(^(\s*CREATE\s+(?:UNIQUE\s+)?(?:TABLE|INDEX|TRIGGER|VIEW)\s+IF\s+NOT\s+EXISTS\s+))"),
        QRegularExpression::CaseInsensitiveOption);
    QString s = QString::fromUtf8(sql);
    const auto m = kopf.match(s);
    if (m.hasMatch()) s.insert(m.capturedEnd(1), QLatin1Char('"') + schema + QStringLiteral("\"."));
    return s;
}

QString zusatztabellenAnlegen(QSqlDatabase db, const QString& schema, Ergebnisdatei datei) {
    QString erster;
    QSqlQuery q(db);
    for (const Zusatzanweisung& z : kZusatzanweisungen) {
        if (z.datei != datei) continue;
        if (!q.exec(zusatzFuerSchema(z.sql, schema)) && erster.isEmpty()) erster = engineText(q.lastError());
    }
    return erster;
}
