"""A school lab: twenty copies at once on one read-only course (a network
share or a disc), each learner with a folder of their own; and two copies in
one learner's folder, as on a shared home folder."""
import hashlib
import os
import shutil
import subprocess
import time

import pytest

import driver
from conftest import ARTIFACTS
from driver import bring_to_front, closed, name, role, tab_to, walk, write_note

COPIES = int(os.environ.get("ORBINO_LAB_COPIES", "20"))
TITLE = "Orbino - Práca s počítačom"
# Each copy answers the sample test alike; four points out of five.
ANSWERS = ["Áno", "Nie", "Áno", "Áno", "Áno"]
SCORE = "Pri riešení úloh si získal: 4 body"


def tree_digest(folder):
    """Every name, kind, mode and byte below `folder`."""
    h = hashlib.sha256()
    for dirpath, dirnames, filenames in os.walk(folder):
        dirnames.sort()
        for n in sorted(dirnames + filenames):
            p = os.path.join(dirpath, n)
            st = os.lstat(p)
            h.update(os.path.relpath(p, folder).encode() + b"\0" + oct(st.st_mode).encode() + b"\0")
            if os.path.isfile(p) and not os.path.islink(p):
                with open(p, "rb") as f:
                    h.update(f.read())
    return h.hexdigest()


@pytest.fixture
def shared_course(tmp_path):
    """The sample course on a read-only mount, as a lab's share is for every
    learner (root's CAP_DAC_OVERRIDE ignores file modes, not a read-only mount)."""
    share = tmp_path / "share"
    shutil.copytree(driver.SAMPLE_COURSE, share, symlinks=True)
    mounted = tmp_path / "kurz"
    mounted.mkdir()
    r = subprocess.run(["mount", "--bind", str(share), str(mounted)], capture_output=True, text=True)
    if r.returncode != 0:
        pytest.skip(f"a read-only bind mount needs root and mount(8): {r.stderr.strip()}")
    try:
        r = subprocess.run(["mount", "-o", "remount,ro,bind", str(mounted)], capture_output=True, text=True)
        if r.returncode != 0:
            pytest.skip(f"the bind mount cannot be made read-only: {r.stderr.strip()}")
        probe = mounted / "zapis.txt"
        with pytest.raises(OSError):
            probe.write_bytes(b"x")
        yield str(mounted)
    finally:
        subprocess.run(["umount", "-l", str(mounted)], check=False)


def learner(tmp_path, n):
    folder = tmp_path / f"ziak{n:02}" / "temp"
    folder.mkdir(parents=True)
    return str(folder)


def note_of(n):
    return [f"Poznámka žiaka {n:02}: ťažký kôň.", "Druhý riadok."]


def link_of(n):
    return f"https://example.org/ziak{n:02}"


def first_screen_time(temp):
    """When the copy's main window was made: the scratch form file it writes then."""
    return os.stat(os.path.join(temp, "temp.dfm")).st_mtime


def save_note(o, lines):
    o.menu("Vlastné", "Poznámky")
    w = o.window("Poznámky")
    write_note(o, w, lines)
    o.press("Ulož", within=w)
    closed(o, "Poznámky")


def save_link(o, link):
    o.menu("Vlastné", "Odkazy")
    w = o.window("Odkazy")
    edit = next(n for n in walk(w) if role(n) == "text")
    o.click(edit)
    o.type(link)
    tab_to(o, o.find("push button", "Ulož", within=w))
    o.key("Return")
    o.find("list item", link, within=w)
    o.press("Koniec", within=w)
    closed(o, "Odkazy")


def run_test(o):
    o.press("Zadanie úloh")
    w = o.window("Úlohy")
    for i, a in enumerate(ANSWERS, 1):
        o.find("label", f"Vyrieš nasledovnú úlohu č. {i}:", within=w)
        o.press(a, within=w)
    o.find("label", SCORE)


def lesson_session(o, n):
    """A learner's hour: a day, its lesson, a note, a link and the test."""
    bring_to_front(o)
    o.press("4. deň")
    o.press("Vyskúšaj sa")
    o.find("push button", "Zadanie úloh")
    save_note(o, note_of(n))
    save_link(o, link_of(n))
    run_test(o)


def peak_memory_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def end(o):
    bring_to_front(o)
    o.press("Koniec")
    assert "ukončiť" in o.message_text()
    o.answer("Áno")
    return o.wait_exit(timeout=60)


def own_files(temp):
    return sorted(os.listdir(temp))


