"""Windows programs of a course on Linux: a lesson item and the course's
demonstration player SCPLAYER.EXE run through real Wine, with two small
Windows programs built here with MinGW; and, where Wine is missing, what the
learner and the teacher's check are told."""
import os
import re
import shutil
import subprocess
import time

import pytest

import driver
from driver import wait_for

DAY2 = "02._deň"
HERE = os.path.dirname(os.path.abspath(__file__))
STATUS = "Spúšťam program pre Windows…"
# How Wine is told to build its prefix without asking for Mono or Gecko,
# and to keep its notes to itself.
QUIET_WINE = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}


@pytest.fixture(scope="session")
def wine(tmp_path_factory):
    """The two Windows programs and a Wine prefix of the session's own (built
    once: Wine's first start takes about 20 s)."""
    for tool in ("wine", "wineboot", "wineserver", "x86_64-w64-mingw32-gcc"):
        if not shutil.which(tool):
            pytest.skip(f"{tool} is not installed (scripts/install-deps.sh installs it)")
    folder = tmp_path_factory.mktemp("wine")
    programs = {}
    for name in ("zapis", "chyba"):
        exe = str(folder / f"{name}.exe")
        subprocess.run(["x86_64-w64-mingw32-gcc", "-O2", "-Wall", "-o", exe,
                        os.path.join(HERE, "windows", f"{name}.c")], check=True, timeout=60)
        programs[name] = exe
    env = dict(os.environ, WINEPREFIX=str(folder / "prefix"), **QUIET_WINE)
    started = time.monotonic()
    subprocess.run(["wineboot", "-i"], env=env, check=True, timeout=150,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=env, timeout=60)
    print(f"Wine prefix ready in {time.monotonic() - started:.0f} s")
    yield {"programs": programs, "prefix": env["WINEPREFIX"]}
    subprocess.run(["wineserver", "-k"], env=env, timeout=30)


def course_with_windows_programs(tmp_path, zapis, chyba):
    """The sample course in a folder whose name has a blank, with a Windows
    lesson item, a failing one, and a Windows demonstration player."""
    course = tmp_path / "Kurz pre Windows" / "kurz"
    shutil.copytree(driver.SAMPLE_COURSE, course, symlinks=True)
    day = course / DAY2
    shutil.copy(zapis, day / "zapis.exe")
    shutil.copy(chyba, day / "chyba.exe")
    os.remove(course / "SCPLAYER.EXE")
    shutil.copy(zapis, course / "SCPLAYER.EXE")
    lines = driver.read_cp1250_lines(day / "Obsah.txt")
    if lines[-1] == "":
        lines = lines[:-1]
    at = next(i for i, line in enumerate(lines) if line.startswith("//"))
    lines[at:at] = ["[Program pre Windows] zapis.exe /s/c priecinky.bmp", "[Chybný program] chyba.exe"]
    driver.write_cp1250_lines(day / "Obsah.txt", lines)
    learner = tmp_path / "ziak"
    learner.mkdir()
    return str(course), str(learner)


def windows_form(path):
    """A Linux path as a Windows program under Wine sees it."""
    return "Z:" + os.path.realpath(path).replace("/", "\\")


def command_line_words(line):
    """A Windows command line split as a program's C runtime splits it (no escaped quotes here)."""
    return [a if a else b for a, b in re.findall(r'"([^"]*)"|(\S+)', line)]


def records(path):
    """(argv, cwd) of each start the recording program wrote down."""
    lines = driver.read_log(path)
    return [(command_line_words(lines[i][len("argv: "):]), lines[i + 1][len("cwd: "):])
            for i in range(0, len(lines) - 1, 2)]


def test_windows_item_and_player_run_through_wine(start, tmp_path, wine):
    started = time.monotonic()
    course, learner = course_with_windows_programs(tmp_path, wine["programs"]["zapis"], wine["programs"]["chyba"])
    record = tmp_path / "zaznam.txt"
    o = start(course_dir=course, temp=learner, env={
        "WINEPREFIX": wine["prefix"], "WINEDLLOVERRIDES": QUIET_WINE["WINEDLLOVERRIDES"],
        "ORBINO_WINE_RECORD": str(record), "ORBINO_WINE_HOLD_MS": "2500"})
    o.press("2. deň")
    o.find("push button", "Obrázok: strom priečinkov")

    # The lesson item: a busy status until Wine ends; its arguments as the
    # course gives them, the course folder as its working folder.
    o.press("Program pre Windows")
    o.find("label", STATUS, timeout=5)
    driver.screenshot(tmp_path / "wine-busy.png")
    wait_for("the program's record", lambda: len(records(record)) == 1, timeout=30)
    o.gone("label", STATUS, timeout=30)
    argv, cwd = records(record)[0]
    assert argv == [windows_form(os.path.join(course, DAY2, "zapis.exe")), "/s/c", "priecinky.bmp"], argv
    assert cwd == windows_form(course), cwd

    # The demonstration: the player gets the recording as Windows names it,
    # one argument despite the blank in its folder, then "/s/c".
    o.press("Ukážka: nový priečinok")
    wait_for("the player's record", lambda: len(records(record)) == 2, timeout=30)
    argv, cwd = records(record)[1]
    assert argv == [windows_form(os.path.join(course, "SCPLAYER.EXE")),
                    windows_form(os.path.join(course, DAY2, "novy.scm")), "/s/c"], argv
    assert " " in argv[1]
    assert cwd == windows_form(course), cwd
    o.gone("label", STATUS, timeout=30)

    # A program that Wine ends at once with an error: named, with Wine's last line.
    o.press("Chybný program")
    text = o.message_text(timeout=30)
    driver.screenshot(tmp_path / "wine-failed.png")
    assert os.path.join(DAY2, "chyba.exe") + " - Program sa nedá spustiť" in text, text
    assert "Chyba: subor ulohy.dat sa nenasiel" in text, text
    assert "kódom 3" in text, text
    o.answer("OK")
    o.gone("label", STATUS)
    assert o.running()
    assert time.monotonic() - started < 90


def test_without_wine_the_learner_and_the_teacher_are_told(start, tmp_path):
    # The programs need not run here: a Windows program is known by its first bytes.
    fake = tmp_path / "windows-program.exe"
    fake.write_bytes(b"MZ\x90\x00" + bytes(60))
    course, learner = course_with_windows_programs(tmp_path, fake, fake)
    nothing = tmp_path / "bin"
    nothing.mkdir()
    o = start(course_dir=course, temp=learner, env={"PATH": str(nothing)})
    o.press("2. deň")
    o.press("Program pre Windows")
    text = o.message_text()
    driver.screenshot(tmp_path / "no-wine.png")
    assert os.path.join(DAY2, "zapis.exe") + " - je program pre Windows" in text, text
    assert "balík wine" in text, text
    o.answer("OK")
    o.press("Ukážka: nový priečinok")
    text = o.message_text()
    assert "SCPLAYER.EXE - je program pre Windows" in text, text
    o.answer("OK")
    assert o.running()

    # The teacher's check names them.
    check = subprocess.run([driver.BINARY, "--check"], cwd=course, capture_output=True, timeout=60,
                           env=dict(os.environ, PATH=str(nothing), QT_QPA_PLATFORM="offscreen"))
    out = check.stdout.decode()
    listed = out.split("Programy pre Windows", 1)[1].splitlines()[1:]
    assert sorted(listed) == sorted([f"{DAY2}/zapis.exe", f"{DAY2}/chyba.exe", "SCPLAYER.EXE"]), out
