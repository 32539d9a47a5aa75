#include "trainer/recording.h"
#include "platform/numbers.h"
#include "shell/app.h"
#include "stats/datenblatt.h"
#include "stats/frmStatistik.h"
#include "trainer/frmSchreiben.h"
#include "windows/frmWait.h"

#include <QDir>
#include <QLineEdit>

Ergebniszeile auswertungZeile(const Uebung& ex, const QDateTime& ende) {
    return {
        {QStringLiteral("datum"), QStringLiteral("zeit"), QStringLiteral("IDLektion"),
         QStringLiteral("MaximalPunkte"), QStringLiteral("stoppzeit"), QStringLiteral("zaehler"),
         QStringLiteral("fehler"), QStringLiteral("ergebnis"), QStringLiteral("Anschlaege")},
        {ende.date().toString(Qt::ISODate), ende.time().toString(QStringLiteral("HH:mm:ss")),
         static_cast<int>(ex.lektionsnr), static_cast<int>(ex.anschlaegeGanz), ex.laufzeit / 60,
         ex.zaehler, ex.fehler, rundeGerade(ex.Fehlerquote * 100, 2),
         static_cast<int>(ex.anschlaegeProMinute)},
    };
}

Ergebniszeile fingerZeile(const Fingerfehler& f) {
    Ergebniszeile z;
    const std::pair<const char*, qint16> spalten[] = {
        {"LIHA", f.LIHA},
        {"lkleinerfinger", f.lkleinerfinger},
        {"lringfinger", f.lringfinger},
        {"lmittelfinger", f.lmittelfinger},
        {"lzeigefinger", f.lzeigefinger},
        {"ldaumenfinger", f.ldaumenfinger},
        {"rdaumenfinger", f.rdaumenfinger},
        {"rzeigefinger", f.rzeigefinger},
        {"rmittelfinger", f.rmittelfinger},
        {"rringfinger", f.rringfinger},
        {"rkleinerfinger", f.rkleinerfinger},
        {"reha", f.REHA},
    };
    for (const auto& [name, wert] : spalten) {
        z.spalten << QString::fromLatin1(name);
        z.werte << static_cast<int>(wert);
    }
    return z;
}

namespace {
// Appends a row through a record browser's row set (loading the browser
// without showing it). Returns the message for the user, empty on success.
template <class Browser>
QString anfuegen(App& app, const Ergebniszeile& zeile) {
    Browser& b = app.forms.template get<Browser>();
    QString fehler;
    if (!b.datensaetzeBereit())
        fehler = b.ladeFehler();
    else if (!b.adoPrimaryRS.anfuegen(b.art().tabelle, zeile.spalten, zeile.werte))
        fehler = b.adoPrimaryRS.fehler();
    if (fehler.isEmpty()) return QString();
    return QStringLiteral("Die Ergebnisse dieser Übung konnten nicht in die Datenbank „%1“ "
                          "geschrieben werden.\n\n%2")
        .arg(QDir::toNativeSeparators(b.datei()), fehler);
}
}  // namespace

void ergebnisseAufzeichnen(App& app) {
    // 1, 2: the wait window with its clip.
    app.forms.get<frmWait>().zeigen(QStringLiteral("Die Ergebnisse werden in die Datenbank geschrieben..."),
                                    app.datei(QStringLiteral("\\FILEMOVE.AVI")));
    // 3, 4: one row each, each on its own: a failure of the first does not
    // keep the second from being stored.
    const QDateTime jetzt = QDateTime::currentDateTime();
    QStringList meldungen;
    meldungen << anfuegen<frmdaten>(app, auswertungZeile(app.ex, jetzt));
    meldungen << anfuegen<frmblockdat>(app, fingerZeile(app.ex.finger));
    // 5: the exercise is over, stored or not.
    frmSchreiben& s = app.forms.get<frmSchreiben>();
    s.Text2->setText(QStringLiteral("DB_ENDE"));
    // 6: the overview is hidden (and loaded for that if it was not).
    app.forms.get<frmStatistik>().verbergen();
    // 7
    app.forms.unload<frmWait>();
    // Reported once the wait window is gone, so no box hides behind it.
    for (const QString& m : meldungen)
        if (!m.isEmpty()) app.services.msgBox(&s, m, Msg::Exclamation);
}
