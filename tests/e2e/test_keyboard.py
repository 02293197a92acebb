"""Keyboard use: Alt mnemonics, Enter on the focused button, Escape as
"Späť" (with edited text, in the text panel's scenarios), the Tab order of
the screens and dialogs, names of every control. (Qt's own texts in Slovak
are checked by the window tests.)"""
import pytest

from driver import active_window_title, enabled, extents, focused, name, role, tab_to, wait_for, walk
from test_navigation import TITLE

NAMED_ROLES = ("push button", "text", "combo box", "list", "tree", "tree table", "image", "menu bar",
               "check box", "radio button", "page tab", "spin button", "table")


def focused_name(o):
    w = o.window()
    node = wait_for("a focused control", lambda: next((n for n in walk(w) if focused(n)), None), timeout=3)
    return role(node), name(node).strip()


def tab_cycle(o, count):
    """What the focus lands on at each of `count` presses of Tab."""
    seen = []
    for _ in range(count):
        o.key("Tab")
        before = seen[-1] if seen else None
        try:
            wait_for("the focus to move", lambda: focused_name(o) != before, timeout=1)
        except AssertionError:
            pass
        seen.append(focused_name(o))
    return seen


def in_order(seen, expected):
    """`expected` occurs in `seen` in this order (other controls may come
    between); `seen` is a cycle, read from the first of `expected`."""
    names = [n for _, n in seen]
    assert expected[0] in names, f"{expected[0]!r} never focused in {names}"
    first = names.index(expected[0])
    names = names[first:] + names[:first]
    at = 0
    for e in expected:
        assert e in names[at:], f"{e!r} not after {expected[:expected.index(e)]} in {names}"
        at = names.index(e, at) + 1


@pytest.mark.both_sizes
def test_alt_letters_open_menus_and_press_buttons(start):
    o = start()
    o.find("push button", "1. deň")
    # Alt+V opens "Vlastné"; its items show.
    o.key("alt+v")
    o.find("menu item", "Poznámky")
    wait_for("the menu shown", lambda: any(role(n) == "popup menu" for n in walk(o.app())))
    o.key("Escape")
    o.key("Escape")
    # Alt+2 presses "2. deň"; Alt+S is "Späť" there.
    o.key("alt+2")
    o.find("push button", "Súbory")
    wait_for("level file 2", lambda: o.level_file() == "2")
    o.key("alt+s")
    o.find("push button", "1. deň")
    wait_for("level file 1", lambda: o.level_file() == "1")
    # Alt+K is the "Koniec" menu: it asks first.
    o.key("alt+k")
    assert "ukončiť" in o.message_text()
    o.answer("Nie")
    assert o.running()


@pytest.mark.both_sizes
def test_enter_presses_the_focused_button_and_escape_goes_back(start):
    o = start()
    day = o.find("push button", "1. deň")
    tab_to(o, day)
    o.key("Return")
    item = o.find("push button", "Klávesnica")
    wait_for("level file 2", lambda: o.level_file() == "2")
    tab_to(o, item)
    o.key("KP_Enter")
    o.find("push button", "Písmená a číslice")
    wait_for("level file 3", lambda: o.level_file() == "3")
    o.key("Escape")
    o.find("push button", "Klávesnica")
    wait_for("level file 2", lambda: o.level_file() == "2")
    o.key("Escape")
    o.find("push button", "1. deň")
    wait_for("level file 1", lambda: o.level_file() == "1")
    # Escape on the main screen leaves nothing.
    o.key("Escape")
    o.find("push button", "1. deň")
    assert o.running() and not o._message_box()
    # Enter on "Koniec" asks as a click does.
    tab_to(o, o.find("push button", "Koniec"))
    o.key("Return")
    assert "ukončiť" in o.message_text()
    o.answer("Áno")
    assert o.wait_exit() == 0


@pytest.mark.both_sizes
def test_tab_follows_the_screen(start):
    o = start()
    o.find("push button", "1. deň")
    seen = tab_cycle(o, 9)
    in_order(seen, ["Ako pracovať s CD", "1. deň", "2. deň", "3. deň", "4. deň", "Koniec"])
    o.press("1. deň")
    o.find("push button", "Klávesnica")
    seen = tab_cycle(o, 12)
    in_order(seen, ["Text lekcie", "Príbeh", "Klávesnica", "Žiak",
                    "https://sk.wikipedia.org/wiki/Počítačová_myš", "Späť", "Koniec"])
    # The focus is drawn: the focused button looks different from itself unfocused.
    assert all(n for _, n in seen), f"a focused control without a name: {seen}"


@pytest.mark.parametrize("item", ["Poznámky", "Odkazy"])
def test_tab_reaches_every_control_of_a_dialog(start, item):
    o = start()
    o.press("2. deň")
    o.find("push button", "Súbory")
    o.menu("Vlastné", item)
    w = o.window(item)
    wanted = {name(n).strip() for n in walk(w) if role(n) in ("push button", "combo box") and enabled(n)}
    seen = set()
    for _ in range(2 * len(wanted) + 6):
        r, n = focused_name(o)
        seen.add(n)
        # Backwards: a text box takes Tab as a character.
        o.key("shift+Tab")
        if wanted <= seen:
            break
    assert wanted <= seen, f"Tab never reached {wanted - seen}"
    o.key("Escape")


@pytest.mark.both_sizes
def test_every_control_is_named_and_the_title_is_the_caption(start):
    o = start()
    o.find("push button", "1. deň")
    w = o.window()
    assert name(w) == TITLE

    def unnamed(win):
        return [f"{role(n)} {extents(n)}" for n in walk(win) if role(n) in NAMED_ROLES and not name(n).strip()]

    assert not unnamed(w)
    # Day buttons are read without the blanks that place their captions.
    assert all(name(b) == name(b).strip() for b in o.find_all("push button", within=w))
    o.press("1. deň")
    o.find("push button", "Klávesnica")
    w = o.window()
    # The screen is named by its heading; the title bar keeps the caption.
    assert name(w) == TITLE + " – 1. deň"
    assert active_window_title() == TITLE
    assert not unnamed(w)
    # A picture button's description says what it opens, not its caption again.
    item = o.find("push button", "Klávesnica")
    assert item.get_description() != "Klávesnica"
    o.menu("Pomocník", "Strom")
    tree = o.window("Strom")
    assert not unnamed(tree), unnamed(tree)
    headers = [name(n) for n in walk(tree, only_showing=False) if role(n) in ("column header", "table column header")]
    assert "1" not in headers, headers
