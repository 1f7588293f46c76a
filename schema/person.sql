-- Person database (Data/LumoBase.mdb): persons, their phones, e-mail
-- addresses, seasonal greetings, children, ToDo lines and groups.
--
-- Declared types tell the engine layer how to read each column (by the
-- first word): INTEGER PRIMARY KEY = AutoNumber, LONG = Long, SHORT =
-- Integer, YESNO = Yes/No stored as -1/0, DATETIME = automation date,
-- TEXT/MEMO = text. MEMO columns carry a second word TEXT so that SQLite
-- gives them text affinity: a note consisting of digits stays text.
-- COLLATE NOCASE makes = and ORDER BY ignore ASCII case, as Jet does.
-- "DEFAULT" is a column name here and must be quoted in SQLite.

PRAGMA application_id = 1280658767;
PRAGMA user_version = 3;

CREATE TABLE T_GROUPING (
    TYPE_ID INTEGER PRIMARY KEY AUTOINCREMENT,
    LABEL TEXT COLLATE NOCASE,
    "DEFAULT" YESNO NOT NULL DEFAULT 0
);

CREATE TABLE T_PERSON (
    PERSON_ID INTEGER PRIMARY KEY AUTOINCREMENT,
    TYPE_ID LONG,
    LASTNAME TEXT COLLATE NOCASE,
    LASTALIAS TEXT COLLATE NOCASE,
    FIRSTNAME TEXT COLLATE NOCASE,
    FIRSTALIAS TEXT COLLATE NOCASE,
    TITLE TEXT COLLATE NOCASE,
    NICKNAME TEXT COLLATE NOCASE,
    LABEL1 TEXT COLLATE NOCASE,
    MEMO1 TEXT COLLATE NOCASE,
    LABEL2 TEXT COLLATE NOCASE,
    MEMO2 TEXT COLLATE NOCASE,
    HOME_ZIP TEXT COLLATE NOCASE,
    HOME_ADDRESS1 TEXT COLLATE NOCASE,
    HOME_ADDRESS2 TEXT COLLATE NOCASE,
    HOME_URL TEXT COLLATE NOCASE,
    LABEL3 TEXT COLLATE NOCASE,
    MEMO3 TEXT COLLATE NOCASE,
    LABEL4 TEXT COLLATE NOCASE,
    MEMO4 TEXT COLLATE NOCASE,
    ALIAS TEXT COLLATE NOCASE,
    COMPANY TEXT COLLATE NOCASE,
    CO_POSITION TEXT COLLATE NOCASE,
    CO_SECTION TEXT COLLATE NOCASE,
    OFFICE_ZIP TEXT COLLATE NOCASE,
    OFFICE_ADDRESS1 TEXT COLLATE NOCASE,
    OFFICE_ADDRESS2 TEXT COLLATE NOCASE,
    OFFICE_URL TEXT COLLATE NOCASE,
    LABEL5 TEXT COLLATE NOCASE,
    MEMO5 TEXT COLLATE NOCASE,
    LABEL6 TEXT COLLATE NOCASE,
    MEMO6 TEXT COLLATE NOCASE,
    BIRTHDAY DATETIME,
    AGE SHORT,
    CONSTELLATION TEXT COLLATE NOCASE,
    BLOOD TEXT COLLATE NOCASE,
    ANNIVERSARY DATETIME,
    MATEALIAS TEXT COLLATE NOCASE,
    MATE TEXT COLLATE NOCASE,
    HOBBY TEXT COLLATE NOCASE,
    NOTE MEMO TEXT COLLATE NOCASE,
    "DEFAULT" TEXT COLLATE NOCASE
);

-- TYPE is free text chosen by the client; the views below give 'HOME' and
-- 'OFFICE' their meaning.
CREATE TABLE T_PHONE (
    PHONE_ID INTEGER PRIMARY KEY AUTOINCREMENT,
    PERSON_ID LONG,
    LABEL TEXT COLLATE NOCASE,
    TEL_NUMBER TEXT COLLATE NOCASE,
    RANK SHORT,
    TYPE TEXT COLLATE NOCASE
);

