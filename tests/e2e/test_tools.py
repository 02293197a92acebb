"""The learner's own tools: notes, own links and the copy window."""
import os
import subprocess

import pytest

import driver
from driver import closed, name, note_box, role, showing, tab_to, text_of, wait_for, walk, write_note

NOTE = ["Prvý riadok: ťažký kôň.", "Druhý riadok: žltá ľalia."]
LINK = "https://example.org/ucebnica"


def open_day2(o):
    o.press("2. deň")
    o.find("push button", "Súbory")


@pytest.mark.both_sizes
def test_note_is_saved_in_windows_1250_and_shown_again(start, course):
    _, t = course
    o = start()
    open_day2(o)
    o.menu("Vlastné", "Poznámky")
    w = o.window("Poznámky")
    path = os.path.join(t, "02._deň.txt")
    o.find("label", f"Poznámka je uložená do {path}", within=w)
    for b in ("Ulož", "Zruš zmeny", "Koniec"):
        assert name(o.find("push button", b, within=w))
    write_note(o, w, NOTE)
    o.press("Ulož", within=w)
    wait_for("the note on disk", lambda: os.path.exists(path))
    with open(path, "rb") as f:
        data = f.read()
    assert data.startswith("\r\n".join(NOTE).encode("cp1250")), data
    assert driver.read_cp1250_lines(path)[:2] == NOTE
    # Saving closes the window; the screen now offers the note on a button of its own.
    closed(o, "Poznámky")
    # Only the note is in the learner's folder besides the program's own files.
    assert "02._deň.txt" in os.listdir(t)

    o.press("Poznámky")
    w = o.window("Poznámky")
    box = note_box(w)
    wait_for("the saved note shown", lambda: (text_of(box) or "").split("\n")[:2] == NOTE)
    o.key("Escape")
    closed(o, "Poznámky")
    assert o.running()


def test_notes_button_of_a_lesson_saves_under_the_lesson_name(start, course):
    _, t = course
    o = start()
    open_day2(o)
    o.press("Súbory")
    o.find("push button", "Ukážka: nový priečinok")
    assert not o.find_all("push button", "Poznámky"), "a notes button without a note"
    o.menu("Vlastné", "Poznámky")
    w = o.window("Poznámky")
    path = os.path.join(t, "subory.txt")
    o.find("label", f"Poznámka je uložená do {path}", within=w)
    write_note(o, w, ["Lekcia o súboroch."])
    o.press("Ulož", within=w)
    wait_for("the lesson's note on disk", lambda: os.path.exists(path))
    assert driver.read_cp1250_lines(path)[0] == "Lekcia o súboroch."
    assert not os.path.exists(os.path.join(t, "02._deň.txt"))
    closed(o, "Poznámky")
    o.press("Poznámky")
    w = o.window("Poznámky")
    box = note_box(w)
    wait_for("the lesson's note shown", lambda: (text_of(box) or "").startswith("Lekcia o súboroch."))
    o.press("Koniec", within=w)
    closed(o, "Poznámky")


@pytest.mark.both_sizes
def test_own_link_is_saved_and_offered_on_the_screen(start, course):
    _, t = course
    o = start()
    open_day2(o)
    o.menu("Vlastné", "Odkazy")
    w = o.window("Odkazy")
    path = os.path.join(t, "02.htm")
    o.find("label", f"Stránka je uložená do {path}", within=w)
    edit = next(n for n in walk(w) if role(n) == "text")
    o.click(edit)
    o.type(LINK)
    # With the keyboard: Tab to "Ulož", Enter.
    save = o.find("push button", "Ulož", within=w)
    assert name(save)
    tab_to(o, save)
    o.key("Return")
    o.find("list item", LINK, within=w)
    with open(path, "rb") as f:
        assert f.read() == LINK.encode("cp1250") + b"\r\n"
    o.press("Koniec", within=w)
    closed(o, "Odkazy")
    o.find("label", "Vlastné odkazy:")
    combo = wait_for("the own links' combo showing the link", lambda: next(
        (n for n in o.find_all("combo box") if LINK in [name(i) for i in walk(n, only_showing=False)] + [name(n)]),
        None))
    assert showing(combo)
    assert name(combo).strip(), "the own links' combo has no name"


