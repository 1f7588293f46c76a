-- Scrap database (Data/LumoScrap.mdb): clippings and their groups.
--
-- Declared types tell the engine layer how to read each column (by the
-- first word): INTEGER PRIMARY KEY = AutoNumber, LONG = Long, YESNO =
-- Yes/No stored as -1/0, DATETIME = automation date, TEXT/MEMO = text.
-- MEMO columns carry a second word TEXT so that SQLite gives them text
-- affinity: a body consisting of digits stays text. COLLATE NOCASE makes
-- = and ORDER BY ignore ASCII case, as Jet does. "DEFAULT" is a column
-- name here and must be quoted in SQLite.

PRAGMA application_id = 1280658767;
PRAGMA user_version = 3;

-- Same table name as the person groups, but its own key column name.
CREATE TABLE T_GROUPING (
    LABEL_ID INTEGER PRIMARY KEY AUTOINCREMENT,
    LABEL TEXT COLLATE NOCASE,
    "DEFAULT" YESNO NOT NULL DEFAULT 0
);

-- REG_DATE is written only when the caller gives a date, so a new row
-- without one is stamped with the current local date and time (an
-- automation date: Julian day 2415018.5 is 1899-12-30 00:00).
CREATE TABLE T_SCRAP (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    LABEL_ID LONG,
    REG_DATE DATETIME DEFAULT (julianday('now', 'localtime') - 2415018.5),
    ED_DATE DATETIME,
    TITLE TEXT COLLATE NOCASE,
    SOURCE TEXT COLLATE NOCASE,
    KEYWORD TEXT COLLATE NOCASE,
    PLACE TEXT COLLATE NOCASE,
    BODY MEMO TEXT COLLATE NOCASE,
    BODY_PATH TEXT COLLATE NOCASE,
    MEMO TEXT COLLATE NOCASE
);

CREATE INDEX ixGroupingLabel ON T_GROUPING (LABEL);
CREATE INDEX ixScrapLabel ON T_SCRAP (LABEL_ID);

-- The one default group; members of a deleted group move here.
INSERT INTO T_GROUPING (LABEL, "DEFAULT") VALUES ('未分類', -1);