CREATE TABLE T_EMAIL (
    MAIL_ID INTEGER PRIMARY KEY AUTOINCREMENT,
    PERSON_ID LONG,
    LABEL TEXT COLLATE NOCASE,
    MAIL_ADDRESS TEXT COLLATE NOCASE,
    RANK SHORT,
    TYPE TEXT COLLATE NOCASE
);

CREATE TABLE T_GREETING (
    GREETING_ID INTEGER PRIMARY KEY AUTOINCREMENT,
    PERSON_ID LONG,
    TARGET LONG,
    NEWYEAR_SEND YESNO NOT NULL DEFAULT 0,
    NEWYEAR_RECEIVE YESNO NOT NULL DEFAULT 0,
    SUMMER_SEND YESNO NOT NULL DEFAULT 0,
    SUMMER_RECEIVE YESNO NOT NULL DEFAULT 0,
    MIDYEAR_SEND YESNO NOT NULL DEFAULT 0,
    MIDYEAR_RECEIVE YESNO NOT NULL DEFAULT 0,
    YEAREND_SEND YESNO NOT NULL DEFAULT 0,
    YEAREND_RECEIVE YESNO NOT NULL DEFAULT 0,
    MEMO TEXT COLLATE NOCASE
);

CREATE TABLE T_CHILDREN (
    CHILD_ID INTEGER PRIMARY KEY AUTOINCREMENT,
    PERSON_ID LONG,
    CHILDREN TEXT COLLATE NOCASE,
    ALIAS TEXT COLLATE NOCASE
);

-- No key of its own: rows are addressed by PERSON_ID and CHK_FLAG only.
CREATE TABLE T_TODOLIST (
    PERSON_ID LONG,
    NOTE MEMO TEXT COLLATE NOCASE,
    CHK_FLAG YESNO NOT NULL DEFAULT 0
);

CREATE INDEX ixGroupingLabel ON T_GROUPING (LABEL);
CREATE INDEX ixPersonType ON T_PERSON (TYPE_ID);
-- Phones and mails are read per person in RANK order (mails descending);
-- these indexes deliver that order without a sort, for the lists and for
-- the views below. The phone index also holds the type and the number,
-- and the mail index the address (from schema version 2), so that the
-- views and the person search's phone test read no table row.
CREATE INDEX ixPhonePerson ON T_PHONE (PERSON_ID, RANK, PHONE_ID, TYPE, TEL_NUMBER);
CREATE INDEX ixEmailPerson ON T_EMAIL (PERSON_ID, RANK DESC, MAIL_ID, MAIL_ADDRESS);
CREATE INDEX ixGreetingPerson ON T_GREETING (PERSON_ID);
CREATE INDEX ixChildrenPerson ON T_CHILDREN (PERSON_ID);
CREATE INDEX ixTodoPerson ON T_TODOLIST (PERSON_ID);

-- The library deletes only the T_PERSON row; the file itself keeps no
-- orphans behind.
CREATE TRIGGER trPersonDelete AFTER DELETE ON T_PERSON
BEGIN
    DELETE FROM T_PHONE WHERE PERSON_ID = OLD.PERSON_ID;
    DELETE FROM T_EMAIL WHERE PERSON_ID = OLD.PERSON_ID;
    DELETE FROM T_GREETING WHERE PERSON_ID = OLD.PERSON_ID;
    DELETE FROM T_CHILDREN WHERE PERSON_ID = OLD.PERSON_ID;
    DELETE FROM T_TODOLIST WHERE PERSON_ID = OLD.PERSON_ID;
END;

