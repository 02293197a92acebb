"""The lesson editor: the content list edited, saved with one backup, or left as it was."""
import glob
import os

import pytest

import driver
from driver import name, role, tab_to, text_of, wait_for, walk

DAY2 = "02._deň"
NEW_LINE = "[Nová úloha: škatuľa] nova_uloha.txt"


def folder_state(folder):
    out = {}
    for f in sorted(os.listdir(folder)):
        with open(os.path.join(folder, f), "rb") as h:
            out[f] = h.read()
    return out


def open_editor(o):
    o.press("2. deň")
    o.find("push button", "Súbory")
    o.menu("Pomocník", "Editácia", "Editácia lekcie")
    w = o.window("Editácia lekcie")
    memo = wait_for("the list in the editor", lambda: next(
        (n for n in walk(w) if role(n) == "text" and (text_of(n) or "").startswith("<Druhý deň")), None))
    for b in ("Ulož", "Zruš zmeny", "Editácia textu"):
        assert name(o.find("push button", b, within=w))
    return w, memo


def add_line(o, memo):
    o.click(memo)
    o.key("ctrl+Home")
    o.key("Down")
    o.key("Home")
    o.type(NEW_LINE)
    o.key("Return")
    wait_for("the typed line", lambda: NEW_LINE in (text_of(memo) or ""))


@pytest.mark.both_sizes
def test_saving_the_list_writes_windows_1250_and_one_backup(start, course):
    c, _ = course
    folder = os.path.join(c, DAY2)
    path = os.path.join(folder, "Obsah.txt")
    with open(path, "rb") as f:
        original = f.read()
    assert not glob.glob(os.path.join(folder, "*.bak"))
    o = start()
    w, memo = open_editor(o)
    add_line(o, memo)
    o.press("Ulož", within=w)
    wait_for("the editor closed", lambda: not [x for x in o.windows() if name(x) == "Editácia lekcie"])
    with open(path, "rb") as f:
        data = f.read()
    lines = driver.read_cp1250_lines(path)
    old = original.decode("cp1250").split("\r\n")
    # The description may be laid out anew; its words and every item line stay.
    assert "Druhý deň: súbory a priečinky." in "\n".join(lines[:3])
    items = [x for x in lines if x.startswith(("[", "//"))]
    old_items = [x for x in old if x.startswith(("[", "//"))]
    assert items == [NEW_LINE] + old_items, "a line of the list was lost or changed"
    assert data.endswith(b"\r\n")
    assert NEW_LINE.encode("cp1250") + b"\r\n" in data
    backups = glob.glob(os.path.join(folder, "*.bak"))
    assert len(backups) == 1, backups
    with open(backups[0], "rb") as f:
        assert f.read() == original, "the backup is not the list as it was"
    # The day shows the new item when it is opened again.
    o.press("Späť")
    o.press("2. deň")
    o.find("push button", "Nová úloha: škatuľa")
    assert o.running()


def test_cancelling_the_editor_writes_nothing(start, course):
    c, _ = course
    folder = os.path.join(c, DAY2)
    before = folder_state(folder)
    o = start()
    w, memo = open_editor(o)
    add_line(o, memo)
    # With the keyboard: back out of the list (Tab is a character there) to "Zruš zmeny", Enter.
    cancel = o.find("push button", "Zruš zmeny", within=w)
    tab_to(o, cancel, key="shift+Tab")
    o.key("space")
    wait_for("the editor closed", lambda: not [x for x in o.windows() if name(x) == "Editácia lekcie"])
    assert folder_state(folder) == before
    o.gone("push button", "Nová úloha: škatuľa", timeout=2)

    # Escape offers to save the changed list; "Nie" leaves it the same way.
    w, memo = open_editor_again(o)
    add_line(o, memo)
    o.key("Escape")
    assert o.message_text() == "Chcete uložiť memo?"
    o.answer("Nie")
    wait_for("the editor closed by Escape", lambda: not [x for x in o.windows() if name(x) == "Editácia lekcie"])
    assert folder_state(folder) == before
    assert o.running()


def open_editor_again(o):
    o.menu("Pomocník", "Editácia", "Editácia lekcie")
    w = o.window("Editácia lekcie")
    memo = wait_for("the list in the editor", lambda: next(
        (n for n in walk(w) if role(n) == "text" and (text_of(n) or "").startswith("<Druhý deň")), None))
    return w, memo


def test_every_control_of_the_editor_has_a_name(start):
    o = start()
    w, _ = open_editor(o)
    unnamed = [role(n) for n in walk(w) if role(n) in ("text", "push button", "list", "combo box") and not name(n).strip()]
    assert not unnamed, f"controls without a name: {unnamed}"


def test_enter_presses_the_focused_button_of_the_editor(start, course):
    o = start()
    w, memo = open_editor(o)
    o.click(memo)
    tab_to(o, o.find("push button", "Zruš zmeny", within=w), key="shift+Tab")
    o.key("Return")
    wait_for("the editor closed by Enter", lambda: not [x for x in o.windows() if name(x) == "Editácia lekcie"],
             timeout=3)
