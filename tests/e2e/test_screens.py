"""The windows on scaled and large screens: every control inside the window
and the screen, or scrolled into view and usable; the designed layout
centred on a large screen."""
import os
import subprocess

import pytest

from driver import extents, inside, name, role, tab_to, wait_for, walk

CONTROLS = ("push button", "combo box", "text", "menu item")


def screen_size(o):
    w, h = (int(v) for v in os.environ.get("ORBINO_E2E_SIZE", "1024x768").split("x"))
    return (0, 0, int(w / o.scale), int(h / o.scale))


def check_reachable(o, labels, tab=True):
    """Every control of the front window lies inside it (once scrolled to)
    and the window inside the screen; `labels` are also pressed-ready.
    Without `tab` only `labels` are checked, focused as a screen reader
    does (in a window whose text field takes the Tab key as text)."""
    w = o.window()
    win = extents(w)
    assert inside(win, screen_size(o)), f"window {win} outside the screen {screen_size(o)}"
    for n in walk(w) if tab else []:
        if role(n) not in CONTROLS or role(n) == "menu item" and role(n.get_parent()) != "menu bar":
            continue
        if role(n) == "text":
            # A text panel may be larger than a small window: it scrolls in it.
            x, y, tw, th = extents(n)
            assert tw > 0 and th > 0 and x < win[0] + win[2] * 2 and y < win[1] + win[3] * 2, name(n)
            continue
        if not inside(extents(n), win):
            # As a person reaches it: with Tab.
            tab_to(o, n, limit=30)
            wait_for(f"{role(n)} {name(n)!r} in view", lambda: inside(extents(n), extents(w)), timeout=3)
    for label in labels:
        b = o.find("push button", label, within=w)
        b.get_component_iface().grab_focus()
        wait_for(f"{label!r} in view", lambda: inside(extents(b), extents(w)), timeout=3)


@pytest.mark.both_sizes
@pytest.mark.large_screen
@pytest.mark.parametrize("scale", ["2", "1.5"])
def test_every_control_reachable_on_a_scaled_screen(start, scale):
    o = start(env={"QT_SCALE_FACTOR": scale})
    o.find("push button", "1. deň")
    check_reachable(o, ["1. deň", "4. deň", "Koniec"])
    o.press("1. deň")
    o.find("push button", "Klávesnica")
    check_reachable(o, ["Klávesnica", "Späť", "Koniec"])
    o.press("Klávesnica")
    o.find("push button", "Písmená a číslice")
    check_reachable(o, ["Späť", "Koniec"])
    # "Späť" and "Koniec" work with the mouse wherever they are.
    o.press("Späť")
    o.find("push button", "Klávesnica")
    wait_for("level file 2", lambda: o.level_file() == "2")
    o.press("Koniec")
    assert "ukončiť" in o.message_text()
    o.answer("Nie")
    o.press("Späť")
    o.find("push button", "1. deň")
    # A dialog fits too: one designed larger than the screen (a 1024x768
    # screen at 2 leaves 512x384) scrolls inside a window that fits.
    o.press("2. deň")
    o.find("push button", "Súbory")
    o.menu("Vlastné", "Poznámky")
    o.window("Poznámky")
    check_reachable(o, ["Ulož", "Zruš zmeny", "Koniec"], tab=False)
    o.key("Escape")


@pytest.mark.large_screen
def test_large_screen_centres_the_layout_without_the_zoom(start):
    o = start(env={"ORBINO_ZOOM": "off"})
    o.find("push button", "1. deň")
    wx, wy, ww, wh = extents(o.window())
    sx, sy, sw, sh = screen_size(o)
    if sw < 1600:
        pytest.skip("only on screens much larger than the designed ones")
    # The window takes the screen; the day buttons, at the right of the
    # designed layout, stand near the middle rather than at the right edge.
    assert ww > sw * 0.9
    x, y, w, h = extents(o.find("push button", "1. deň"))
    assert x + w < wx + ww - 200
    heading = o.find("label", "VÝUKOVÝ PROGRAM ORBINO: Práca s počítačom")
    assert extents(heading)[0] > wx + 200


SHOWN = CONTROLS + ("label", "check box", "radio button", "list", "table", "page tab", "image")


def check_fills(o, must_show=("Koniec",)):
    """The front window covers the monitor, its controls spread over it, each
    inside it, and `must_show` shown without scrolling. The window manager
    places a new window a moment after it maps, so the check is repeated for
    a few seconds before its last failure counts."""
    wait_for("the front window to fill the monitor", lambda: fills(o, must_show), timeout=5)


