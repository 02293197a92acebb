"""The information windows: about, feedback, trademarks, how to work, help."""
import os

import pytest

import driver
from driver import fake_tool, name, read_log, role, tab_to, text_of, wait_for, walk

TITLE = "Orbino - Práca s počítačom"
CLOSERS = ("OK", "KONIEC", "Koniec", "Zavri")
SHOTS = os.environ.get("ORBINO_E2E_ARTIFACTS", os.path.join(driver.ROOT, "build-e2e-artifacts"))

# How each window is opened, its title, and whether Escape closes it.
WINDOWS = [
    (("menu", "O aplikácii", "O programe"), "O aplikácii"),
    (("menu", "O aplikácii", "Ohlasy autorom"), "Ohlasy autorom"),
    (("menu", "O aplikácii", "Ochranné známky"), None),
    (("button", "Ako pracovať s CD"), "Ako pracovať s týmto CD"),
    (("menu", "Pomocník", "Help"), None),
]


def open_it(o, how):
    if how[0] == "menu":
        o.menu(*how[1:])
        return
    o.press(how[1])
    # The how-to window is the teacher's: the password first, once a run.
    w = info_window(o)
    if name(w) == "Zadaj heslo":
        field = o.find("password text", within=w)
        o.click(field)
        o.type("ucitel")
        o.key("Return")
        wait_for("the password window closed", lambda: name(info_window(o)) != "Zadaj heslo")


def info_window(o):
    return wait_for("an information window",
                    lambda: next((w for w in o.windows() if name(w) != TITLE), None))


def words(w):
    out = []
    for n in walk(w):
        if role(n) == "label" and name(n).strip():
            out.append(name(n).strip())
        elif role(n) in ("text", "paragraph") and (text_of(n) or "").strip():
            out.append(text_of(n).strip())
    return out


def gone(o, w_name):
    wait_for(f"{w_name!r} closed", lambda: all(name(x) == TITLE for x in o.windows()))


@pytest.mark.parametrize("how,title", WINDOWS, ids=[h[-1] for h, _ in WINDOWS])
def test_information_window_opens_and_closes(start, how, title):
    o = start()
    o.find("push button", "1. deň")
    open_it(o, how)
    w = info_window(o)
    assert name(w).strip(), "the window has no name"
    if title:
        assert name(w) == title
    assert words(w), "the window shows no text"
    os.makedirs(SHOTS, exist_ok=True)
    driver.screenshot(os.path.join(SHOTS, f"info-{how[-1].replace(' ', '_')}-{os.environ.get('ORBINO_E2E_SIZE', '')}.png"))
    buttons = [n for n in walk(w) if role(n) == "push button"]
    assert all(name(b).strip() for b in buttons), "a button without a name"
    closer = next(b for b in buttons if name(b).strip() in CLOSERS)
    # Closed with its button, reached with Tab and pressed with Enter.
    tab_to(o, closer)
    o.key("Return")
    gone(o, name(w))
    # Opened again and closed with Escape.
    open_it(o, how)
    w = info_window(o)
    o.key("Escape")
    gone(o, name(w))
    assert o.running()
    o.find("push button", "1. deň")


def test_how_to_work_opens_its_documents(start, course, tmp_path):
    c, _ = course
    # The course has the help document but not the year's plan.
    help_doc = os.path.join(c, "help.doc")
    with open(help_doc, "wb") as f:
        f.write(b"help")
    fake = str(tmp_path / "bin")
    log = tmp_path / "xdg-open.log"
    fake_tool(fake, "xdg-open", log)
    o = start(env={"PATH": fake + ":" + os.environ["PATH"]})
    o.find("push button", "1. deň")
    open_it(o, ("button", "Ako pracovať s CD"))
    w = info_window(o)
    o.press("Help s obrázkami - vo Worde", within=w)
    wait_for("the help document handed to the desktop", lambda: read_log(log))
    assert [os.path.realpath(p) for p in read_log(log)] == [os.path.realpath(help_doc)]
    # A document the course lacks: the button does nothing, no message, nothing opened.
    o.press("Učebný plán na celý školský rok", within=w)
    with pytest.raises(driver.Timeout):
        wait_for("a second document or a message",
                 lambda: len(read_log(log)) > 1 or [x for x in o.windows() if role(x) == "alert"], timeout=2)
    o.key("Escape")
    gone(o, name(w))


def test_every_control_of_the_information_windows_has_a_name(start):
    o = start()
    o.find("push button", "1. deň")
    unnamed = []
    for how, _ in WINDOWS:
        open_it(o, how)
        w = info_window(o)
        unnamed += [f"{how[-1]}: {role(n)}" for n in walk(w)
                    if role(n) in ("text", "push button", "list", "combo box") and not name(n).strip()]
        o.key("Escape")
        gone(o, name(w))
    assert not unnamed, f"controls without a name: {unnamed}"
