"""The person class: records, lists, Japanese texts and datetime fields."""
import datetime as dt

import pytest

import lumoaccess as la


@pytest.fixture
def person(person_db, reports):
    p = la.clsPidAccess()
    assert p.Initialize(person_db.connection) is False
    return p


def phone(label, number):
    r = la.PhoneInformation()
    r.strLabel, r.strPhoneNumber = label, number
    return r


def mail(label, address):
    r = la.MailInformation()
    r.strLabel, r.strMailAddress = label, address
    return r


def new_person(**fields):
    r = la.PersonInformation()
    r.strLastName, r.strFirstName, r.strLastAlias = "山田", "花子", "やまだ"
    r.strDefaut = "自宅"
    for name, value in fields.items():
        setattr(r, name, value)
    return r


@pytest.mark.parametrize(
    "value, stored",
    [
        (dt.datetime(1899, 12, 31), 1.0),
        (dt.datetime(2024, 2, 29, 12, 0), 45351.5),
        (dt.datetime(1899, 12, 29, 6, 0), -1.25),  # before day 0: the fraction is the time of day
        (dt.datetime(1800, 1, 1), -36522.0),
        (dt.date(1970, 1, 1), 25569.0),
    ],
)
def test_dates_are_stored_as_automation_dates_and_read_back(person, person_db, reports, value, stored):
    record = new_person(dyBirthday=value)
    assert person.SetPersonalInformation(record, [], [], [], []) is False
    assert person_db.rows("SELECT BIRTHDAY FROM T_PERSON WHERE PERSON_ID = ?", record.lngPersonID) == [(stored,)]
    expected = value if isinstance(value, dt.datetime) else dt.datetime(value.year, value.month, value.day)
    assert person.GetPersonalInformation(record.lngPersonID).dyBirthday == expected
    assert reports == []


def test_day_zero_is_none_both_ways(person, person_db):
    record = new_person(dyBirthday=None)
    assert record.dyBirthday is None and record.dyAnniversary is None
    assert person.SetPersonalInformation(record, [], [], [], []) is False
    person_db.exec(f"UPDATE T_PERSON SET ANNIVERSARY = 0 WHERE PERSON_ID = {record.lngPersonID}")
    back = person.GetPersonalInformation(record.lngPersonID)
    assert back.dyBirthday is None
    assert back.dyAnniversary is None
    with pytest.raises(TypeError):
        record.dyBirthday = "2024/01/01"


def test_a_date_outside_the_years_100_to_9999_is_a_value_error_both_ways(person, person_db):
    with pytest.raises(ValueError):
        new_person(dyBirthday=dt.datetime(99, 12, 31))
    record = new_person()
    assert person.SetPersonalInformation(record, [], [], [], []) is False
    person_db.exec(f"UPDATE T_PERSON SET BIRTHDAY = 3000000 WHERE PERSON_ID = {record.lngPersonID}")  # year 10113
    back = person.GetPersonalInformation(record.lngPersonID)
    with pytest.raises(ValueError):
        back.dyBirthday


def test_a_person_with_its_lists_round_trips_in_japanese(person, person_db, reports):
    record = new_person(strNote="2024/05/01 打ち合わせ\n", strHomeAddress1="東京都千代田区１－１")
    phones = [phone("自宅", "03-1234-5678"), phone("携帯", "090-0000-1111"), phone("空", "")]
    mails = [mail("個人", "hanako@example.jp")]
    greeting = la.GreetingInformation()
    greeting.lngYear, greeting.blnNewYear_Send, greeting.strMemo = 2024, True, "年賀状済み"
    child = la.ChildrenInformation()
    child.strName, child.strAlias = "太郎", "たろう"
    greetings, children = [greeting], [child]

    assert person.SetPersonalInformation(record, phones, mails, greetings, children) is False
    assert record.lngPersonID > 0
    assert all(p.lngPersonID == record.lngPersonID for p in phones[:2])
    assert phones[0].lngPhoneID > 0 and greetings[0].lngGreetingID > 0 and children[0].lngChildID > 0

    back = person.GetPersonalInformation(record.lngPersonID)
    assert (back.strLastName, back.strFirstName, back.strHomeAddress1) == ("山田", "花子", "東京都千代田区１－１")

    read_phones = []
    assert person.GetPhoneNumberInfo(record.lngPersonID, read_phones) is False
    assert [(p.strLabel, p.strPhoneNumber) for p in read_phones] == [("自宅", "03-1234-5678"), ("携帯", "090-0000-1111")]
    read_mails, read_greetings, read_children = [], [], []
    assert person.GetMailAddressInfo(record.lngPersonID, read_mails) is False
    assert person.GetGreetingInformation(record.lngPersonID, read_greetings) is False
    assert person.GetChildInformation(record.lngPersonID, read_children) is False
    assert read_mails[0].strMailAddress == "hanako@example.jp"
    assert (read_greetings[0].lngYear, read_greetings[0].blnNewYear_Send, read_greetings[0].strMemo) == (2024, True, "年賀状済み")
    assert read_children[0].strName == "太郎"

    overview = person.GetPersonalInformaionOverView(record.lngPersonID)
    assert overview.strName == "山田 花子"
    assert overview.strPhone1 == "03-1234-5678"

    # A list the reader finds nothing for is left as it was.
    untouched = [phone("残す", "1")]
    assert person.GetPhoneNumberInfo(999, untouched) is False
    assert untouched[0].strLabel == "残す"

    # Update: fewer phones, a changed name.
    back.strFirstName = "花江"
    phones2 = read_phones[:1]
    assert person.UpPersonalInformation(back, phones2, read_mails, read_greetings, read_children) is False
    assert person.GetPersonalInformation(record.lngPersonID).strFirstName == "花江"

    ez = new_person(strLastName="鈴木")
    ez_phones = [phone("会社", "06-1111-2222")]
    assert person.SetPersonalInformationEZ(ez, ez_phones, []) is False
    assert ez.lngPersonID > record.lngPersonID and ez_phones[0].lngPersonID == ez.lngPersonID

    assert person.DelPersonalInformation(ez.lngPersonID) is False
    assert person_db.rows("SELECT COUNT(*) FROM T_PERSON WHERE PERSON_ID = ?", ez.lngPersonID) == [(0,)]
    assert reports == []


def test_groups_notes_and_searches(person, person_db, reports):
    label_id = person.GetGroupIDEx("友人")
    assert label_id > 0
    labels = []
    person.GetGroupLabel(labels)
    assert [list(row) for row in labels][-1] == [str(label_id), "友人"]
    assert person.GetGroupingLabel() != ""
    person.DeleteGroup(label_id)
    assert person_db.rows("SELECT COUNT(*) FROM T_GROUPING WHERE LABEL = '友人'") == [(0,)]

    record = new_person()
    assert person.SetPersonalInformation(record, [], [], [], []) is False
    assert person.UpdateNote(record.lngPersonID, "01/09/01 電話する\r\nメモ") is None
    assert person_db.rows("SELECT COUNT(*) FROM T_TODOLIST") == [(1,)]
    person.DeleteToDo()

    query = person.CreateSimpleViewQuery("山田", "")
    assert "山田" in query
    assert person.CreateSimpleViewQuery("", "") == ""
    assert "山田" in person.GetFindView("山田", "")
    assert reports == []