def fills(o, must_show):
    sw, sh = (int(v) for v in os.environ.get("ORBINO_E2E_SIZE", "1024x768").split("x"))
    out = subprocess.run(["xdotool", "getactivewindow", "getwindowgeometry", "--shell"],
                         check=True, capture_output=True, text=True).stdout
    geometry = dict(line.split("=", 1) for line in out.split())
    xw, xh = int(geometry["WIDTH"]), int(geometry["HEIGHT"])
    assert xw >= 0.9 * sw or xh >= 0.9 * sh, f"window {xw}x{xh} on a {sw}x{sh} monitor"
    w = o.window()
    win = extents(w)
    boxes = []
    for n in walk(w):
        if role(n) not in SHOWN or role(n) == "menu item" and role(n.get_parent()) != "menu bar":
            continue
        box = extents(n)
        if box[2] <= 0 or box[3] <= 0:
            continue
        assert inside(box, win), f"{role(n)} {name(n)!r} at {box} outside the window {win}"
        boxes.append(box)
    left = min(b[0] for b in boxes)
    right = max(b[0] + b[2] for b in boxes)
    top = min(b[1] for b in boxes)
    bottom = max(b[1] + b[3] for b in boxes)
    assert right - left >= 0.85 * win[2], f"controls span {right - left} of {win[2]}"
    assert bottom - top >= 0.6 * win[3], f"controls span {bottom - top} of {win[3]} high"
    for label in must_show:
        b = o.find("push button", label, within=w)
        assert inside(extents(b), win), f"{label!r} at {extents(b)} not in view in {win}"
    return True


def x11_geometry():
    """The active window's size in the monitor's pixels."""
    out = subprocess.run(["xdotool", "getactivewindow", "getwindowgeometry", "--shell"],
                         check=True, capture_output=True, text=True).stdout
    geometry = dict(line.split("=", 1) for line in out.split())
    return int(geometry["WINDOW"]), int(geometry["WIDTH"]), int(geometry["HEIGHT"])


def largest(o, w, role_name):
    """The largest showing control of `role_name` in window `w`."""
    return wait_for(f"a {role_name}", lambda: max(
        o.find_all(role_name, within=w), key=lambda n: extents(n)[2] * extents(n)[3], default=None))


def check_grows(o, title, role_name, designed):
    """The dialog `title` opens at least at its designed size zoomed, and
    made larger its largest control of `role_name` takes the room it gains."""
    w = o.window(title)
    wid, xw, xh = x11_geometry()
    assert xw >= designed[0] * o.scale - 2 and xh >= designed[1] * o.scale - 2, \
        f"{title!r} is {xw}x{xh}, designed {designed} at {o.scale}"
    panel = largest(o, w, role_name)
    _, _, _, ph = extents(panel)
    _, _, _, wh = extents(w)
    sw, sh = (int(v) for v in os.environ.get("ORBINO_E2E_SIZE", "1024x768").split("x"))
    grow = min(60 * o.scale, sh - xh - 60 * o.scale)
    assert grow > 0, f"no room to make {title!r} larger"
    subprocess.run(["xdotool", "windowsize", "--sync", str(wid), str(xw), str(round(xh + grow))], check=True)
    wait_for(f"{title!r} larger", lambda: extents(w)[3] > wh)
    gained = extents(w)[3] - wh
    wait_for(f"the {role_name} taking the room", lambda: abs(extents(panel)[3] - ph - gained) <= 1)
    win = extents(w)
    for n in walk(w):
        box = extents(n)
        if role(n) in SHOWN and box[2] > 0 and box[3] > 0 and role(n) != "menu item":
            assert inside(box, win), f"{role(n)} {name(n)!r} at {box} outside {title!r} at {win}"


@pytest.fixture(params=["1", "2", "desktop 2"])
def scale_env(request):
    """The desktop's scale: QT_SCALE_FACTOR, or the X resource Xft.dpi (with
    the screen factors) that desktops set for 200% on X11."""
    if request.param != "desktop 2":
        yield {"QT_SCALE_FACTOR": request.param}
        return
    before = subprocess.run(["xrdb", "-query"], capture_output=True, text=True).stdout
    subprocess.run(["xrdb", "-merge"], input="Xft.dpi: 192\n", text=True, check=True)
    try:
        yield {"QT_SCREEN_SCALE_FACTORS": "2"}
    finally:
        subprocess.run(["xrdb", "-load"], input=before, text=True, check=True)


@pytest.mark.large_screen
@pytest.mark.both_sizes
def test_designed_screen_fills_the_monitor(start, scale_env):
    o = start(env=scale_env)
    o.find("push button", "1. deň")
    check_fills(o)
    o.press("1. deň")
    o.find("push button", "Klávesnica")
    check_fills(o, ("Späť", "Koniec"))
    # The tree window opens larger than designed, its text hits taking the room.
    o.menu("Pomocník", "Strom")
    check_grows(o, "Strom", "list", (761, 530))
    o.press("Návrat", within=o.window("Strom"))
    o.press("Späť")
    # The exercise window, and the level window back as it was after it.
    o.press("4. deň")
    o.press("Vyskúšaj sa")
    o.press("Zadanie úloh")
    check_grows(o, "Úlohy", "text", (453, 354))
    w = o.window("Úlohy")
    for i in range(1, 6):
        o.find("label", f"Vyrieš nasledovnú úlohu č. {i}:", within=w)
        o.press("Áno", within=w)
    o.find("label", "Vyhodnotenie")
    check_fills(o, ("Späť", "Koniec"))
