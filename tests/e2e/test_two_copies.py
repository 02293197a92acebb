"""Two copies of the program in one course and one learner's folder."""
import os

import pytest

import driver
from driver import bring_to_front, name, wait_for

TITLE = "Orbino - Práca s počítačom"


def end(o):
    bring_to_front(o)
    o.press("Koniec")
    assert "ukončiť" in o.message_text()
    o.answer("Áno")
    return o.wait_exit()


@pytest.mark.both_sizes
def test_two_copies_at_once_both_work_and_end_cleanly(start, course):
    _, t = course
    a = start()
    b = start()
    for o in (a, b):
        o.find("push button", "1. deň")
        assert name(o.window()) == TITLE
    # Ordinary copies share the learner's scratch files by design: one form
    # file and one level file; a search-window copy has its own (see the tree).
    assert os.path.isfile(os.path.join(t, "temp.dfm"))
    assert a.level_file() == "1"
    assert not os.path.exists(os.path.join(t, "tempP.dfm"))
    assert not os.path.exists(os.path.join(t, "Okna2"))
    # Each copy goes its own way.
    bring_to_front(a)
    a.press("3. deň")
    a.find("push button", "Písanie")
    bring_to_front(b)
    b.press("2. deň")
    b.find("push button", "Súbory")
    a.find("push button", "Písanie")
    assert end(a) == 0
    assert b.running(), "ending one copy ended the other"
    b.find("push button", "Súbory")
    assert end(b) == 0
    assert not os.path.exists(os.path.join(t, "temp.dfm"))


def test_note_goes_to_the_day_even_when_another_copy_starts(start, course):
    _, t = course
    a = start()
    a.press("1. deň")
    a.find("push button", "Klávesnica")
    b = start()
    b.find("push button", "1. deň")
    bring_to_front(a)
    a.menu("Vlastné", "Poznámky")
    w = a.window("Poznámky")
    day_note = os.path.join(t, "01._deň.txt")
    box = wait_for("the note's text box", lambda: next(n for n in driver.walk(w) if driver.role(n) == "text"))
    a.click(box)
    a.type("Poznámka k prvému dňu.")
    wait_for("the typed note", lambda: "prvému" in (driver.text_of(box) or ""))
    a.press("Ulož", within=w)
    wait_for("a note saved", lambda: [f for f in os.listdir(t) if f.endswith(".txt")])
    assert os.path.isfile(day_note), f"the note went elsewhere: {sorted(os.listdir(t))}"
    assert not os.path.exists(os.path.join(t, "multimed.txt"))
    assert driver.read_cp1250_lines(day_note)[0] == "Poznámka k prvému dňu."