def test_twenty_copies_on_a_read_only_course(start, shared_course, tmp_path):
    before = tree_digest(shared_course)
    began = time.monotonic()

    # One copy alone first: its start-up time and the files a learner's hour leaves.
    alone_temp = learner(tmp_path, 0)
    t0 = time.time()
    alone = start(course_dir=shared_course, temp=alone_temp)
    alone.find("push button", "1. deň")
    alone_startup = first_screen_time(alone_temp) - t0
    lesson_session(alone, 0)
    assert end(alone) == 0
    expected_files = own_files(alone_temp)
    assert "skusaj.txt" in expected_files and "skusaj.htm" in expected_files, expected_files

    # The lab: every copy started at once, all running until the last has had its hour.
    # Each copy waits at a gate, opened once all are there: every copy starts
    # at one moment, however slowly the machine lets this loop go round.
    temps = [learner(tmp_path, n) for n in range(1, COPIES + 1)]
    gate = str(tmp_path / "gate")
    os.mkfifo(gate)
    copies = [start(course_dir=shared_course, temp=temp, gate=gate) for temp in temps]
    held = os.open(gate, os.O_RDWR)  # never blocks; keeps the lines for late readers
    opened = time.time()
    os.write(held, b"\n" * COPIES)
    for o in copies:
        o.find("push button", "1. deň", timeout=120)
        assert name(o.window()) == TITLE
    os.close(held)
    startups = [first_screen_time(temp) - opened for temp in temps]
    # No copy came up before the gate opened: the figures are the lab's.
    assert min(startups) > 0, startups

    for n, o in enumerate(copies, 1):
        lesson_session(o, n)
        assert all(c.running() for c in copies), "a copy ended during another's hour"
    peaks = [peak_memory_kb(o.proc.pid) for o in copies]
    codes = [end(o) for o in copies]
    assert codes == [0] * COPIES

    for n, temp in enumerate(temps, 1):
        assert own_files(temp) == expected_files, (temp, own_files(temp))
        assert driver.read_cp1250_lines(os.path.join(temp, "skusaj.txt")) == note_of(n) + [""]
        with open(os.path.join(temp, "skusaj.htm"), "rb") as f:
            assert f.read() == link_of(n).encode("cp1250") + b"\r\n"
    # Nothing was written to the course; the share is as it was.
    assert tree_digest(shared_course) == before
    wall = time.monotonic() - began
    figures = (f"lab: {COPIES} copies, wall time {wall:.1f} s; start-up alone {alone_startup:.2f} s, "
               f"in the lab median {sorted(startups)[len(startups) // 2]:.2f} s, max {max(startups):.2f} s; "
               f"peak memory per copy (VmHWM) min {min(peaks) / 1024:.0f} MB, "
               f"median {sorted(peaks)[len(peaks) // 2] / 1024:.0f} MB, max {max(peaks) / 1024:.0f} MB\n")
    # Beside the failure artifacts, so a run's figures can be looked up afterwards.
    os.makedirs(ARTIFACTS, exist_ok=True)
    with open(os.path.join(ARTIFACTS, "lab-figures.txt"), "a", encoding="utf-8") as f:
        f.write(figures)
    print("\n" + figures, end="")


def test_two_copies_in_one_learners_folder(start, shared_course, tmp_path):
    temp = learner(tmp_path, 1)
    a = start(course_dir=shared_course, temp=temp)
    b = start(course_dir=shared_course, temp=temp)
    for o in (a, b):
        o.find("push button", "1. deň")
    for o in (a, b):
        bring_to_front(o)
        o.press("2. deň")
        o.find("push button", "Súbory")
    day_note = os.path.join(temp, "02._deň.txt")
    day_links = os.path.join(temp, "02.htm")

    # Both save the day's note in turn: what was saved last is on disk, whole.
    bring_to_front(a)
    save_note(a, ["Anna: prvá poznámka."])
    assert driver.read_cp1250_lines(day_note) == ["Anna: prvá poznámka.", ""]
    bring_to_front(b)
    long_note = [f"Boris: riadok {k}, žltý kôň úpel ďábelské ódy." for k in range(30)]
    save_note(b, long_note)
    assert driver.read_cp1250_lines(day_note) == long_note + [""]
    bring_to_front(a)
    save_note(a, ["Anna: druhá."])
    assert driver.read_cp1250_lines(day_note) == ["Anna: druhá.", ""]

    # Links: the second copy's window reads what the first saved and adds its own.
    bring_to_front(a)
    save_link(a, link_of(1))
    bring_to_front(b)
    save_link(b, link_of(2))
    with open(day_links, "rb") as f:
        assert f.read() == (link_of(1) + "\r\n" + link_of(2) + "\r\n").encode("cp1250")

    # Each its own lesson note; the other's stays as it was.
    bring_to_front(a)
    a.press("Súbory")
    a.find("push button", "Ukážka: nový priečinok")
    save_note(a, ["Anna o súboroch."])
    assert driver.read_cp1250_lines(os.path.join(temp, "subory.txt")) == ["Anna o súboroch.", ""]
    assert driver.read_cp1250_lines(day_note) == ["Anna: druhá.", ""]

    # One copy ends; the other still opens screens from the shared scratch files.
    assert end(a) == 0
    assert b.running(), "ending one copy ended the other"
    bring_to_front(b)
    b.press("Súbory")
    b.find("push button", "Ukážka: nový priečinok")
    save_note(b, ["Boris o súboroch."])
    assert driver.read_cp1250_lines(os.path.join(temp, "subory.txt")) == ["Boris o súboroch.", ""]
    assert end(b) == 0
    assert driver.read_cp1250_lines(day_note) == ["Anna: druhá.", ""]
    with open(day_links, "rb") as f:
        assert f.read() == (link_of(1) + "\r\n" + link_of(2) + "\r\n").encode("cp1250")
