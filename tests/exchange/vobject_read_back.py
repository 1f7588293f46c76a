#!/usr/bin/python3
"""Our exported vCards read by an independent reader, Debian's python3-vobject.

Usage: vobject_read_back.py PATH-TO-LUMO

Makes the sample folder with `lumo init --sample`, exports it as 3.0 and as
4.0 and checks, for a few persons, the values vobject reads against values
written here by hand: names, readings, the escaped comma of a company, a
folded address line, labelled phones, a note with a line break, the group.
"""
import subprocess
import sys
import tempfile

import vobject


def export(lumo, folder, version, out):
    subprocess.run([lumo, "vcard", "export", folder, "--version", version, "--out", out], check=True,
                   stdout=subprocess.DEVNULL)
    with open(out, "rb") as f:
        data = f.read()
    assert b"\n" not in data.replace(b"\r\n", b""), "every line ends with CR LF"
    return data.decode("utf-8")


def cards_by_family(text):
    cards = {}
    for card in vobject.readComponents(text):
        cards[card.n.value.family] = card
    return cards


def check(text, version):
    cards = cards_by_family(text)
    assert len(cards) == 20, f"{version}: {len(cards)} cards"

    yamada = cards["山田"]
    assert yamada.n.value.given == "太郎"
    assert yamada.fn.value == "山田 太郎"
    assert yamada.contents["x-phonetic-last-name"][0].value == "やまだ"
    assert yamada.contents["x-phonetic-first-name"][0].value == "たろう"
    phones = [(t.group, t.value) for t in yamada.tel_list]
    assert phones == [("item1", "03-3401-1234"), ("item2", "090-1234-5678")], phones
    labels = {l.group: l.value for l in yamada.contents["x-ablabel"]}
    assert labels == {"item1": "自宅", "item2": "携帯", "item3": "PC"}, labels
    assert yamada.email.value == "taro.yamada@example.jp"
    assert yamada.note.value == "26/12/24 年賀状を出す\n27/01/10 新年会の幹事", repr(yamada.note.value)
    assert yamada.adr.value.street == "東京都渋谷区神宮前1-2-3"
    assert yamada.adr.value.code == "150-0001"
    assert yamada.categories.value == ["友人"], yamada.categories.value
    assert yamada.uid.value.startswith("urn:uuid:")

    obrien = cards["O'Brien"]
    assert obrien.org.value == ["Dublin Trading, Ltd.", "Asia Sales"], obrien.org.value
    assert obrien.title.value == "Manager"

    sato = cards["佐藤"]
    # A line folded in the middle of its text.
    assert sato.adr.value.street == "神奈川県横浜市中区山下町1", sato.adr.value.street
    assert sato.adr.value.extended == "グリーンハイツ①-203"

    if version == "4.0":
        spouse = [r for r in yamada.contents.get("related", []) if "spouse" in r.params.get("TYPE", [])]
        assert [r.value for r in spouse] == ["山田 恵子"], [r.value for r in spouse]
    else:
        assert yamada.contents["x-evolution-spouse"][0].value == "山田 恵子"


def main():
    lumo = sys.argv[1]
    with tempfile.TemporaryDirectory() as tmp:
        folder = tmp + "/sample"
        subprocess.run([lumo, "init", "--sample", folder], check=True, stdout=subprocess.DEVNULL)
        for version in ("3.0", "4.0"):
            check(export(lumo, folder, version, f"{tmp}/{version}.vcf"), version)
    print("vobject read every exported card with the expected values")


if __name__ == "__main__":
    main()
