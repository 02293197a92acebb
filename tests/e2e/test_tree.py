"""The tree window: searching a caption, the found lesson in a second copy, the integrity check."""
import hashlib
import os
import stat

import pytest

import driver
from driver import child_copy, enabled, name, role, showing, text_of, wait_for, walk

TITLE = "Orbino - Práca s počítačom"


def open_tree(o, day="1. deň"):
    o.press(day)
    o.find("push button", "Späť")
    o.menu("Pomocník", "Strom")
    w = o.window("Strom")
    o.find("push button", "Návrat", within=w)
    return w


def search(o, w, caption):
    o.click(o.find("menu item", "Hľadaj", within=w))
    box = wait_for("the search box", lambda: next((n for n in walk(w) if role(n) == "text" and showing(n)), None))
    o.click(box)
    o.type(caption)
    wait_for("the typed text", lambda: text_of(box) == caption)
    o.key("Return")
    show = o.find("push button", "Zobraz okno", within=w)
    assert name(show)
    return show


@pytest.mark.both_sizes
def test_found_lesson_opens_in_a_second_copy(start, course):
    _, t = course
    o = start()
    w = open_tree(o)
    show = search(o, w, "Klávesnica")
    selected = [n for n in walk(w) if role(n) == "table cell"
                and n.get_state_set().contains(driver.Atspi.StateType.SELECTED)]
    assert [name(n) for n in selected] == ["Klávesnica"]
    o.click(show)

    second = child_copy(o)
    assert second.proc.pid != o.proc.pid
    second.find("push button", "Písmená a číslice")
    assert driver.names_screen(second.window(), "Vyhľadávacie okno")
    # The second copy keeps its own scratch files; the first copy's stay.
    wait_for("the second copy's level file", lambda: second.level_file("Okna2") == "1")
    assert os.path.isfile(os.path.join(t, "tempP.dfm"))
    assert o.level_file("Okna") == "2"
    # The tree window waits for it.
    wait_for("the tree window disabled", lambda: not enabled(o.window("Strom")))

    second.press("Koniec vyhľadávania")
    assert second.message_text()
    second.answer("Áno")
    second.proc.wait()
    wait_for("the tree window enabled again", lambda: enabled(o.window("Strom")))
    assert not os.path.exists(os.path.join(t, "tempP.dfm"))
    # The first copy goes on: its tree window closes and the day is there.
    o.press("Návrat", within=o.window("Strom"))
    wait_for("the tree window closed", lambda: not [x for x in o.windows() if name(x) == "Strom"])
    o.press("Klávesnica")
    o.find("push button", "Písmená a číslice")


def test_a_fifo_at_the_index_path_neither_hangs_nor_stays(start, course, tmp_path):
    c, _ = course
    cache = tmp_path / "xdg-cache"
    index = cache / "orbino" / (hashlib.sha256(os.path.realpath(c).encode()).hexdigest()[:24] + ".fts.sqlite")
    os.makedirs(index.parent)
    os.mkfifo(index)
    o = start(env={"XDG_CACHE_HOME": str(cache)})
    w = open_tree(o)
    # Closing the window while its index is being made does not wait for it.
    o.press("Návrat", within=w)
    wait_for("the tree window closed", lambda: not [x for x in o.windows() if name(x) == "Strom"])
    o.press("Klávesnica")
    o.find("push button", "Písmená a číslice")
    # The FIFO was never opened, only replaced by an index.
    wait_for("the index made anew", lambda: stat.S_ISREG(os.stat(index).st_mode))
    assert index.read_bytes().startswith(b"SQLite format 3")


def test_search_for_a_missing_caption_says_so(start):
    o = start()
    w = open_tree(o)
    o.click(o.find("menu item", "Hľadaj", within=w))
    box = wait_for("the search box", lambda: next((n for n in walk(w) if role(n) == "text" and showing(n)), None))
    o.click(box)
    o.type("Neexistuje nič také")
    o.press("Hľadaj text", within=w)
    assert "Nenašlo" in o.message_text()
    o.answer("OK")
    assert not [n for n in o.find_all("push button", "Zobraz okno", within=w)]
    assert o.running()


def test_integrity_check_reports_a_missing_file(start, course):
    c, _ = course
    os.remove(os.path.join(c, "02._deň", "priecinky.bmp"))
    o = start()
    w = open_tree(o, "2. deň")
    o.click(o.find("menu item", "Kontrola integrity", within=w))
    o.find("label", "Zoznam chýbajúcich a zacyklenych súborov 02._deň", within=w)
    report = wait_for("the report", lambda: next(
        (n for n in walk(w) if role(n) == "text" and "priecinky.bmp" in (text_of(n) or "")), None))
    lines = [x for x in text_of(report).split("\n") if x.strip()]
    assert any("priecinky.bmp" in x for x in lines), lines
    # Files that are there are not reported.
    assert not any("pracovny_list.rtf" in x for x in lines), lines
    close = o.find("push button", "Koniec kontroly", within=w)
    o.click(close)
    wait_for("the report closed", lambda: not showing(report))
    o.find("menu item", "Hľadaj", within=w)
    assert enabled(o.find("menu item", "Kontrola integrity", within=w))


def test_every_control_of_the_tree_window_has_a_name(start):
    o = start()
    w = open_tree(o)
    o.click(o.find("menu item", "Hľadaj", within=w))
    o.find("push button", "Hľadaj text", within=w)
    unnamed = [role(n) for n in walk(w) if role(n) in ("text", "push button", "tree", "list") and not name(n).strip()]
    assert not unnamed, f"controls without a name: {unnamed}"