-- The person search joins the three views with left joins and DISTINCT,
-- so each view yields at most one row per person; otherwise a person would
-- be listed once per combination.
--
-- Home and office phones: T_PHONE.TYPE 'HOME' and 'OFFICE' (any ASCII
-- case, as the column ignores case; other values such as 'MOBILE' or ''
-- belong to neither view). Of several candidates the view shows the one
-- the person's phone list shows first (lowest RANK, then lowest
-- PHONE_ID). Rows without a number are skipped.
--
-- Mail: whatever the TYPE, the address the person's mail list shows first
-- (mail lists run in descending RANK): highest RANK, then lowest MAIL_ID.
-- Rows without an address are skipped.
--
-- Worked out from the phone and mail rows, finding a person's first row
-- takes two lookups (the row, and the check that no row comes before it),
-- three times per listed person. So from schema version 3 the file keeps
-- each person's first numbers and address in lumo_first_phone and
-- lumo_first_mail, one lookup each, and the views read those. Triggers in
-- plain SQL recompute a person's entries from their rows whenever a phone
-- or mail row of theirs is written, so other programs writing the file
-- keep them true as well. The tables' columns are declared as in T_PHONE
-- and T_EMAIL, so that the views' columns have the same types and
-- collations, and values the same conversions, as the rows they come from.
--
-- Every statement that writes T_PHONE or T_EMAIL carries these triggers
-- compiled into it, so their bodies are kept to plain single-table
-- statements: preparing a write costs far less than with a view in them.
CREATE TABLE lumo_first_phone (
    PERSON_ID LONG NOT NULL,
    TYPE TEXT COLLATE NOCASE NOT NULL,  -- 'HOME' or 'OFFICE'
    TEL_NUMBER TEXT COLLATE NOCASE,
    PRIMARY KEY (PERSON_ID, TYPE)
) WITHOUT ROWID;

CREATE TABLE lumo_first_mail (
    PERSON_ID LONG NOT NULL PRIMARY KEY,
    MAIL_ADDRESS TEXT COLLATE NOCASE
) WITHOUT ROWID;

-- A written row can change only its own person's entry of its own type,
-- and each statement below recomputes such an entry from the rows. A row
-- of another type changes neither view: upper() folds ASCII as the
-- column's NOCASE does, so no home or office row is passed over, and a
-- type that only upper() makes 'HOME' or 'OFFICE' merely recomputes an
-- entry. A new row leaves the entry either as it was or for itself, hence
-- the single INSERT OR REPLACE.
CREATE TRIGGER lumo_first_phone_insert AFTER INSERT ON T_PHONE
WHEN upper(NEW.TYPE) IN ('HOME', 'OFFICE')
BEGIN
    INSERT OR REPLACE INTO lumo_first_phone (PERSON_ID, TYPE, TEL_NUMBER)
        SELECT PERSON_ID, upper(NEW.TYPE), TEL_NUMBER FROM T_PHONE
        WHERE PERSON_ID = NEW.PERSON_ID AND TYPE = upper(NEW.TYPE) AND TEL_NUMBER <> ''
        ORDER BY RANK, PHONE_ID LIMIT 1;
END;

CREATE TRIGGER lumo_first_phone_delete AFTER DELETE ON T_PHONE
WHEN upper(OLD.TYPE) IN ('HOME', 'OFFICE')
BEGIN
    DELETE FROM lumo_first_phone WHERE PERSON_ID = OLD.PERSON_ID AND TYPE = upper(OLD.TYPE);
    INSERT INTO lumo_first_phone (PERSON_ID, TYPE, TEL_NUMBER)
        SELECT PERSON_ID, upper(OLD.TYPE), TEL_NUMBER FROM T_PHONE
        WHERE PERSON_ID = OLD.PERSON_ID AND TYPE = upper(OLD.TYPE) AND TEL_NUMBER <> ''
        ORDER BY RANK, PHONE_ID LIMIT 1;
END;

-- The old person's entry of the old type, then the new person's of the
-- new type (whose row, if it stopped counting, was the old one). When the
-- row keeps its person and type, the first step has recomputed that entry
-- already and the second is skipped.
CREATE TRIGGER lumo_first_phone_update AFTER UPDATE OF PHONE_ID, PERSON_ID, TEL_NUMBER, RANK, TYPE ON T_PHONE
WHEN upper(OLD.TYPE) IN ('HOME', 'OFFICE') OR upper(NEW.TYPE) IN ('HOME', 'OFFICE')
BEGIN
    DELETE FROM lumo_first_phone WHERE PERSON_ID = OLD.PERSON_ID AND TYPE = upper(OLD.TYPE);
    INSERT INTO lumo_first_phone (PERSON_ID, TYPE, TEL_NUMBER)
        SELECT PERSON_ID, upper(OLD.TYPE), TEL_NUMBER FROM T_PHONE
        WHERE upper(OLD.TYPE) IN ('HOME', 'OFFICE')
          AND PERSON_ID = OLD.PERSON_ID AND TYPE = upper(OLD.TYPE) AND TEL_NUMBER <> ''
        ORDER BY RANK, PHONE_ID LIMIT 1;
    INSERT OR REPLACE INTO lumo_first_phone (PERSON_ID, TYPE, TEL_NUMBER)
        SELECT PERSON_ID, upper(NEW.TYPE), TEL_NUMBER FROM T_PHONE
        WHERE upper(NEW.TYPE) IN ('HOME', 'OFFICE')
          AND (NEW.PERSON_ID IS NOT OLD.PERSON_ID OR upper(NEW.TYPE) IS NOT upper(OLD.TYPE))
          AND PERSON_ID = NEW.PERSON_ID AND TYPE = upper(NEW.TYPE) AND TEL_NUMBER <> ''
        ORDER BY RANK, PHONE_ID LIMIT 1;
