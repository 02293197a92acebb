"""The lesson text panel: editing, saving, discarding, the save question."""
import os

import pytest

from driver import enabled, text_of, wait_for

ORIGINAL = "Klávesnica má písmená, číslice a niekoľko zvláštnych klávesov."
TYPED = " Ťuk, ľahko a žlto."


def open_keyboard_lesson(o):
    o.press("1. deň")
    o.press("Klávesnica")
    o.find("push button", "Písmená a číslice")
    return memo(o)


def memo(o):
    return wait_for(
        "the lesson text", lambda: next((n for n in o.find_all("text") if ORIGINAL[:20] in (text_of(n) or "")), None))


def start_editing(o):
    o.menu("Pomocník", "Editácia", "Editácia textu")
    m = memo(o)
    wait_for("the text editable", lambda: "editable" in str(m.get_state_set().get_states()).lower())
    o.click(m)
    o.key("ctrl+End")
    o.type(TYPED)
    wait_for("the typed text", lambda: TYPED.strip() in (text_of(m) or ""))
    return m


def files(course):
    folder = os.path.join(course, "01._deň")
    with open(os.path.join(folder, "klavesnica.txt"), "rb") as f:
        txt = f.read()
    rtf_path = os.path.join(folder, "klavesnica.rtf")
    rtf = open(rtf_path, "rb").read() if os.path.exists(rtf_path) else None
    return txt, rtf


@pytest.mark.both_sizes
def test_discarding_an_edit_through_the_menu(start, course):
    c, _ = course
    before = files(c)
    o = start()
    open_keyboard_lesson(o)
    start_editing(o)
    assert o.menu_item_enabled("Pomocník", "Editácia", "Ignorovať zmeny"), \
        "Ignorovať zmeny cannot be chosen while the text is being edited"
    # The Escapes that closed the menus left the screen as it was: no question
    # about the edited text, the lesson still open.
    assert not o._message_box(), "Escape closing a menu also left the screen"
    o.find("push button", "Písmená a číslice")
    o.menu("Pomocník", "Editácia", "Ignorovať zmeny")
    m = memo(o)
    wait_for("the text as it was", lambda: TYPED.strip() not in (text_of(m) or ""))
    assert files(c) == before


def test_saving_writes_the_text_and_its_rich_text_twin(start, course):
    c, _ = course
    o = start()
    open_keyboard_lesson(o)
    start_editing(o)
    o.menu("Pomocník", "Editácia", "Uloženie textu")
    wait_for("the .rtf twin", lambda: files(c)[1] is not None)
    txt, rtf = files(c)
    lines = txt.split(b"\r\n")
    assert lines[0].startswith(b"<")
    assert ORIGINAL.encode("cp1250") in (lines[0][1:], lines[1]), "the description's first line was lost"
    assert TYPED.strip().encode("cp1250") in txt
    assert b"[P\xedsmen\xe1 a \xe8\xedslice] pismena.txt" in lines, "the item line was lost"
    assert b"\n" not in txt.replace(b"\r\n", b""), "a bare line feed in a course file"
    assert rtf.startswith(b"{\\rtf1") and b"\\ansicpg1250" in rtf
    # Ť, ľ and ž are Windows-1250 letters: written as \'xx escapes.
    assert b"\\'8duk" in rtf and b"\\'bea" in rtf
    # Shown again read-only, with the saved text.
    o.press("Späť")
    o.press("Klávesnica")
    wait_for("the saved text shown", lambda: TYPED.strip() in (text_of(memo(o)) or ""))


@pytest.mark.parametrize("leave", ["Späť", "Escape"])
def test_leaving_asks_to_save_an_edit(start, course, leave):
    c, _ = course
    before = files(c)
    o = start()
    open_keyboard_lesson(o)
    start_editing(o)

    def go_back():
        if leave == "Escape":
            o.key("Escape")
        else:
            o.press("Späť")

    # No: nothing is written, the screen stays open with the text as typed.
    go_back()
    assert "uložiť" in o.message_text()
    o.answer("Nie")
    o.find("push button", "Písmená a číslice")
    assert TYPED.strip() in text_of(memo(o))
    assert files(c) == before
    # Yes: saved, and the level below is shown.
    go_back()
    o.answer("Áno")
    o.find("push button", "Klávesnica")
    assert TYPED.strip().encode("cp1250") in files(c)[0]
    assert o.running()
