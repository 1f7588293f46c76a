#!/usr/bin/env python3
"""Prints the sheet list of a goods ledger: date, goods, counterpart, quantity.

    PYTHONPATH=build/bin examples/sheet_list.py ~/lumo/Data/iLumoBase.mdb
"""
import sqlite3
import sys

import lumoaccess


def main(path):
    item = lumoaccess.clsIidAccess()
    if item.Initialize("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path):
        return 1
    with sqlite3.connect(f"file:{path}?mode=ro", uri=True) as db:
        ids = [r[0] for r in db.execute("SELECT ID FROM T_SHEET ORDER BY ID")]
    for sheet_id in ids:
        v = item.GetGoodsInformationOverView(sheet_id)
        when = v.dyDate.strftime("%Y/%m/%d") if v.dyDate else ""
        kind = "仕入" if v.blnFlag else "販売"
        print(f"{sheet_id:6}  {when:10}  {kind}  {v.strGoodsName}  {v.strName}  {v.intQuantity}")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:2]))