END;

CREATE TRIGGER lumo_first_mail_insert AFTER INSERT ON T_EMAIL
BEGIN
    INSERT OR REPLACE INTO lumo_first_mail (PERSON_ID, MAIL_ADDRESS)
        SELECT PERSON_ID, MAIL_ADDRESS FROM T_EMAIL
        WHERE PERSON_ID = NEW.PERSON_ID AND MAIL_ADDRESS <> ''
        ORDER BY RANK DESC, MAIL_ID LIMIT 1;
END;

CREATE TRIGGER lumo_first_mail_delete AFTER DELETE ON T_EMAIL
BEGIN
    DELETE FROM lumo_first_mail WHERE PERSON_ID = OLD.PERSON_ID;
    INSERT INTO lumo_first_mail (PERSON_ID, MAIL_ADDRESS)
        SELECT PERSON_ID, MAIL_ADDRESS FROM T_EMAIL
        WHERE PERSON_ID = OLD.PERSON_ID AND MAIL_ADDRESS <> ''
        ORDER BY RANK DESC, MAIL_ID LIMIT 1;
END;

-- As for phones: the old person's entry, then the new person's if the row
-- moved to another person.
CREATE TRIGGER lumo_first_mail_update AFTER UPDATE OF MAIL_ID, PERSON_ID, MAIL_ADDRESS, RANK ON T_EMAIL
BEGIN
    DELETE FROM lumo_first_mail WHERE PERSON_ID = OLD.PERSON_ID;
    INSERT INTO lumo_first_mail (PERSON_ID, MAIL_ADDRESS)
        SELECT PERSON_ID, MAIL_ADDRESS FROM T_EMAIL
        WHERE PERSON_ID = OLD.PERSON_ID AND MAIL_ADDRESS <> ''
        ORDER BY RANK DESC, MAIL_ID LIMIT 1;
    INSERT OR REPLACE INTO lumo_first_mail (PERSON_ID, MAIL_ADDRESS)
        SELECT PERSON_ID, MAIL_ADDRESS FROM T_EMAIL
        WHERE NEW.PERSON_ID IS NOT OLD.PERSON_ID AND PERSON_ID = NEW.PERSON_ID AND MAIL_ADDRESS <> ''
        ORDER BY RANK DESC, MAIL_ID LIMIT 1;
END;

CREATE VIEW vwHomePhone AS
SELECT PERSON_ID, TEL_NUMBER FROM lumo_first_phone WHERE TYPE = 'HOME';

CREATE VIEW vwOfficePhone AS
SELECT PERSON_ID, TEL_NUMBER FROM lumo_first_phone WHERE TYPE = 'OFFICE';

CREATE VIEW vwMailAddress AS
SELECT PERSON_ID, MAIL_ADDRESS FROM lumo_first_mail;

