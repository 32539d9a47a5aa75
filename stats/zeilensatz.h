#pragma once
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

// The rows of one statement with a current position, as the record browsers
// page through them: before the first row (BOF), on a row, or behind the
// last (EOF); an empty set is both BOF and EOF. Rows are read from the
// engine a page at a time, so opening and moving cost about the same for ten
// rows as for a hundred thousand. Rows appended through the set become its
// last rows, and the set stands on the new one.
class Zeilensatz {
public:
    // Opens the set on an open connection and stands on the first row (or
    // on BOF/EOF when it is empty). On failure fehler() says why.
    bool oeffnen(QSqlDatabase db, const QString& anweisung);
    void schliessen();
    bool istOffen() const { return offen_; }

    qint64 anzahl() const { return anzahl_; }
    bool bof() const { return anzahl_ == 0 || pos_ < 0; }
    bool eof() const { return anzahl_ == 0 || pos_ >= anzahl_; }
    // The 1-based position of the current row; 0 when there is none.
    qint64 position() const { return hatZeile() ? pos_ + 1 : 0; }
    bool hatZeile() const { return pos_ >= 0 && pos_ < anzahl_; }

    // Each returns false when the row cannot be read (fehler() says why);
    // the position then stays where it was.
    bool moveFirst();
    bool moveLast();
    bool moveNext();
    bool movePrevious();

    // The statement's columns, in its order.
    const QStringList& spalten() const { return spalten_; }
    // A value of the current row; null without a current row.
    QVariant wert(int spalte) const;
    QVariant wert(const QString& spalte) const;  // name without regard to case
    int spaltenIndex(const QString& spalte) const;

    const QString& fehler() const { return fehler_; }

    // Appends a row to the table in one transaction and stands on it.
    // Columns are named without regard to case; the set's columns not named
    // read as null. Returns false (fehler() has the engine's text) when the
    // row was not stored; the set is then unchanged.
    bool anfuegen(const QString& tabelle, const QStringList& spalten, const QVariantList& werte);
    // Takes note of a row stored in the set's table by another connection:
    // it becomes the set's last row, and the set stands on it.
    void angefuegt(const QStringList& spalten, const QVariantList& werte);

    // Called after every move, also onto BOF or EOF.
    std::function<void()> MoveComplete;

    static constexpr int kSeite = 64;

private:
    bool gehe(qint64 ziel);
    bool ladeSeite(qint64 index);

    QSqlDatabase db_;
    QString anweisung_;
    QStringList spalten_;
    qint64 anzahl_ = 0;
    qint64 pos_ = -1;
    qint64 seiteStart_ = 0;
    QList<QVariantList> seite_;
    QString fehler_;
    bool offen_ = false;
};
