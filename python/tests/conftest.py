"""Scratch databases made from the suite's DDL, reached through lumoaccess."""
import os
import pathlib
import sqlite3

import pytest

SCHEMA_DIR = pathlib.Path(os.environ.get("LUMO_SCHEMA_DIR", pathlib.Path(__file__).parents[2] / "schema"))


class Scratch:
    def __init__(self, path, ddl):
        self.path = path
        with sqlite3.connect(path) as db:
            db.executescript((SCHEMA_DIR / ddl).read_text(encoding="utf-8"))

    @property
    def connection(self):
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + str(self.path)

    def rows(self, sql, *args):
        with sqlite3.connect(self.path) as db:
            return db.execute(sql, args).fetchall()

    def exec(self, sql):
        with sqlite3.connect(self.path) as db:
            db.executescript(sql)


@pytest.fixture
def person_db(tmp_path):
    return Scratch(tmp_path / "LumoBase.mdb", "person.sql")


@pytest.fixture
def item_db(tmp_path):
    return Scratch(tmp_path / "iLumoBase.mdb", "item.sql")


@pytest.fixture
def scrap_db(tmp_path):
    return Scratch(tmp_path / "LumoScrap.mdb", "scrap.sql")


@pytest.fixture
def reports():
    """Every report of the test, as (code, description), instead of warnings."""
    import lumoaccess

    seen = []
    previous = lumoaccess.set_report_handler(lambda code, text: seen.append((code, text)))
    yield seen
    lumoaccess.set_report_handler(previous)


@pytest.fixture
def missing(tmp_path):
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + str(tmp_path / "no_such.mdb")
