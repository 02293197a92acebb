"""The test-yourself screen: answering, the score, the points column, solutions."""
import os

import pytest
from gi.repository import Atspi

from driver import extents, move_pointer, name, text_of, wait_for, xdotool

# The sample test: the end line of each exercise with points, and its points.
# Exercise 4 ends with a line holding only the tab and its points.
END_LINES = ["Skúška.\t1 bod", "svoje meno.\t1 bod", "meno.txt.\t1 bod", "\t2 body"]


def open_test(o):
    o.press("4. deň")
    o.press("Vyskúšaj sa")
    return o.find("push button", "Zadanie úloh")


def answer_all(o, answers):
    o.press("Zadanie úloh")
    w = o.window("Úlohy")
    for i, a in enumerate(answers, 1):
        o.find("label", f"Vyrieš nasledovnú úlohu č. {i}:", within=w)
        o.press(a, within=w)
    o.find("label", "Vyhodnotenie")


def panel(o):
    return wait_for("the test's text", lambda: next(
        (n for n in o.find_all("text") if (text_of(n) or "").startswith("1. Na pracovnej")), None))


def column(o):
    return wait_for("the points column", lambda: next(
        (n for n in o.find_all("text") if (text_of(n) or "")[:1].isdigit() and "\n" in (text_of(n) or "")
         and len(text_of(n)) < 40), None))


def char_box(node, offset):
    r = node.get_text_iface().get_character_extents(offset, Atspi.CoordType.SCREEN)
    return r.x, r.y, r.width, r.height


def assert_points_beside_end_lines(o, points):
    """The column shows the points of the end lines in view, each on its line."""
    p, c = panel(o), column(o)
    text, col = text_of(p), text_of(c)
    _, py, _, ph = extents(p)
    in_view = []
    for end, value in zip(END_LINES, points):
        _, ly, _, lh = char_box(p, text.index(end) + (1 if end.startswith("\t") else 0))
        if py <= ly and ly + lh <= py + ph:
            in_view.append((end, value, ly, lh))
    assert in_view, "no exercise's end line is in view"
    assert col.split("\n") == [v for _, v, _, _ in in_view]
    for k, (end, value, ly, lh) in enumerate(in_view):
        _, cy, _, ch = char_box(c, 2 * k)
        # Same screen line: the centres lie within half a line of each other.
        assert abs((ly + lh / 2) - (cy + ch / 2)) <= lh / 2, \
            f"points {value!r} at y={cy} but their line {end!r} at y={ly}"


@pytest.mark.both_sizes
def test_answers_score_verdict_and_points_beside_their_lines(start):
    o = start()
    open_test(o)
    answer_all(o, ["Áno", "Nie", "Áno", "Áno", "Áno"])
    o.find("label", "Pri riešení úloh si získal: 4 body")
    # The test's first line is in view, not scrolled away.
    p = panel(o)
    _, py, _, _ = extents(p)
    assert char_box(p, 0)[1] >= py, "the test's text opened scrolled down"
    assert_points_beside_end_lines(o, ["1", "0", "1", "2"])
    # The solution of the one exercise not solved is marked; its button has a name.
    for k in range(1, 5):
        o.find("push button", f"Ukážka riešenia úlohy {k}")
    markers = [n for n in o.find_all("image") if name(n).startswith("Môžeš si pozrieť riešenie")]
    assert [name(m) for m in markers] == ["Môžeš si pozrieť riešenie nevyriešenej úlohy č.2"]


def test_points_follow_the_text_when_it_is_scrolled(start):
    o = start()
    open_test(o)
    answer_all(o, ["Áno"] * 5)
    p = panel(o)
    x, y, w, h = extents(p)
    move_pointer(x + w // 3, y + h // 2)
    xdotool("click", "--repeat", 5, 5)  # the mouse wheel, down
    wait_for("the panel scrolled", lambda: char_box(p, 0)[1] < extents(p)[1])
    assert_points_beside_end_lines(o, ["1", "1", "1", "2"])


def test_solution_needs_the_day_password(start, course, tmp_path):
    log = tmp_path / "player.log"
    o = start(env={"ORBINO_PLAYER_LOG": str(log)})
    open_test(o)
    answer_all(o, ["Áno", "Nie", "Áno", "Áno", "Áno"])
    o.press("Ukážka riešenia úlohy 2")
    # The learner's password window: a wrong word is refused and the window
    # stays; the day's word (day 4: "on") plays the solution.
    field = o.find("password text", within=o.window("Zadaj heslo"))
    o.click(field)
    o.type("zle")
    o.key("Return")
    o.answer("OK")
    o.window("Zadaj heslo")
    assert not log.exists()
    o.click(field)
    o.type("on")
    o.key("Return")
    wait_for("the player started", lambda: log.exists() and log.read_text().strip())
    rec, switches = log.read_text().strip().rsplit(" ", 1)
    assert os.path.basename(rec) == "Ries2.scm" and os.path.isfile(rec)
    assert switches == "/s/c"
    assert o.running()