-- The substring index of the person search (schema version 2; files of
-- version 1 have none, and their searches read every person).
--
-- The search tests the name columns below with LIKE '%word%'. The index
-- holds the trigrams (three characters) of those columns, so that a word of
-- three or more characters is looked for among the few persons holding
-- each of its trigrams; LIKE then decides on those few. An index can only
-- narrow a search if every person LIKE would find is among its candidates.
-- The trigrams are of characters as SQLite's own functions read UTF-8, and
-- LIKE compares bytes, so a column whose bytes are not plain UTF-8 (a NUL,
-- a stray byte that would join the character before it, a value that is
-- not text) could hide a match from the index: such persons are listed in
-- lumo_search_person_unindexed and are candidates of every search.
--
-- Everything here is plain SQL run by triggers, so that other programs
-- writing T_PERSON keep the index as true as we do (they need SQLite's
-- FTS5, which standard builds have).
-- The engine finds the index through this table (one row per index).
CREATE TABLE lumo_search_indexes (
    TABLE_NAME TEXT PRIMARY KEY,
    KEY_COLUMN TEXT NOT NULL,
    COLUMN_NAMES TEXT NOT NULL,  -- separated by spaces
    WORDS_TABLE TEXT NOT NULL,
    UNINDEXED_TABLE TEXT NOT NULL
);
INSERT INTO lumo_search_indexes VALUES (
    'T_PERSON', 'PERSON_ID', 'LASTNAME FIRSTNAME LASTALIAS FIRSTALIAS ALIAS COMPANY MATEALIAS MATE',
    'lumo_search_person', 'lumo_search_person_unindexed');
INSERT INTO lumo_search_indexes VALUES (
    'T_PHONE', 'PHONE_ID', 'TEL_NUMBER', 'lumo_search_phone', 'lumo_search_phone_unindexed');

CREATE TABLE lumo_search_numbers (n INTEGER PRIMARY KEY);
WITH RECURSIVE counting(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM counting WHERE n < 1000)
INSERT INTO lumo_search_numbers (n) SELECT n FROM counting;

CREATE VIRTUAL TABLE lumo_search_person USING fts5(
    WORDS, content = '', detail = none, columnsize = 0, tokenize = 'trigram');
CREATE TABLE lumo_search_person_unindexed (PERSON_ID INTEGER PRIMARY KEY);
CREATE TABLE lumo_search_person_pending (PERSON_ID INTEGER PRIMARY KEY);

-- What the index holds per person, in one place for the triggers and for
-- rebuilding it: the searched columns one per line, and whether any of
-- them is unclean. A column is clean when it is Null, or text whose
-- characters take one byte each, or text of at most 1,000 characters each
-- of which SQLite writes back as the same bytes it read.
CREATE VIEW lumo_search_person_text AS
SELECT P.PERSON_ID,
       ifnull(P.LASTNAME, '') || char(10) || ifnull(P.FIRSTNAME, '') || char(10) || ifnull(P.LASTALIAS, '') || char(10) ||
       ifnull(P.FIRSTALIAS, '') || char(10) || ifnull(P.ALIAS, '') || char(10) || ifnull(P.COMPANY, '') || char(10) ||
       ifnull(P.MATEALIAS, '') || char(10) || ifnull(P.MATE, '') AS WORDS,
       EXISTS (SELECT 1 FROM (SELECT P.LASTNAME AS C
                     UNION ALL SELECT P.FIRSTNAME
                     UNION ALL SELECT P.LASTALIAS
                     UNION ALL SELECT P.FIRSTALIAS
                     UNION ALL SELECT P.ALIAS
                     UNION ALL SELECT P.COMPANY
                     UNION ALL SELECT P.MATEALIAS
                     UNION ALL SELECT P.MATE) AS V
               WHERE typeof(V.C) NOT IN ('null', 'text')
                  OR (length(V.C) <> length(CAST(V.C AS BLOB))
                      AND (length(V.C) > 1000
                           OR instr(CAST(V.C AS BLOB), x'00') > 0
                           OR EXISTS (SELECT 1 FROM lumo_search_numbers
                                      WHERE n <= length(V.C)
                                        AND CAST(char(unicode(substr(V.C, n, 1))) AS BLOB)
                                            <> CAST(substr(V.C, n, 1) AS BLOB))))) AS UNCLEAN
FROM T_PERSON AS P;

-- While the library's batch is open (LumoBeginBatch to LumoEndBatch),
-- lumo_search_deferred holds one row: the batch inserts it inside its
-- transaction and deletes it just before its commit, so no other
-- connection ever sees it. Giving FTS5 rows one statement at a time is
-- what an import of many persons spends most on (FTS5 writes its pending
-- words out as a new segment at every statement savepoint), so while the
-- row is there the triggers only note the written keys in the _pending
-- tables, and its deletion hands all their words to the index in one
-- statement. A pending key is also in the _unindexed table, so every
-- search meanwhile still finds its row; the index never held a pending
-- row's words, and is told to forget them only for rows it holds (a
-- contentless FTS5 table told to delete words it does not hold is
-- corrupted). Without the row (other programs, and every write outside a
-- batch) the triggers write the index at once, as before.
CREATE TABLE lumo_search_deferred (BATCH INTEGER PRIMARY KEY);

