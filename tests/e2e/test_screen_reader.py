"""A blind learner's day, keyboard only, with the Orca screen reader
listening: what it says is read from its log at every step."""
import os

import pytest

import screen_reader
from driver import name, read_cp1250_lines, text_of, wait_for

VERDICT = "Bude z teba úspešný prvý poradca kapitána"


@pytest.fixture
def reader(tmp_path):
    why = screen_reader.missing()
    if why:
        pytest.skip(why)
    r = screen_reader.ScreenReader(str(tmp_path / "reader"))
    yield r
    r.stop()


def say(o, reader, keys, *heard, timeout=None):
    """Presses `keys` (one or more, space-separated) and waits until the
    screen reader has said each of `heard`, in this order; gives all it said."""
    reader.mark()
    for k in keys.split():
        o.key(k)
    return reader.wait_said(*heard, **({"timeout": timeout} if timeout else {}))


def tab_until(o, reader, *heard, limit=8):
    for _ in range(limit):
        reader.mark()
        o.key("Tab")
        try:
            return reader.wait_said(*heard, timeout=3)
        except AssertionError:
            continue
    raise AssertionError(f"Tab never reached {heard}; lately said: {reader.said()[-10:]}")


def open_menu(o, reader, keys, item):
    """Opens a menu by its Alt key and waits until its first item is said.
    The keys go through the screen reader first, which may hold them back
    while it speaks; they are pressed again only when no menu has opened,
    since a second press would close a menu that opened late."""
    for _ in range(3):
        reader.mark()
        o.key(keys)
        try:
            wait_for(f"menu item {item!r}",
                     lambda: any(item in s for s in reader.since()) or o.find_all("menu item", item), timeout=8)
        except AssertionError:
            if o.find_all("popup menu"):
                break
            continue
        return reader.wait_said(item)
    raise AssertionError(f"{keys} never opened the menu with {item!r}; the screen reader said lately: "
                         f"{reader.said()[-15:]}; menu items showing: {[name(m) for m in o.find_all('menu item')]}")


def test_a_day_keyboard_only_with_a_screen_reader(reader, start):
    o = start()
    # The main window takes the focus as it appears; reading starts at the days.
    reader.wait_said("Orbino - Práca s počítačom frame", "1. deň push button")

    # A day says where the learner is, and starts at its text, not at the
    # teacher's button.
    said = say(o, reader, "Return", "Orbino - Práca s počítačom – 1. deň frame", "Text lekcie read only text",
               "Prvý deň: zapneme počítač")
    assert not [s for s in said if "Ako pracovať" in s], said
    assert not [s for s in said if "pravým tlačidlom" in s], "the mouse hint is read at the focus"
    say(o, reader, "Tab", "Príbeh push button")

    # A lesson: by lines, back to the top, and all of it with say-all.
    say(o, reader, "Return", "– 1. deň - Príbeh frame", "Text lekcie read only text", "Myška Zuzka býva na stole")
    say(o, reader, "Down", "Keď ju posunieš")
    say(o, reader, "Down", "Keď ťukneš ľavým tlačidlom")
    say(o, reader, "Up", "Keď ju posunieš")
    # Ctrl+Home goes to the top (said as its letter or its line); say-all
    # then reads from there.
    said = say(o, reader, "ctrl+Home", "M")
    assert said[-1].startswith("M"), said
    say(o, reader, "KP_Add", "Myška Zuzka", "Keď ju posunieš", "Keď ťukneš ľavým tlačidlom")

    # Escape goes back, the focus on the button the learner came from; on
    # the main screen the day button tells how much of the day was read.
    say(o, reader, "Escape", "Príbeh push button")
    say(o, reader, "Escape", "Orbino - Práca s počítačom", "1. deň push button", "prečítané lekcie 2 z 7")

    # The day's test, from its first task to the score and the verdict.
    tab_until(o, reader, "4. deň push button")
    say(o, reader, "Return", "– 4. deň frame")
    tab_until(o, reader, "Vyskúšaj sa push button")
    say(o, reader, "Return", "– 4. deň - Vyskúšaj sa frame")
    tab_until(o, reader, "Zadanie úloh push button")
    say(o, reader, "Return", "Úlohy dialog", "Vyrieš nasledovnú úlohu č. 1: read only text",
        "1. Na pracovnej ploche vytvor priečinok Skúška")
    # Each task is read whole as it comes (its first line, then the rest),
    # the focus on its text again.
    tasks = {2: ("2. Do priečinka Skúška", "Napíš doň svoje meno. 1 bod"),
             3: ("3. Súbor poznamky.txt premenuj", "1 bod"),
             4: ("4. Skopíruj súbor meno.txt", "z pracovnej plochy vymaž. 2 body"),
             5: ("5. Dobrovoľne",)}
    for k, text in tasks.items():
        say(o, reader, "Tab", "Áno push button")
        answer = "Tab Return" if k == 4 else "Return"  # "Nie": the third task is not solved
        say(o, reader, answer, f"Vyrieš nasledovnú úlohu č. {k}: read only text", *text)
    say(o, reader, "Tab Return", f"Pri riešení úloh si získal: 4 body {VERDICT}", timeout=40)

    # The points box is read, and Tab moves on out of it without typing.
    box = o.find("text", "Body")
    before = text_of(box)
    say(o, reader, "Tab", "Body read only text")
    say(o, reader, "Tab", "Ukážka riešenia úlohy 1 push button")
    assert text_of(box) == before

    # A note: Tab moves on to "Ulož", Ctrl+Tab types a tab, the saving is said.
    open_menu(o, reader, "alt+v", "Poznámky")
    say(o, reader, "Return", "Poznámky dialog", "Poznámka text")
    o.type("Moja poznamka")
    say(o, reader, "Tab", "Ulož push button")
    say(o, reader, "shift+Tab", "Poznámka text")
    o.key("End")
    o.key("ctrl+Tab")
    o.type("koniec")
    say(o, reader, "Tab", "Ulož push button")
    # Said once the screen is back, so that its name does not cut it off.
    say(o, reader, "Return", "– 4. deň - Vyskúšaj sa frame", "Poznámka je uložená")
    notes = [f for f in os.listdir(o.temp) if f.endswith(".txt") and not f.startswith("#")]
    assert len(notes) == 1, notes
    assert read_cp1250_lines(os.path.join(o.temp, notes[0]))[0] == "Moja poznamka\tkoniec"

    # Koniec asks first; Enter answers yes.
    say(o, reader, "alt+k", "Chcete ukončiť program", "Áno push button")
    o.key("Return")
    wait_for("the program to end", lambda: not o.running())
