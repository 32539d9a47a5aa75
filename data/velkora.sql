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

-- The progress window groups by day, also over lessons or texts alone: the
-- index covers all it reads, in date order.
CREATE INDEX IF NOT EXISTS Auswertung_Datum ON Auswertung (Datum, IDLektion, anschlaege, ergebnis);
