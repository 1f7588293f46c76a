"""Callers that opt in get a report as the exception class of its kind."""
import pytest

import lumoaccess


@pytest.fixture
def raising():
    previous = lumoaccess.raise_reports(True)
    yield
    lumoaccess.raise_reports(previous)


def store(person, last_name):
    info = lumoaccess.PersonInformation()
    info.strLastName = last_name
    return person.SetPersonalInformationEZ(info, [], [])


# The kind of each failure, written out by hand: (failure, class, kind number).
KINDS = [
    ("missing file", lumoaccess.NotFoundError, 2),
    ("second name under a unique index", lumoaccess.ConstraintError, 3),
    ("text file", lumoaccess.DamagedFileError, 7),
    ("no data source", lumoaccess.BadArgumentError, 8),
]


@pytest.mark.parametrize("failure, error, kind", KINDS, ids=[k[0] for k in KINDS])
def test_each_failure_raises_the_class_of_its_kind(person_db, missing, raising, failure, error, kind):
    person = lumoaccess.clsPidAccess()
    if failure == "missing file":
        call = lambda: person.Initialize(missing)
    elif failure == "no data source":
        call = lambda: person.Initialize("Provider=Microsoft.Jet.OLEDB.4.0;")
    elif failure == "text file":
        person_db.path.write_text("氏名,電話\n", encoding="utf-8")
        call = lambda: person.Initialize(person_db.connection)
    else:
        person_db.exec("CREATE UNIQUE INDEX one_last_name ON T_PERSON (LASTNAME)")
        person.Initialize(person_db.connection)
        store(person, "鈴木")
        call = lambda: store(person, "鈴木")
    with pytest.raises(error) as raised:
        call()
    assert isinstance(raised.value, lumoaccess.ReportError)
    assert raised.value.kind == kind == error.kind
    assert raised.value.code.startswith("CLS-pida"), raised.value.code
    assert raised.value.description
    assert str(raised.value) == raised.value.code + ": " + raised.value.description
    # errors() still lists the call's reports.
    assert lumoaccess.errors()[0] == (raised.value.code, raised.value.description)


def test_a_working_call_raises_nothing(person_db, raising):
    person = lumoaccess.clsPidAccess()
    assert person.Initialize(person_db.connection) is False
    assert lumoaccess.errors() == []


def test_without_opting_in_the_flags_stay_and_nothing_is_raised(missing, reports):
    assert lumoaccess.raise_reports(False) is False
    person = lumoaccess.clsPidAccess()
    assert person.Initialize(missing) is True
    assert [code for code, _ in reports] == ["CLS-pida1007"]


def test_raise_reports_returns_the_previous_setting():
    assert lumoaccess.raise_reports(True) is False
    assert lumoaccess.raise_reports(False) is True
