// The copy test's counting: a shipped text (about 4 000 characters of it)
// against a copy of some 3 000 characters with an error every fifty words
// and a skipped line, and an own text of the longest length against the
// same copy. Prints the median and the worst of several runs.
#include "messreihe.h"
#include "pruefung/abschrift.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QList<Abschrifttext> texte = abschrifttexte(QStringLiteral(VELKORA_PROGRAM_DIR));
    if (texte.isEmpty()) {
        std::printf("bench_abschrift: keine Texte in %s/abschrift\n", VELKORA_PROGRAM_DIR);
        return 1;
    }
    const QString quelle = texte.first().text.left(4000);
    // The copy: the source's first 3 000 characters, one line left out, a
    // letter changed in every fiftieth word.
    QStringList zeilen = quelle.left(3000).split(QStringLiteral("\r\n"));
    if (zeilen.size() > 10) zeilen.removeAt(10);
    QString kopie = zeilen.join(u'\n');
    int wort = 0;
    for (int i = 1; i < kopie.size(); ++i)
        if (kopie[i - 1] == u' ' && ++wort % 50 == 0) kopie[i] = u'x';
    QString lang;
    while (lang.size() < 32000) lang += texte[lang.size() / 5000 % texte.size()].text + QStringLiteral("\r\n");
    lang.truncate(32000);
    int fehler = 0;
    const Messreihe a = messen(20, [&] { fehler = int(abschriftZaehlen(quelle, kopie).fehler.size()); });
    std::printf("Abschrift zählen, %lld gegen %lld Zeichen: Median %.2f ms, höchstens %.2f ms (%d Fehler)\n",
                qint64(quelle.size()), qint64(kopie.size()), a.median, a.max, fehler);
    const Messreihe b = messen(10, [&] { fehler = int(abschriftZaehlen(lang, kopie).fehler.size()); });
    std::printf("Abschrift zählen, %lld gegen %lld Zeichen: Median %.2f ms, höchstens %.2f ms (%d Fehler)\n",
                qint64(lang.size()), qint64(kopie.size()), b.median, b.max, fehler);
    return 0;
}