CREATE TRIGGER lumo_search_person_insert AFTER INSERT ON T_PERSON
WHEN NOT EXISTS (SELECT 1 FROM lumo_search_deferred)
BEGIN
    INSERT INTO lumo_search_person (rowid, WORDS)
        SELECT PERSON_ID, WORDS FROM lumo_search_person_text WHERE PERSON_ID = NEW.PERSON_ID;
    INSERT OR IGNORE INTO lumo_search_person_unindexed (PERSON_ID)
        SELECT PERSON_ID FROM lumo_search_person_text WHERE PERSON_ID = NEW.PERSON_ID AND UNCLEAN;
END;

CREATE TRIGGER lumo_search_person_insert_deferred AFTER INSERT ON T_PERSON
WHEN EXISTS (SELECT 1 FROM lumo_search_deferred)
BEGIN
    INSERT OR IGNORE INTO lumo_search_person_pending (PERSON_ID) VALUES (NEW.PERSON_ID);
    INSERT OR IGNORE INTO lumo_search_person_unindexed (PERSON_ID) VALUES (NEW.PERSON_ID);
END;

-- The index forgets a row by being told the words it was given for it,
-- hence BEFORE: the row still holds them.
CREATE TRIGGER lumo_search_person_delete BEFORE DELETE ON T_PERSON
BEGIN
    INSERT INTO lumo_search_person (lumo_search_person, rowid, WORDS)
        SELECT 'delete', PERSON_ID, WORDS FROM lumo_search_person_text WHERE PERSON_ID = OLD.PERSON_ID
            AND NOT EXISTS (SELECT 1 FROM lumo_search_person_pending WHERE PERSON_ID = OLD.PERSON_ID);
    DELETE FROM lumo_search_person_unindexed WHERE PERSON_ID = OLD.PERSON_ID;
    DELETE FROM lumo_search_person_pending WHERE PERSON_ID = OLD.PERSON_ID;
END;

CREATE TRIGGER lumo_search_person_forget BEFORE UPDATE OF
    PERSON_ID, LASTNAME, FIRSTNAME, LASTALIAS, FIRSTALIAS, ALIAS, COMPANY, MATEALIAS, MATE ON T_PERSON
BEGIN
    INSERT INTO lumo_search_person (lumo_search_person, rowid, WORDS)
        SELECT 'delete', PERSON_ID, WORDS FROM lumo_search_person_text WHERE PERSON_ID = OLD.PERSON_ID
            AND NOT EXISTS (SELECT 1 FROM lumo_search_person_pending WHERE PERSON_ID = OLD.PERSON_ID);
    DELETE FROM lumo_search_person_unindexed WHERE PERSON_ID = OLD.PERSON_ID;
    DELETE FROM lumo_search_person_pending WHERE PERSON_ID = OLD.PERSON_ID;
END;

CREATE TRIGGER lumo_search_person_learn AFTER UPDATE OF
    PERSON_ID, LASTNAME, FIRSTNAME, LASTALIAS, FIRSTALIAS, ALIAS, COMPANY, MATEALIAS, MATE ON T_PERSON
WHEN NOT EXISTS (SELECT 1 FROM lumo_search_deferred)
BEGIN
    INSERT INTO lumo_search_person (rowid, WORDS)
        SELECT PERSON_ID, WORDS FROM lumo_search_person_text WHERE PERSON_ID = NEW.PERSON_ID;
    INSERT OR IGNORE INTO lumo_search_person_unindexed (PERSON_ID)
        SELECT PERSON_ID FROM lumo_search_person_text WHERE PERSON_ID = NEW.PERSON_ID AND UNCLEAN;
END;

CREATE TRIGGER lumo_search_person_learn_deferred AFTER UPDATE OF
    PERSON_ID, LASTNAME, FIRSTNAME, LASTALIAS, FIRSTALIAS, ALIAS, COMPANY, MATEALIAS, MATE ON T_PERSON
