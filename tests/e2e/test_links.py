"""The link lists of a day screen: turning the mouse wheel over them opens
nothing; a click on an entry of the open list does, and only web, ftp and
mail addresses go to the desktop."""
import os

import driver
from driver import fake_tool, move_pointer, name, read_log, wait_for, xdotool

DAY1 = "01._deň"
MOUSE = "https://sk.wikipedia.org/wiki/Počítačová_myš"


def link_boxes(o):
    """The course's link list and the learner's, left to right."""
    boxes = wait_for("two link lists", lambda: (lambda b: b if len(b) == 2 else None)(
        o.find_all("combo box", within=o.window())))
    return sorted(boxes, key=lambda b: driver.extents(b)[0])


def shown_entry(o, index):
    """The entry a link list shows (a combo box is named by it)."""
    return name(link_boxes(o)[index])


def open_list_entry(o, box, label):
    """Opens the list with a click and clicks its entry `label`."""
    o.click(box)
    # Closed, the list's entries have no place on the screen (x is 0).
    entry = wait_for(f"the open list's entry {label!r}", lambda: next(
        (n for n in o.find_all("list item", label) if driver.extents(n)[0] > 0), None))
    o.click(entry)


def wheel_over(o, box, clicks):
    x, y, w, h = driver.extents(box)
    move_pointer(round((x + w / 2) * o.scale), round((y + h / 2) * o.scale))
    xdotool("click", "--repeat", clicks, "--delay", 50, 5)


def test_wheel_opens_nothing_a_click_opens_a_link(start, course, tmp_path):
    c, t = course
    path = os.path.join(c, DAY1, "Obsah.txt")
    lines = driver.read_cp1250_lines(path)
    if lines[-1] == "":
        lines = lines[:-1]
    at = max(i for i, line in enumerate(lines) if line.startswith("//")) + 1
    lines.insert(at, "//file:///etc/passwd")
    driver.write_cp1250_lines(path, lines)
    # The learner's own links of day 1, as the links window keeps them.
    driver.write_cp1250_lines(os.path.join(t, "01.htm"), ["www.moja-stranka.sk", "javascript:alert(1)"])
    fake = str(tmp_path / "bin")
    log = tmp_path / "xdg-open.log"
    fake_tool(fake, "xdg-open", log)
    o = start(env={"PATH": fake + ":" + os.environ["PATH"]})
    o.press("1. deň")
    o.find("label", "Odkazy:")
    course_links, own_links = link_boxes(o)
    assert name(course_links) == MOUSE and name(own_links) == "www.moja-stranka.sk"

    # Two turns of the wheel over each box move it to its last entries, and open nothing.
    wheel_over(o, course_links, 2)
    wait_for("the wheel to move the course links", lambda: shown_entry(o, 0) == "file:///etc/passwd")
    wheel_over(o, own_links, 1)
    wait_for("the wheel to move the own links", lambda: shown_entry(o, 1) == "javascript:alert(1)")
    # Arrow keys on the focused box neither.
    o.key("Up")
    wait_for("the arrow key to move the own links", lambda: shown_entry(o, 1) == "www.moja-stranka.sk")
    assert read_log(log) == [], f"the wheel opened {read_log(log)}"
    assert not o._message_box(), "a message came up for turning the wheel"

    # A click on an entry of the open list opens it.
    open_list_entry(o, course_links, MOUSE)
    wait_for("the link handed to the desktop", lambda: read_log(log))
    assert read_log(log) == [MOUSE]
    # A local file is refused, by name.
    open_list_entry(o, course_links, "file:///etc/passwd")
    assert "file:///etc/passwd" in o.message_text()
    o.answer("OK")
    # A bare www. address of the learner's own opens as a web address.
    open_list_entry(o, own_links, "www.moja-stranka.sk")
    wait_for("the own link handed to the desktop", lambda: len(read_log(log)) == 2)
    assert read_log(log) == [MOUSE, "http://www.moja-stranka.sk"]
    assert o.running()