def test_typed_note_is_kept_or_dropped_as_the_learner_answers(start, course):
    _, t = course
    o = start()
    open_day2(o)
    path = os.path.join(t, "02._deň.txt")
    # "Koniec" with a typed note: asked, "Áno" saves it.
    o.menu("Vlastné", "Poznámky")
    w = o.window("Poznámky")
    write_note(o, w, NOTE)
    o.press("Koniec", within=w)
    assert o.message_text() == "Uložiť poznámku?"
    o.answer("Áno")
    closed(o, "Poznámky")
    with open(path, "rb") as f:
        kept = f.read()
    assert kept == "\r\n".join(NOTE).encode("cp1250") + b"\r\n", kept
    o.find("push button", "Poznámky")

    # Changed again and left with Escape: "Zrušiť" stays with the text, "Nie" drops it.
    o.press("Poznámky")
    w = o.window("Poznámky")
    box = write_note(o, w, ["Toto sa neuloží."])
    o.key("Escape")
    o.answer("Zrušiť")
    wait_for("the window still open", lambda: o.find_all("push button", "Koniec", within=w))
    assert (text_of(box) or "").startswith("Toto sa neuloží.")
    o.click(box)
    o.key("Escape")
    assert o.message_text() == "Uložiť poznámku?"
    o.answer("Nie")
    closed(o, "Poznámky")
    with open(path, "rb") as f:
        assert f.read() == kept
    assert o.running()


def copy_lists(o, w):
    """The copy window's lists: the learner's files, the folders, the files of the folder."""
    lists = [n for n in walk(w) if role(n) == "list"]
    assert len(lists) == 3, [name(n) for n in lists]
    return sorted(lists, key=lambda n: (driver.extents(n)[0], driver.extents(n)[1]))


def copy_line(o, w, start):
    """The copy window's line that begins with `start`."""
    return wait_for(f"a line {start!r}", lambda: next(
        (name(n) for n in walk(w) if role(n) == "label" and name(n).startswith(start)), None))


def test_copy_window_copies_both_ways(start, course, tmp_path):
    c, t = course
    # The learner's home folder (the driver's HOME is the test's folder) holds
    # the course, the learner's folder and a spare folder.
    spare = tmp_path / "zaloha"
    spare.mkdir()
    home_links = b"https://example.org/doma\r\n"
    (spare / "doma.htm").write_bytes(home_links)
    o = start()
    open_day2(o)
    o.menu("Vlastné", "Poznámky")
    w = o.window("Poznámky")
    write_note(o, w, NOTE)
    o.press("Ulož", within=w)
    closed(o, "Poznámky")
    with open(os.path.join(t, "02._deň.txt"), "rb") as f:
        note = f.read()

    o.menu("Vlastné", "Kopírovanie")
    w = o.window("Kopírovanie")
    left, folders, right = copy_lists(o, w)
    o.find("list item", "02._deň.txt", within=left)
    # It starts in the home folder, not in the course; the course is not offered.
    drive = next(n for n in walk(w) if role(n) == "combo box")
    assert name(drive) == "Domovský priečinok"
    shown = [name(n).strip() for n in walk(folders) if role(n) == "list item"]
    assert shown[0] == "Domovský priečinok", shown
    assert "zaloha" in shown and "learner" in shown, shown
    assert "course" not in shown, shown
    assert not [n for n in walk(right) if role(n) == "list item" and name(n) == "Obsah.txt"]
    # Into the spare folder: its entry, Enter.
    o.click(wait_for("the spare folder listed", lambda: next(
        (n for n in walk(folders) if role(n) == "list item" and name(n).strip() == "zaloha"), None)))
    o.key("Return")
    o.find("list item", "doma.htm", within=right)

    o.click(o.find("list item", "02._deň.txt", within=left))
    out = o.press(">", within=w)
    assert name(out)
    o.find("list item", "02._deň.txt", within=right)
    assert (spare / "02._deň.txt").read_bytes() == note
    assert copy_line(o, w, "Skopírovaný") == f"Skopírovaný 1 súbor do {spare}."

    o.click(o.find("list item", "doma.htm", within=right))
    o.press("<", within=w)
    o.find("list item", "doma.htm", within=left)
    with open(os.path.join(t, "doma.htm"), "rb") as f:
        assert f.read() == home_links
    assert copy_line(o, w, "Skopírovaný") == f"Skopírovaný 1 súbor do {t}."

    # Onto a changed copy: asked first; "Nie" keeps it, "Áno" replaces it.
    other = "Iná verzia z domu.\r\n".encode("cp1250")
    (spare / "02._deň.txt").write_bytes(other)
    o.click(o.find("list item", "02._deň.txt", within=left))
    o.press(">", within=w)
    assert "už je súbor 02._deň.txt s iným obsahom" in o.message_text()
    o.answer("Nie")
    assert copy_line(o, w, "Neskopíroval") == "Neskopíroval sa žiadny súbor. Ponechané bez zmeny: 02._deň.txt."
    assert (spare / "02._deň.txt").read_bytes() == other
    o.press(">", within=w)
    o.answer("Áno")
    wait_for("the note replaced", lambda: (spare / "02._deň.txt").read_bytes() == note)
    assert copy_line(o, w, "Skopírovaný") == f"Skopírovaný 1 súbor do {spare}."
    o.key("Escape")
    closed(o, "Kopírovanie")
    assert o.running()
    # The course is untouched: nothing went there.
    assert not os.path.exists(os.path.join(c, "02._deň.txt"))
    assert not os.path.exists(os.path.join(c, "doma.htm"))


