-- The results database "velkora.mdb": one row per finished exercise.
--
-- Datum and Zeit are kept as ISO text ("2024-05-17", "14:03:07"): that
-- sorts in calendar order and reads back to exactly the stored date and time.
CREATE TABLE Auswertung (
    IDDatensatz   INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL,
    Datum         TEXT CHECK (Datum IS NULL OR Datum GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]'),
    Zeit          TEXT CHECK (Zeit IS NULL OR Zeit GLOB '[0-2][0-9]:[0-5][0-9]:[0-5][0-9]'),
    IDLektion     INTEGER,
    MaximalPunkte INTEGER,
    stoppzeit     REAL,
    zaehler       REAL,
    fehler        REAL,
    ergebnis      REAL,
    anschlaege    INTEGER
);

-- The charts group by exercise number; the index also covers the mean of
-- the keystrokes per minute, so neither chart has to sort the table.
CREATE INDEX Auswertung_IDLektion ON Auswertung (IDLektion, anschlaege);

-- Marks of the stored results, one per result: a result whose mark is here
-- is never stored again. IDDatensatz is the key of its Auswertung row.
CREATE TABLE IF NOT EXISTS Ablage (ergebnis TEXT PRIMARY KEY, IDDatensatz INTEGER);
-- Per-key records: one row per expected character and one per pair
-- (character before, expected one) of each stored result, linked to it by
-- the result id. richtig and falsch count the presses at it, zeit_ms sums
-- the milliseconds from the key accepted before to its accepted press over
-- zeit_n presses.
CREATE TABLE IF NOT EXISTS Tastenwerte (
    ergebnis TEXT NOT NULL,
    datum    TEXT NOT NULL,
    zeichen  TEXT NOT NULL,
    richtig  INTEGER NOT NULL,
    falsch   INTEGER NOT NULL,
    zeit_ms  INTEGER NOT NULL,
    zeit_n   INTEGER NOT NULL,
    PRIMARY KEY (ergebnis, zeichen)
);
CREATE TABLE IF NOT EXISTS Paarwerte (
    ergebnis TEXT NOT NULL,
    datum    TEXT NOT NULL,
    vorher   TEXT NOT NULL,
    zeichen  TEXT NOT NULL,
    richtig  INTEGER NOT NULL,
    falsch   INTEGER NOT NULL,
    zeit_ms  INTEGER NOT NULL,
    zeit_n   INTEGER NOT NULL,
    PRIMARY KEY (ergebnis, vorher, zeichen)
);
-- Their running totals per day and over all days, kept by the triggers
-- below in the transaction that stores the records: the keyboard view
-- reads a few hundred rows for any period instead of millions.
CREATE TABLE IF NOT EXISTS Tastentage (
    datum TEXT NOT NULL, zeichen TEXT NOT NULL,
    richtig INTEGER NOT NULL, falsch INTEGER NOT NULL, zeit_ms INTEGER NOT NULL, zeit_n INTEGER NOT NULL,
    PRIMARY KEY (datum, zeichen)
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS Paartage (
    datum TEXT NOT NULL, vorher TEXT NOT NULL, zeichen TEXT NOT NULL,
    richtig INTEGER NOT NULL, falsch INTEGER NOT NULL, zeit_ms INTEGER NOT NULL, zeit_n INTEGER NOT NULL,
    PRIMARY KEY (datum, vorher, zeichen)
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS Tastensumme (
    zeichen TEXT NOT NULL PRIMARY KEY,
    richtig INTEGER NOT NULL, falsch INTEGER NOT NULL, zeit_ms INTEGER NOT NULL, zeit_n INTEGER NOT NULL
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS Paarsumme (
    vorher TEXT NOT NULL, zeichen TEXT NOT NULL,
    richtig INTEGER NOT NULL, falsch INTEGER NOT NULL, zeit_ms INTEGER NOT NULL, zeit_n INTEGER NOT NULL,
    PRIMARY KEY (vorher, zeichen)
) WITHOUT ROWID;
CREATE TRIGGER IF NOT EXISTS Tastenwerte_summen AFTER INSERT ON Tastenwerte BEGIN
    INSERT INTO Tastentage VALUES (new.datum, new.zeichen, new.richtig, new.falsch, new.zeit_ms, new.zeit_n)
        ON CONFLICT (datum, zeichen) DO UPDATE SET richtig = richtig + excluded.richtig,
        falsch = falsch + excluded.falsch, zeit_ms = zeit_ms + excluded.zeit_ms, zeit_n = zeit_n + excluded.zeit_n;
    INSERT INTO Tastensumme VALUES (new.zeichen, new.richtig, new.falsch, new.zeit_ms, new.zeit_n)
        ON CONFLICT (zeichen) DO UPDATE SET richtig = richtig + excluded.richtig,
        falsch = falsch + excluded.falsch, zeit_ms = zeit_ms + excluded.zeit_ms, zeit_n = zeit_n + excluded.zeit_n;
END;
CREATE TRIGGER IF NOT EXISTS Paarwerte_summen AFTER INSERT ON Paarwerte BEGIN
    INSERT INTO Paartage VALUES (new.datum, new.vorher, new.zeichen, new.richtig, new.falsch, new.zeit_ms, new.zeit_n)
        ON CONFLICT (datum, vorher, zeichen) DO UPDATE SET richtig = richtig + excluded.richtig,
        falsch = falsch + excluded.falsch, zeit_ms = zeit_ms + excluded.zeit_ms, zeit_n = zeit_n + excluded.zeit_n;
    INSERT INTO Paarsumme VALUES (new.vorher, new.zeichen, new.richtig, new.falsch, new.zeit_ms, new.zeit_n)
        ON CONFLICT (vorher, zeichen) DO UPDATE SET richtig = richtig + excluded.richtig,
        falsch = falsch + excluded.falsch, zeit_ms = zeit_ms + excluded.zeit_ms, zeit_n = zeit_n + excluded.zeit_n;
END;

-- The progress window groups by day, also over lessons or texts alone: the
-- index covers all it reads, in date order.
CREATE INDEX IF NOT EXISTS Auswertung_Datum ON Auswertung (Datum, IDLektion, anschlaege, ergebnis);

-- The copy tests: one row per result beside its Auswertung row, with the
-- figures as counted (gross keystrokes, errors, error rate in per cent,
-- gross and net keystrokes per minute), the grade, the duration chosen and
-- the seconds typed, whether corrections were allowed, the source and the copy.
CREATE TABLE IF NOT EXISTS Abschrift (ergebnis TEXT PRIMARY KEY, datum TEXT NOT NULL, zeit TEXT NOT NULL,
    titel TEXT NOT NULL, dauer INTEGER NOT NULL, sekunden REAL NOT NULL, korrektur INTEGER NOT NULL,
    brutto INTEGER NOT NULL, fehler INTEGER NOT NULL, quote REAL NOT NULL, anschlaege REAL NOT NULL,
    netto REAL NOT NULL, note INTEGER NOT NULL CHECK (note BETWEEN 1 AND 6), vorlage TEXT NOT NULL,
    abschrift TEXT NOT NULL);
