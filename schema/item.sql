-- Item database (Data/iLumoBase.mdb): goods, suppliers, customers, purchase
-- and sales sheets, ToDo lines drawn from sheet notes, and goods groups.
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

CREATE TABLE T_iGROUPING (
    ITYPE_ID INTEGER PRIMARY KEY AUTOINCREMENT,
    ILABEL TEXT COLLATE NOCASE,
    "DEFAULT" YESNO NOT NULL DEFAULT 0
);

CREATE TABLE T_ITEMS (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    ITYPE_ID LONG,
    MAKER TEXT COLLATE NOCASE,
    ITEM_ALIAS TEXT COLLATE NOCASE,
    ITEM_NAME TEXT COLLATE NOCASE,
    ITEM_FORM TEXT COLLATE NOCASE,
    ITEM_SPEC TEXT COLLATE NOCASE,
    MEMO_LABEL1 TEXT COLLATE NOCASE,
    MEMO1 TEXT COLLATE NOCASE,
    PHOTO_PATH TEXT COLLATE NOCASE,
    NOTE MEMO TEXT COLLATE NOCASE
);

CREATE TABLE T_iSUPPLIER (
    SUPPLIER_ID INTEGER PRIMARY KEY AUTOINCREMENT,
    ALIAS TEXT COLLATE NOCASE,
    SUPPLIER TEXT COLLATE NOCASE,
    SLAST_ALIAS TEXT COLLATE NOCASE,
    SLAST_NAME TEXT COLLATE NOCASE,
    SFIRST_ALIAS TEXT COLLATE NOCASE,
    SFIRST_NAME TEXT COLLATE NOCASE,
    S_ZIP TEXT COLLATE NOCASE,
    S_ADDRESS1 TEXT COLLATE NOCASE,
    S_ADDRESS2 TEXT COLLATE NOCASE,
    S_TEL TEXT COLLATE NOCASE,
    S_FAX TEXT COLLATE NOCASE,
    S_MAIL TEXT COLLATE NOCASE,
    S_DEFAULT TEXT COLLATE NOCASE,
    S_LINK_ID LONG
);

CREATE TABLE T_iCUSTOMER (
    CUSTOMER_ID INTEGER PRIMARY KEY AUTOINCREMENT,
    ALIAS TEXT COLLATE NOCASE,
    CUSTOMER TEXT COLLATE NOCASE,
    CLAST_ALIAS TEXT COLLATE NOCASE,
    CLAST_NAME TEXT COLLATE NOCASE,
    CFIRST_ALIAS TEXT COLLATE NOCASE,
    CFIRST_NAME TEXT COLLATE NOCASE,
    C_ZIP TEXT COLLATE NOCASE,
    C_ADDRESS1 TEXT COLLATE NOCASE,
    C_ADDRESS2 TEXT COLLATE NOCASE,
    C_TEL TEXT COLLATE NOCASE,
    C_FAX TEXT COLLATE NOCASE,
    C_MAIL TEXT COLLATE NOCASE,
    C_DEFAULT TEXT COLLATE NOCASE,
    C_LINK_ID LONG
);

-- SHEET_ID is the kind of sheet (0 purchase, 1 sale), not a key.
CREATE TABLE T_SHEET (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    SHEET_ID SHORT,
    GOODS_ID LONG,
    SHEET_DATE DATETIME,
    CUSTOMER_ID LONG,
    SUPPLIER_ID LONG,
    QUANTITY LONG,
    SALES_UNITPRICE LONG,
    SALES_AMOUNT LONG,
    STOCK_UNITPRICE LONG,
    STOCK_AMOUNT LONG,
    NOTE MEMO TEXT COLLATE NOCASE
);

-- SHEET_ID here is a T_SHEET.ID. No key of its own.
CREATE TABLE T_TODOLIST (
    SHEET_ID LONG,
    NOTE MEMO TEXT COLLATE NOCASE,
    CHK_FLAG YESNO NOT NULL DEFAULT 0
);

CREATE INDEX ixiGroupingLabel ON T_iGROUPING (ILABEL);
CREATE INDEX ixItemsType ON T_ITEMS (ITYPE_ID);
CREATE INDEX ixItemsName ON T_ITEMS (ITEM_NAME);
CREATE INDEX ixSupplierName ON T_iSUPPLIER (SUPPLIER);
CREATE INDEX ixCustomerName ON T_iCUSTOMER (CUSTOMER);
CREATE INDEX ixSheetGoods ON T_SHEET (GOODS_ID);
CREATE INDEX ixSheetSupplier ON T_SHEET (SUPPLIER_ID);
CREATE INDEX ixSheetCustomer ON T_SHEET (CUSTOMER_ID);
CREATE INDEX ixTodoSheet ON T_TODOLIST (SHEET_ID);

-- A sheet's ToDo lines go with it. Goods, suppliers and customers are
-- shared by many sheets and are removed only by the library's own
-- routines, which check that no sheet still refers to them.
CREATE TRIGGER trSheetDelete AFTER DELETE ON T_SHEET
BEGIN
    DELETE FROM T_TODOLIST WHERE SHEET_ID = OLD.ID;
END;

-- The planner's picture of a ledger until ANALYZE measures the real one:
-- few groups, some goods and counterparts, many sheets for each goods
-- item and each counterpart. Without it SQLite takes every table to be
-- equally large and, for a search on goods words, reads every sheet
-- instead of the sheets of the few goods that match. The figures give
-- the proportions only; ANALYZE replaces them with the file's own.
ANALYZE sqlite_schema;
INSERT INTO sqlite_stat1 (tbl, idx, stat) VALUES
    ('T_iGROUPING', 'ixiGroupingLabel', '10 1'),
    ('T_ITEMS', 'ixItemsType', '1000 100'),
    ('T_ITEMS', 'ixItemsName', '1000 1'),
    ('T_iSUPPLIER', 'ixSupplierName', '100 1'),
    ('T_iCUSTOMER', 'ixCustomerName', '1000 1'),
    ('T_SHEET', 'ixSheetGoods', '100000 100'),
    ('T_SHEET', 'ixSheetSupplier', '100000 1000'),
    ('T_SHEET', 'ixSheetCustomer', '100000 100'),
    ('T_TODOLIST', 'ixTodoSheet', '10000 1');

-- The one default group; members of a deleted group move here.
INSERT INTO T_iGROUPING (ILABEL, "DEFAULT") VALUES ('未分類', -1);