def test_every_control_of_the_tool_windows_has_a_name(start):
    o = start()
    open_day2(o)
    unnamed = []
    for item, title in (("Poznámky", "Poznámky"), ("Odkazy", "Odkazy"), ("Kopírovanie", "Kopírovanie")):
        o.menu("Vlastné", item)
        w = o.window(title)
        unnamed += [f"{title}: {role(n)}" for n in walk(w)
                    if role(n) in ("text", "push button", "list", "combo box") and not name(n).strip()]
        o.key("Escape")
        closed(o, title)
    assert not unnamed, f"controls without a name: {unnamed}"


def test_export_names_the_learner_and_the_class_overview_lists_every_learner(start, course, tmp_path):
    c, t = course
    o = start(env={"XDG_CONFIG_HOME": str(tmp_path / "config")})
    # The teacher's screen of day 2: read, and so among the export's records.
    open_day2(o)
    o.press("Vyučujúci")
    field = o.find("password text")
    o.click(field)
    o.type("ucitel")
    o.key("Return")
    o.find("push button", "Metodika druhého dňa")

    o.menu("Vlastné", "Export mojej práce")
    w = o.window("Export mojej práce")
    box = o.find("text", "Meno žiaka", within=w)
    assert (text_of(box) or "").strip(), "no name offered"
    o.click(box)
    o.key("ctrl+a")
    o.type("Ema Nováková")
    driver.screenshot(os.environ.get("ORBINO_E2E_SHOT_DIR", str(tmp_path)) + "/meno.png")
    o.press("Ďalej", within=w)
    # The file dialog offers moja_praca.html in the home folder.
    home = os.path.dirname(t.rstrip("/"))
    target = os.path.join(home, "moja_praca.html")
    wait_for("the file dialog", lambda: any("moja_praca" in (text_of(n) or "")
                                            for w_ in o.windows() for n in walk(w_)
                                            if role(n) == "text"))
    o.key("Return")
    assert target in o.message_text()
    o.answer("OK")
    with open(target, encoding="utf-8") as f:
        page = f.read()
    assert '<span class="name">Ema Nováková</span><br>Dátum: ' in page
    assert page.index("Ema Nováková") < page.index("<h1>")
    assert "2. deň › Vyučujúci: prečítané" in page, page[-2000:]
    assert "ucitel.txt" not in page

    # A class: Ema's progress with a test, a learner who has not begun, one of another course.
    cls = tmp_path / "trieda"
    for n in ("Ema", "Jozef", "Iný"):
        (cls / n).mkdir(parents=True)
    with open(os.path.join(t, "#postup.txt"), "rb") as f:
        progress = f.read()
    test_line = "T\t04._deň\tskusaj.txt\t3\t5\t2026-05-04T09:00:00\r\n".encode("cp1250")
    (cls / "Ema" / "#postup.txt").write_bytes(progress + test_line)
    (cls / "Iný" / "#postup.txt").write_bytes(b"C\tIn\xfd kurz\r\n")
    o.menu("Pomocník", "Prehľad triedy")
    wait_for("the folder dialog", lambda: any(role(n) == "text" for w_ in o.windows()
                                              if name(w_) != "Export mojej práce" for n in walk(w_)))
    o.key("ctrl+a")
    o.type(str(cls))
    o.key("Return")
    w = o.window("Prehľad triedy")
    o.find("table cell", "ešte nezačal", within=w)
    o.find("table cell", "iný kurz: Iný kurz", within=w)
    o.find("table cell", "Ema", within=w)
    driver.screenshot(os.environ.get("ORBINO_E2E_SHOT_DIR", str(tmp_path)) + "/prehlad.png")
    o.press("Zavrieť", within=w)
    closed(o, "Prehľad triedy")

    # The same from the terminal: the table, the learner without progress in it.
    r = subprocess.run([driver.BINARY, "--class-report", str(cls)], cwd=c, capture_output=True,
                       env={**os.environ, "HOME": home}, timeout=60)
    out = r.stdout.decode()
    assert r.returncode == 0, r.stderr.decode()
    assert "T1 = 4. deň" in out and "ešte nezačal" in out and "Jozef" in out, out
    fresh = tmp_path / "nova"
    (fresh / "Adam").mkdir(parents=True)
    r = subprocess.run([driver.BINARY, "--class-report", str(fresh)], cwd=c, capture_output=True,
                       env={**os.environ, "HOME": home}, timeout=60)
    assert r.returncode == 1 and "žiadny priečinok žiaka" in r.stderr.decode()
