// Sends the waiting file to a class server until nothing waits, as Velkora's
// sender does; tst_klasse kills it with SIGKILL at random moments.
// klassensender WAITING-FILE PORT LOGIN PASSWORD
#include "klasse/versand.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() != 5) return 2;
    Klassenzugang z;
    z.server = QStringLiteral("127.0.0.1");
    z.port = a[2].toInt();
    z.login = a[3];
    z.passwort = a[4];
    for (int i = 0; i < 100; ++i) {
        const Sendebericht b = warteSenden(z, a[1], a[1] + QStringLiteral(".abgewiesen"), QStringLiteral("sender"));
        if (b.wartend == 0) return 0;
    }
    return 1;
}
