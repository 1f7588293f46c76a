"""Reports reach a Python callable (warnings by default) and errors()."""
import warnings

import pytest

import lumoaccess


def test_a_failure_reaches_the_handler_once_and_errors_keeps_it(person_db, missing, reports):
    person = lumoaccess.clsPidAccess()
    assert person.Initialize(missing) is True
    assert [code for code, _ in reports] == ["CLS-pida1007"]
    assert lumoaccess.errors() == reports
    assert reports[0][1], "a report has a description"

    # The next call starts a new list; a working call has none.
    assert person.Initialize(person_db.connection) is False
    assert lumoaccess.errors() == []
    assert person.GetGroupID() == 1
    assert len(reports) == 1


def test_by_default_each_report_is_a_warning_with_code_and_text():
    person = lumoaccess.clsPidAccess()
    with pytest.warns(lumoaccess.ReportWarning, match=r"^CLS-pida1035: ") as caught:
        assert person.GetGroupID() == 0
    assert len(caught) == 1
    assert lumoaccess.errors()[0][0] == "CLS-pida1035"


def test_a_handler_that_raises_raises_after_the_call(person_db):
    def strict(code, text):
        raise RuntimeError(code)

    previous = lumoaccess.set_report_handler(strict)
    try:
        person = lumoaccess.clsPidAccess()
        with pytest.raises(RuntimeError, match="CLS-pida1035"):
            person.GetGroupID()
        # Warnings turned into errors behave the same way.
        lumoaccess.set_report_handler(None)
        with warnings.catch_warnings():
            warnings.simplefilter("error")
            with pytest.raises(lumoaccess.ReportWarning):
                person.GetGroupID()
        # And the object still works afterwards.
        with warnings.catch_warnings():
            warnings.simplefilter("error")
            assert person.Initialize(person_db.connection) is False
            assert person.GetGroupID() == 1
    finally:
        lumoaccess.set_report_handler(previous)


def test_the_library_is_the_one_published():
    assert lumoaccess.library_description == "LumoBase Access API Library Ver1.2"
