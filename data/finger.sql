-- The finger database "finger.mdb": one row of error counts per finished
-- exercise, written right after its row in velkora.mdb.
CREATE TABLE fehlerliste (
    LIHA           INTEGER,
    lkleinerfinger INTEGER,
    lringfinger    INTEGER,
    lmittelfinger  INTEGER,
    lzeigefinger   INTEGER,
    ldaumenfinger  INTEGER,
    rdaumenfinger  INTEGER,
    rzeigefinger   INTEGER,
    rmittelfinger  INTEGER,
    rringfinger    INTEGER,
    rkleinerfinger INTEGER,
    REHA           INTEGER
);

-- The errors of each finger over all exercises, one row. The column names
-- are the category labels of the finger chart, so they are written for
-- the reader. Hand sums are left out: they would dwarf the fingers.
CREATE VIEW statistik AS
SELECT
    Sum(lkleinerfinger) AS "Linker kleiner Finger",
    Sum(lringfinger)    AS "Linker Ringfinger",
    Sum(lmittelfinger)  AS "Linker Mittelfinger",
    Sum(lzeigefinger)   AS "Linker Zeigefinger",
    Sum(ldaumenfinger)  AS "Linker Daumen",
    Sum(rdaumenfinger)  AS "Rechter Daumen",
    Sum(rzeigefinger)   AS "Rechter Zeigefinger",
    Sum(rmittelfinger)  AS "Rechter Mittelfinger",
    Sum(rringfinger)    AS "Rechter Ringfinger",
    Sum(rkleinerfinger) AS "Rechter kleiner Finger"
FROM fehlerliste;

-- Marks of the stored results, one per result: a result whose mark is here
-- is never stored again.
CREATE TABLE IF NOT EXISTS Ablage (ergebnis TEXT PRIMARY KEY);
