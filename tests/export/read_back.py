#!/usr/bin/env python3
"""Reads exported files back with Python's own csv module and cp932 codec,
and checks every field against the database as `lumo sql` shows it: commas,
quotes and line breaks inside values must come back unchanged."""
import csv
import shutil
import io
import subprocess
import sys
import tempfile
from pathlib import Path

lumo = Path(sys.argv[1])
work = Path(tempfile.mkdtemp(prefix="lumo_readback_"))
subprocess.run([lumo, "init", "--sample", work], check=True, capture_output=True)
# Values that a naive writer would split or shift.
subprocess.run([lumo, "sql", work / "Data/LumoBase.mdb",
                "UPDATE T_PERSON SET HOBBY = '釣り, 囲碁 \"初段\"' & char(13) & char(10) & '将棋' WHERE PERSON_ID = 1"],
               check=True, capture_output=True)
subprocess.run([lumo, "sql", work / "Data/LumoBase.mdb",
                "UPDATE T_PERSON SET MEMO1 = 'a,b' WHERE PERSON_ID = 2"], check=True, capture_output=True)


def sql_rows(db, statement):
    out = subprocess.run([lumo, "sql", work / "Data" / db, statement], check=True, capture_output=True).stdout
    return list(csv.reader(io.StringIO(out.decode("utf-8"), newline="")))


def exported(kind):
    subprocess.run([lumo, "export", kind, work], check=True, capture_output=True)
    with open(work / f"{kind}.csv", encoding="cp932", newline="") as f:
        return list(csv.reader(f))


failures = 0


def check(what, got, want):
    global failures
    if got != want:
        failures += 1
        print(f"FAIL {what}: got {got!r}, want {want!r}")


persons = exported("person")
check("person header width", len(persons[0]), 39)
db = sql_rows("LumoBase.mdb", "SELECT LASTNAME, FIRSTNAME, MEMO1, HOME_ADDRESS1, COMPANY, HOBBY FROM T_PERSON")[1:]
check("person count", len(persons) - 1, len(db))
for line, (last, first, memo1, addr, company, hobby) in zip(persons[1:], db):
    check("person fields", [line[3], line[4], line[8], line[12], line[20], line[38]],
          [last, first, memo1, addr, company, hobby])

goods = exported("goods")
check("goods header width", len(goods[0]), 25)
sheets = sql_rows("iLumoBase.mdb", "SELECT T_ITEMS.ITEM_NAME, T_ITEMS.ITEM_SPEC FROM T_SHEET INNER JOIN T_ITEMS ON T_SHEET.GOODS_ID = T_ITEMS.ID ORDER BY T_SHEET.ID")[1:]
check("sheet count", len(goods) - 1, len(sheets))
for line, (name, item_spec) in zip(goods[1:], sheets):
    check("sheet width", len(line), 25)
    check("sheet goods", [line[5], line[7]], [name, item_spec])

shutil.rmtree(work, ignore_errors=True)
print(f"{len(persons) - 1 + len(goods) - 1 - failures} passed, {failures} failed")
sys.exit(1 if failures else 0)