WHEN EXISTS (SELECT 1 FROM lumo_search_deferred)
BEGIN
    INSERT OR IGNORE INTO lumo_search_person_pending (PERSON_ID) VALUES (NEW.PERSON_ID);
    INSERT OR IGNORE INTO lumo_search_person_unindexed (PERSON_ID) VALUES (NEW.PERSON_ID);
END;

-- The phone search's index, made and kept as the person search's: the
-- number of each phone, keyed by PHONE_ID.
CREATE VIRTUAL TABLE lumo_search_phone USING fts5(
    WORDS, content = '', detail = none, columnsize = 0, tokenize = 'trigram');
CREATE TABLE lumo_search_phone_unindexed (PHONE_ID INTEGER PRIMARY KEY);
CREATE TABLE lumo_search_phone_pending (PHONE_ID INTEGER PRIMARY KEY);

CREATE VIEW lumo_search_phone_text AS
SELECT Q.PHONE_ID,
       ifnull(Q.TEL_NUMBER, '') AS WORDS,
       (typeof(Q.TEL_NUMBER) NOT IN ('null', 'text')
        OR (length(Q.TEL_NUMBER) <> length(CAST(Q.TEL_NUMBER AS BLOB))
            AND (length(Q.TEL_NUMBER) > 1000
                 OR instr(CAST(Q.TEL_NUMBER AS BLOB), x'00') > 0
                 OR EXISTS (SELECT 1 FROM lumo_search_numbers
                            WHERE n <= length(Q.TEL_NUMBER)
                              AND CAST(char(unicode(substr(Q.TEL_NUMBER, n, 1))) AS BLOB)
                                  <> CAST(substr(Q.TEL_NUMBER, n, 1) AS BLOB))))) AS UNCLEAN
FROM T_PHONE AS Q;

CREATE TRIGGER lumo_search_phone_insert AFTER INSERT ON T_PHONE
WHEN NOT EXISTS (SELECT 1 FROM lumo_search_deferred)
BEGIN
    INSERT INTO lumo_search_phone (rowid, WORDS)
        SELECT PHONE_ID, WORDS FROM lumo_search_phone_text WHERE PHONE_ID = NEW.PHONE_ID;
    INSERT OR IGNORE INTO lumo_search_phone_unindexed (PHONE_ID)
        SELECT PHONE_ID FROM lumo_search_phone_text WHERE PHONE_ID = NEW.PHONE_ID AND UNCLEAN;
END;

CREATE TRIGGER lumo_search_phone_insert_deferred AFTER INSERT ON T_PHONE
WHEN EXISTS (SELECT 1 FROM lumo_search_deferred)
BEGIN
    INSERT OR IGNORE INTO lumo_search_phone_pending (PHONE_ID) VALUES (NEW.PHONE_ID);
    INSERT OR IGNORE INTO lumo_search_phone_unindexed (PHONE_ID) VALUES (NEW.PHONE_ID);
END;

CREATE TRIGGER lumo_search_phone_delete BEFORE DELETE ON T_PHONE
BEGIN
    INSERT INTO lumo_search_phone (lumo_search_phone, rowid, WORDS)
        SELECT 'delete', PHONE_ID, WORDS FROM lumo_search_phone_text WHERE PHONE_ID = OLD.PHONE_ID
            AND NOT EXISTS (SELECT 1 FROM lumo_search_phone_pending WHERE PHONE_ID = OLD.PHONE_ID);
    DELETE FROM lumo_search_phone_unindexed WHERE PHONE_ID = OLD.PHONE_ID;
    DELETE FROM lumo_search_phone_pending WHERE PHONE_ID = OLD.PHONE_ID;
END;

CREATE TRIGGER lumo_search_phone_forget BEFORE UPDATE OF PHONE_ID, TEL_NUMBER ON T_PHONE
BEGIN
    INSERT INTO lumo_search_phone (lumo_search_phone, rowid, WORDS)
        SELECT 'delete', PHONE_ID, WORDS FROM lumo_search_phone_text WHERE PHONE_ID = OLD.PHONE_ID
            AND NOT EXISTS (SELECT 1 FROM lumo_search_phone_pending WHERE PHONE_ID = OLD.PHONE_ID);
    DELETE FROM lumo_search_phone_unindexed WHERE PHONE_ID = OLD.PHONE_ID;
    DELETE FROM lumo_search_phone_pending WHERE PHONE_ID = OLD.PHONE_ID;
