"""Start, moving through the levels and back, ending the program."""
import os

import pytest

from driver import enabled, extents, name, wait_for

TITLE = "Orbino - Práca s počítačom"
DAYS = ["1. deň", "2. deň", "3. deň", "4. deň"]


def main_screen(o):
    return o.find("push button", "1. deň")


@pytest.mark.both_sizes
def test_start_shows_the_main_screen(start):
    o = start()
    main_screen(o)
    w = o.window()
    assert name(w) == TITLE
    for day in DAYS:
        b = o.find("push button", day)
        assert enabled(b)
    o.find("label", "VÝUKOVÝ PROGRAM ORBINO: Práca s počítačom")
    o.find("push button", "Koniec")
    for menu in ("Vlastné", "O aplikácii", "Pomocník", "Koniec"):
        o.find("menu item", menu, within=w)
    # Every control lies inside the window, and the window inside the screen.
    wx, wy, ww, wh = extents(w)
    for b in o.find_all("push button", within=w):
        x, y, bw, bh = extents(b)
        assert wx <= x and x + bw <= wx + ww and wy <= y and y + bh <= wy + wh, name(b)
    # The scratch files: the temp form file and the level file.
    assert os.path.isfile(os.path.join(o.temp, "temp.dfm"))
    assert o.level_file() == "1"


@pytest.mark.both_sizes
def test_back_returns_through_every_level_and_the_program_goes_on(start):
    o = start()
    o.press("1. deň")
    o.find("push button", "Klávesnica")
    assert o.level_file() == "2"
    o.press("Klávesnica")
    o.find("push button", "Písmená a číslice")
    assert o.level_file() == "3"

    o.press("Späť")
    o.find("push button", "Klávesnica")
    assert o.running(), "Späť from level 3 ended the program"
    wait_for("level file 2", lambda: o.level_file() == "2")
    # The day's links are still there after coming back to it.
    o.find("label", "Odkazy:")
    o.find("combo box", "https://sk.wikipedia.org/wiki/Počítačová_myš")

    o.press("Späť")
    main_screen(o)
    assert o.running(), "Späť from a day ended the program"
    wait_for("level file 1", lambda: o.level_file() == "1")

    # And again: the way down works after coming back.
    o.press("3. deň")
    o.find("push button", "Písanie")
    o.press("Späť")
    main_screen(o)
    assert o.running()


def test_end_from_level_three_asks_and_cleans_up(start):
    o = start()
    o.press("1. deň")
    o.press("Klávesnica")
    o.find("push button", "Písmená a číslice")
    o.press("Koniec")
    assert "ukončiť" in o.message_text()
    o.answer("Nie")
    assert o.running()
    o.find("push button", "Písmená a číslice")
    o.press("Koniec")
    o.answer("Áno")
    assert o.wait_exit() == 0
    assert not os.path.exists(os.path.join(o.temp, "temp.dfm"))


def test_ctrl_k_and_the_close_box_ask_first(start):
    o = start()
    main_screen(o)
    o.key("ctrl+k")
    o.answer("Nie")
    assert o.running()
    o.key("ctrl+k")
    o.answer("Áno")
    assert o.wait_exit() == 0

    o = start()
    main_screen(o)
    o.key("alt+F4")
    assert o.wait_exit() == 0
    assert not os.path.exists(os.path.join(o.temp, "temp.dfm"))


def test_back_in_the_second_copy_keeps_it_running(start, course):
    c, t = course
    # The tree window starts a second copy this way: list, item number, title.
    o = start(args=[os.path.join(c, "01._deň", "Obsah.txt"), "2", "Klávesnica"])
    o.find("push button", "Klávesnica")
    o.press("Klávesnica")
    o.find("push button", "Písmená a číslice")
    assert o.level_file("Okna2") == "2"
    o.press("Späť")
    o.find("push button", "Klávesnica")
    assert o.running(), "Späť in the second copy ended it"
    wait_for("level file 1", lambda: o.level_file("Okna2") == "1")
