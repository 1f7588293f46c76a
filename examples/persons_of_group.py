#!/usr/bin/env python3
"""Lists the persons of a group with their first phone, then the open ToDo rows.

    PYTHONPATH=build/bin examples/persons_of_group.py ~/lumo/Data/LumoBase.mdb [group caption]

Without a caption every person is listed. The person list and the ToDo list
are the database's own tables, read with sqlite3; each person's phones come
through the library.
"""
import sqlite3
import sys
import unicodedata

import lumoaccess


def width(text):
    """Columns on a terminal: full-width (Japanese) characters take two."""
    return sum(2 if unicodedata.east_asian_width(ch) in "WF" else 1 for ch in text)


def table(rows, headers):
    widths = [max(width(str(c)) for c in column) for column in zip(headers, *rows)]
    for row in [headers, ["-" * w for w in widths], *rows]:
        print("  ".join(str(c) + " " * (w - width(str(c))) for c, w in zip(row, widths)))


def main(path, caption=None):
    person = lumoaccess.clsPidAccess()
    if person.Initialize("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path):
        return 1
    labels = []
    person.GetGroupLabel(labels)
    groups = {text: int(number) for number, text in labels}
    if caption is not None and caption not in groups:
        print(f"no group {caption!r}; groups: {', '.join(groups)}", file=sys.stderr)
        return 1
    with sqlite3.connect(f"file:{path}?mode=ro", uri=True) as db:
        where, args = ("WHERE TYPE_ID = ?", [groups[caption]]) if caption is not None else ("", [])
        ids = [r[0] for r in db.execute(f"SELECT PERSON_ID FROM T_PERSON {where} ORDER BY PERSON_ID", args)]
        todo = db.execute("SELECT * FROM T_TODOLIST WHERE CHK_FLAG <> 0").fetchall()
        todo_headers = [d[0] for d in db.execute("SELECT * FROM T_TODOLIST LIMIT 0").description]
    rows = []
    for person_id in ids:
        info = person.GetPersonalInformation(person_id)
        phones = []
        person.GetPhoneNumberInfo(person_id, phones)
        first = phones[0].strPhoneNumber if phones else ""
        rows.append([person_id, f"{info.strLastName} {info.strFirstName}", first])
    table(rows, ["ID", "氏名", "電話"])
    print()
    table(todo, todo_headers)
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
