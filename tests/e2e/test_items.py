"""Every kind of item on a day's screen: lesson list, picture, demonstration,
program, document, a missing file and the teacher's page."""
import os

import pytest

import driver
from driver import fake_tool, name, read_log, role, tab_to, wait_for, walk

TITLE = "Orbino - Práca s počítačom"
DAY2 = "02._deň"


def open_day2(o):
    o.press("2. deň")
    return o.find("push button", "Obrázok: strom priečinkov")


def other_window(o):
    """The one showing window besides the main one."""
    return wait_for("a window besides the main one",
                    lambda: next((w for w in o.windows() if not driver.names_screen(w, TITLE)), None))


@pytest.mark.both_sizes
def test_lesson_list_opens_a_level_below(start):
    o = start()
    open_day2(o)
    assert o.level_file() == "2"
    b = o.press("Súbory")
    assert name(b) == "Súbory"
    # subory.txt: its own text and its two items.
    o.find("push button", "Ukážka: nový priečinok")
    o.find("push button", "Obrázok: strom priečinkov")
    wait_for("level file 3", lambda: o.level_file() == "3")
    assert driver.name(o.window()) == TITLE + " – 2. deň - Súbory"
    o.gone("push button", "Pracovný list")


@pytest.mark.both_sizes
def test_picture_window_opens_named_and_closes(start, tmp_path):
    o = start()
    open_day2(o)
    o.press("Obrázok: strom priečinkov")
    w = other_window(o)
    assert name(w), "the picture window has no name"
    driver.screenshot(tmp_path / "picture.png")
    pictures = [n for n in walk(w) if role(n) in ("image", "label", "filler") and driver.extents(n)[2] > 100]
    assert pictures, "nothing the size of a picture in the picture window"
    close = next(n for n in walk(w) if role(n) == "push button")
    assert name(close), "the picture window's button has no name"
    o.press(name(close).strip(), within=w)
    wait_for("the picture window closed", lambda: all(driver.names_screen(x, TITLE) for x in o.windows()))
    # Again, closed with Escape this time.
    o.press("Obrázok: strom priečinkov")
    other_window(o)
    o.key("Escape")
    wait_for("the picture window closed by Escape", lambda: all(driver.names_screen(x, TITLE) for x in o.windows()))
    assert o.running()


def test_demonstration_starts_the_player_with_the_recording(start, course, tmp_path):
    c, _ = course
    log = tmp_path / "player.log"
    o = start(env={"ORBINO_PLAYER_LOG": str(log)})
    open_day2(o)
    o.press("Ukážka: nový priečinok")
    wait_for("the player started", lambda: read_log(log))
    rec, switches = read_log(log)[0].rsplit(" ", 1)
    assert os.path.realpath(rec) == os.path.realpath(os.path.join(c, DAY2, "novy.scm"))
    assert switches == "/s/c"
    # A line with words after the file name still plays that file.
    o.press("Ukážka: kopírovanie súboru")
    wait_for("the player started again", lambda: len(read_log(log)) == 2)
    rec2 = read_log(log)[1].split(" ")[0]
    assert os.path.realpath(rec2) == os.path.realpath(os.path.join(c, DAY2, "kopirovanie.scm"))
    assert read_log(log)[1].endswith(" /s/c")
    assert o.running()


def test_program_item_runs_the_counter(start, course, tmp_path):
    c, _ = course
    fake = str(tmp_path / "bin")
    log = tmp_path / "zenity.log"
    fake_tool(fake, "zenity", log)
    o = start(env={"PATH": fake + ":" + os.environ["PATH"]})
    open_day2(o)
    # The caption is shortened on the button; its full text is the item's.
    b = wait_for("the counter's button", lambda: next(
        (n for n in o.find_all("push button") if name(n).strip().startswith("Koľko súborov")), None))
    o.click(b)
    wait_for("the counter's message", lambda: read_log(log))
    count = sum(1 for f in os.listdir(os.path.join(c, DAY2)) if os.path.isfile(os.path.join(c, DAY2, f)))
    assert f"--text=V priečinku {DAY2} je {count} súborov." in read_log(log)[0]
    assert o.running()


def test_document_opens_through_the_desktop(start, course, tmp_path):
    c, _ = course
    fake = str(tmp_path / "bin")
    log = tmp_path / "xdg-open.log"
    fake_tool(fake, "xdg-open", log)
    o = start(env={"PATH": fake + ":" + os.environ["PATH"]})
    open_day2(o)
    o.press("Pracovný list")
    wait_for("the document handed to the desktop", lambda: read_log(log))
    opened = read_log(log)[0]
    assert os.path.realpath(opened) == os.path.realpath(os.path.join(c, DAY2, "pracovny_list.rtf"))
    assert not [w for w in o.windows() if role(w) == "alert"], "a message came up for a document that opened"
    assert o.running()


def test_missing_file_is_named_in_the_message(start, course):
    c, _ = course
    path = os.path.join(c, DAY2, "Obsah.txt")
    lines = driver.read_cp1250_lines(path)
    at = next(i for i, line in enumerate(lines) if line.startswith("//"))
    lines.insert(at, "[Chýbajúca príloha] chyba_priloha.rtf")
    # Written back as the course keeps it: Windows-1250, CR LF after every line.
    driver.write_cp1250_lines(path, lines[:-1] if lines[-1] == "" else lines)
    o = start()
    o.press("2. deň")
    o.press("Chýbajúca príloha")
    text = o.message_text()
    assert "chyba_priloha.rtf" in text, text
    o.answer("OK")
    o.find("push button", "Chýbajúca príloha")
    assert o.running()


def test_teacher_page_needs_the_teacher_password(start):
    o = start()
    open_day2(o)
    o.press("Vyučujúci")
    w = other_window(o)
    assert name(w), "the password window has no name"
    field = o.find("password text", within=w)
    o.click(field)
    o.type("zle")
    o.key("Return")
    assert o.message_text()
    o.answer("OK")
    assert not o.find_all("push button", "Metodika druhého dňa")
    # The second try: the right word, and the teacher's page opens.
    w = other_window(o)
    field = o.find("password text", within=w)
    o.click(field)
    o.key("ctrl+a")
    o.type("ucitel")
    ok = next(n for n in walk(w) if role(n) == "push button" and name(n).strip() in ("OK", "Ok"))
    tab_to(o, ok)
    o.key("Return")
    o.find("push button", "Metodika druhého dňa")
    wait_for("level file 3", lambda: o.level_file() == "3")


def test_every_control_of_the_password_and_picture_windows_has_a_name(start):
    o = start()
    open_day2(o)
    unnamed = []
    for item in ("Vyučujúci", "Obrázok: strom priečinkov"):
        o.press(item)
        w = other_window(o)
        unnamed += [f"{item}: {role(n)}" for n in walk(w)
                    if role(n) in ("text", "password text", "push button", "list", "combo box") and not name(n).strip()]
        o.key("Escape")
        wait_for("the window closed", lambda: all(driver.names_screen(x, TITLE) for x in o.windows()))
    assert not unnamed, f"controls without a name: {unnamed}"