END;

CREATE TRIGGER lumo_search_phone_learn AFTER UPDATE OF PHONE_ID, TEL_NUMBER ON T_PHONE
WHEN NOT EXISTS (SELECT 1 FROM lumo_search_deferred)
BEGIN
    INSERT INTO lumo_search_phone (rowid, WORDS)
        SELECT PHONE_ID, WORDS FROM lumo_search_phone_text WHERE PHONE_ID = NEW.PHONE_ID;
    INSERT OR IGNORE INTO lumo_search_phone_unindexed (PHONE_ID)
        SELECT PHONE_ID FROM lumo_search_phone_text WHERE PHONE_ID = NEW.PHONE_ID AND UNCLEAN;
END;

CREATE TRIGGER lumo_search_phone_learn_deferred AFTER UPDATE OF PHONE_ID, TEL_NUMBER ON T_PHONE
WHEN EXISTS (SELECT 1 FROM lumo_search_deferred)
BEGIN
    INSERT OR IGNORE INTO lumo_search_phone_pending (PHONE_ID) VALUES (NEW.PHONE_ID);
    INSERT OR IGNORE INTO lumo_search_phone_unindexed (PHONE_ID) VALUES (NEW.PHONE_ID);
END;

-- The end of a batch: the words of every pending row, given to the index
-- in one statement per index, and the pending keys no longer read by
-- every search except unclean ones, as above. Those are put back rather
-- than the clean ones picked out: SQLite stops early in UNCLEAN, while
-- NOT UNCLEAN made it compute every part, ten times the work. Only when
-- the last marker row goes, so a program that deletes a marker it never
-- inserted changes nothing but the timing.
CREATE TRIGGER lumo_search_deferred_end AFTER DELETE ON lumo_search_deferred
WHEN NOT EXISTS (SELECT 1 FROM lumo_search_deferred)
BEGIN
    INSERT INTO lumo_search_person (rowid, WORDS)
        SELECT PERSON_ID, WORDS FROM lumo_search_person_text
        WHERE PERSON_ID IN (SELECT PERSON_ID FROM lumo_search_person_pending);
    DELETE FROM lumo_search_person_unindexed WHERE PERSON_ID IN (SELECT PERSON_ID FROM lumo_search_person_pending);
    INSERT OR IGNORE INTO lumo_search_person_unindexed (PERSON_ID)
        SELECT PERSON_ID FROM lumo_search_person_text
        WHERE PERSON_ID IN (SELECT PERSON_ID FROM lumo_search_person_pending) AND UNCLEAN;
    DELETE FROM lumo_search_person_pending;
    INSERT INTO lumo_search_phone (rowid, WORDS)
        SELECT PHONE_ID, WORDS FROM lumo_search_phone_text
        WHERE PHONE_ID IN (SELECT PHONE_ID FROM lumo_search_phone_pending);
    DELETE FROM lumo_search_phone_unindexed WHERE PHONE_ID IN (SELECT PHONE_ID FROM lumo_search_phone_pending);
    INSERT OR IGNORE INTO lumo_search_phone_unindexed (PHONE_ID)
        SELECT PHONE_ID FROM lumo_search_phone_text
        WHERE PHONE_ID IN (SELECT PHONE_ID FROM lumo_search_phone_pending) AND UNCLEAN;
    DELETE FROM lumo_search_phone_pending;
END;

-- Each of the three views above has at most one row per PERSON_ID. The
-- engine reads this table to know it (from schema version 2), and may then
-- leave out a DISTINCT that such a key makes idle, as in the person list.
CREATE TABLE lumo_view_keys (
    VIEW_NAME TEXT PRIMARY KEY,
    KEY_COLUMN TEXT NOT NULL
);
INSERT INTO lumo_view_keys VALUES ('vwHomePhone', 'PERSON_ID'), ('vwOfficePhone', 'PERSON_ID'),
    ('vwMailAddress', 'PERSON_ID');

-- The one default group; members of a deleted group move here.
INSERT INTO T_GROUPING (LABEL, "DEFAULT") VALUES ('未分類', -1);
