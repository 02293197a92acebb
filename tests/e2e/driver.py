"""Drives the built Orbino as a person and a screen reader do.

What is on screen is read through the accessibility bus (AT-SPI): names,
roles, visibility and on-screen extents. Input goes in as a person gives it:
real mouse clicks and key presses through the X server (xdotool), so the
window manager and Qt's real event handling are in the loop.
"""
import math
import os
import shutil
import subprocess
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BINARY = os.environ.get("ORBINO_BINARY", os.path.join(ROOT, "build-release", "src", "orbino"))
SAMPLE_COURSE = os.path.join(ROOT, "examples", "course")

# How long a state may take to appear. Every wait polls and returns as soon
# as the state is there.
TIMEOUT = float(os.environ.get("ORBINO_E2E_TIMEOUT", "15"))


class Timeout(AssertionError):
    pass


class ProgramEnded(AssertionError):
    """The program under test ended while a state was awaited: no use waiting on."""


def zoom_of(env):
    """The factor the program draws at: the zoom it chooses for the
    monitor (the same rule as the program's), else the desktop's scale."""
    asked = (env.get("ORBINO_ZOOM") or "").strip().lower()
    if asked in ("off", "0", "no"):
        return float(env.get("QT_SCALE_FACTOR") or 1)
    if asked:
        return float(asked)
    w, h = (int(v) for v in env.get("ORBINO_E2E_SIZE", "1024x768").split("x"))
    return max(1.0, math.floor(min(w / 1024, h / 768) * 32) / 32)


def wait_for(what, predicate, timeout=TIMEOUT, interval=0.05):
    """Polls `predicate` until it returns something true; returns that."""
    end = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = predicate()
            if value:
                return value
        except ProgramEnded:
            raise
        except Exception as e:  # the tree changes under us while windows open and close
            last_error = e
        if time.monotonic() > end:
            raise Timeout(f"waited {timeout:.0f} s for {what}" + (f" (last error: {last_error})" if last_error else ""))
        time.sleep(interval)


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def move_pointer(x, y):
    # "--sync" waits for the pointer to move, which it never does when it is
    # already there.
    here = subprocess.run(["xdotool", "getmouselocation", "--shell"], capture_output=True, text=True).stdout
    if f"X={x}\n" in here and f"Y={y}\n" in here:
        return
    xdotool("mousemove", "--sync", x, y)


def role(node):
    try:
        return node.get_role_name()
    except Exception:
        return ""


def name(node):
    try:
        return node.get_name() or ""
    except Exception:
        return ""


def states(node):
    try:
        return node.get_state_set()
    except Exception:
        return None


def showing(node):
    s = states(node)
    return bool(s) and s.contains(Atspi.StateType.SHOWING)


def enabled(node):
    s = states(node)
    return bool(s) and s.contains(Atspi.StateType.ENABLED)


def extents(node):
    """(x, y, width, height) on the screen."""
    r = node.get_extents(Atspi.CoordType.SCREEN)
    return (r.x, r.y, r.width, r.height)


def children(node):
    try:
        n = node.get_child_count()
    except Exception:
        return []
    out = []
    for i in range(n):
        try:
            c = node.get_child_at_index(i)
        except Exception:
            c = None
        if c is not None:
            out.append(c)
    return out


def walk(node, only_showing=True):
    """Every node below `node` (depth first), skipping hidden branches."""
    for c in children(node):
        if only_showing and not showing(c):
            continue
        yield c
        yield from walk(c, only_showing)


def top_window(node):
    """The frame or dialog holding `node`."""
    top = node
    for _ in range(50):
        try:
            parent = top.get_parent()
        except Exception:
            return top
        if parent is None or role(parent) == "application":
            return top
        top = parent
    return top


def inside(inner, outer):
    x, y, w, h = inner
    ox, oy, ow, oh = outer
    return ox <= x and x + w <= ox + ow and oy <= y and y + h <= oy + oh


def bring_into_view(node):
    """A control its window has scrolled out of sight (a small or scaled
    screen) is given the focus, which scrolls it into view as Tab would."""
    top = top_window(node)
    if top is node or inside(extents(node), extents(top)):
        return
    try:
        node.get_component_iface().grab_focus()
    except Exception:
        return
    try:
        wait_for("the control scrolled into view", lambda: inside(extents(node), extents(top)), timeout=3)
    except Timeout:
        pass


def text_of(node):
    try:
        t = node.get_text_iface()
        if t is None:
            return None
        return t.get_text(0, t.get_character_count())
    except Exception:
        return None


def dump(node, depth=0, out=None):
    """The accessible tree as text, for failure reports."""
    if out is None:
        out = []
    try:
        ext = extents(node)
    except Exception:
        ext = None
    flags = ("showing" if showing(node) else "hidden") + ("" if enabled(node) else " disabled")
    line = f"{'  ' * depth}{role(node)} {name(node)!r} [{flags}] {ext}"
    t = text_of(node)
    if t and role(node) in ("text", "entry", "paragraph"):
        line += f" text={t[:80]!r}"
    out.append(line)
    for c in children(node):
        dump(c, depth + 1, out)
    return out


class Orbino:
    """One running copy of the program in a course folder."""

    def __init__(self, course, temp, args=(), env=None, binary=BINARY, gate=None):
        self.course = course
        self.temp = temp
        e = dict(os.environ)
        e.update({"TEMP": temp, "HOME": os.path.dirname(temp.rstrip("/")), "LANG": "sk_SK.UTF-8"})
        e.pop("QT_QPA_PLATFORM", None)
        if env:
            e.update(env)
        self.log_path = os.path.join(os.path.dirname(temp.rstrip("/")), f"orbino-{time.monotonic_ns()}.log")
        self.log = open(self.log_path, "wb")
        # With a gate (a FIFO), the program starts once a line is written to
        # it, so that many copies can be let go at one moment.
        cmd = [binary, *args]
        if gate:
            cmd = ["/bin/sh", "-c", 'read _ < "$0"; exec "$@"', gate, *cmd]
        self.proc = subprocess.Popen(cmd, cwd=course, env=e, stdout=self.log, stderr=subprocess.STDOUT)
        self._app = None
        # The accessibility bus gives places in the program's logical pixels;
        # the X server takes the pointer in device pixels.
        self.scale = zoom_of(e)

    # --- the process -----------------------------------------------------
    def running(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout=TIMEOUT):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Timeout(f"the program did not end within {timeout:.0f} s")

    def kill(self):
        if self.running():
            self.proc.kill()
            self.proc.wait()
        self.log.close()

    def output(self):
        self.log.flush()
        with open(self.log_path, "rb") as f:
            return f.read().decode("utf-8", "replace")

    # --- the accessible tree ---------------------------------------------
    def app(self):
        if self._app is not None:
            try:
                if self._app.get_process_id() == self.proc.pid:
                    return self._app
            except Exception:
                pass
        desktop = Atspi.get_desktop(0)

        def find():
            for a in children(desktop):
                try:
                    if a.get_process_id() == self.proc.pid:
                        return a
                except Exception:
                    continue
            if not self.running():
                raise ProgramEnded(f"the program ended with {self.proc.returncode}:\n{self.output()}")
            return None

        self._app = wait_for("the program on the accessibility bus", find)
        try:
            self._app.set_cache_mask(Atspi.Cache.NONE)
        except Exception:
            pass
        return self._app

    def windows(self):
        """The program's showing top-level windows (frames and dialogs)."""
        return [w for w in children(self.app()) if showing(w)]

    def window(self, title=None, timeout=TIMEOUT):
        """The showing window with `title` (the front one when None)."""

        def find():
            ws = self.windows()
            if title is None:
                active = [w for w in ws if states(w).contains(Atspi.StateType.ACTIVE)]
                return (active or ws or [None])[-1]
            for w in ws:
                if name(w) == title:
                    return w
            return None

        return wait_for(f"window {title!r}", find, timeout)

    def find_all(self, role_name=None, label=None, within=None, only_showing=True):
        roots = [within] if within is not None else self.windows()
        out = []
        for r in roots:
            for n in walk(r, only_showing):
                if role_name and role(n) != role_name:
                    continue
                if label is not None and name(n).strip() != label:
                    continue
                out.append(n)
        return out

    def find(self, role_name=None, label=None, within=None, timeout=TIMEOUT):
        return wait_for(
            f"{role_name or 'control'} {label!r}",
            lambda: (self.find_all(role_name, label, within) or [None])[0],
            timeout,
        )

    def gone(self, role_name=None, label=None, within=None, timeout=TIMEOUT):
        wait_for(f"{role_name or 'control'} {label!r} to disappear",
                 lambda: not self.find_all(role_name, label, within), timeout)

    def dump(self):
        try:
            return "\n".join(dump(self.app()))
        except Exception as e:
            return f"(no accessible tree: {e})"

    # --- input as a person gives it --------------------------------------
    def click(self, node, button=1, count=1):
        bring_into_view(node)
        x, y, w, h = extents(node)
        assert w > 0 and h > 0, f"{role(node)} {name(node)!r} has no place on the screen"
        move_pointer(round((x + w / 2) * self.scale), round((y + h / 2) * self.scale))
        xdotool("click", "--repeat", count, button)

    def press(self, label, role_name="push button", within=None):
        node = self.find(role_name, label, within)
        wait_for(f"{label!r} enabled", lambda: enabled(node))
        self.click(node)
        return node

    def menu(self, *path):
        """Chooses a menu item with the mouse: the menu bar's title, then each item."""
        top = self.find("menu item", path[0], within=self.window())
        self.click(top)
        for label in path[1:]:
            item = self.find("menu item", label)
            wait_for(f"menu item {label!r} enabled", lambda: enabled(item), timeout=2)
            self.click(item)

    def menu_item_enabled(self, *path):
        """Opens the menus down to the last item and says whether it can be chosen; closes them again."""
        top = self.find("menu item", path[0], within=self.window())
        self.click(top)
        for label in path[1:-1]:
            self.click(self.find("menu item", label))
        item = self.find("menu item", path[-1])
        result = enabled(item)
        # One Escape per open menu, each awaited, then one for the menu bar,
        # which keeps the keyboard after its menu closed.
        for label in reversed(path[1:]):
            self.key("Escape")
            self.gone("menu item", label)
        self.key("Escape")
        wait_for("the menu bar to let go of the keyboard", lambda: not focused(top))
        return result

    def key(self, *keys):
        xdotool("key", "--clearmodifiers", *keys)

    def type(self, text):
        xdotool("type", "--delay", 20, text)

    def answer(self, button_label, timeout=TIMEOUT):
        """Presses a button of the message box now in front (\"Áno\", \"Nie\", \"OK\")."""
        box = wait_for("a message box", lambda: self._message_box(), timeout)
        self.press(button_label, within=box)
        return box

    def _message_box(self):
        for w in self.windows():
            if role(w) == "alert":
                return w
        return None

    def message_text(self, timeout=TIMEOUT):
        box = wait_for("a message box", lambda: self._message_box(), timeout)
        return " ".join(name(n) for n in walk(box) if role(n) == "label" and name(n))

    # --- the learner's folder --------------------------------------------
    def level_file(self, name_="Okna"):
        with open(os.path.join(self.temp, name_), "rb") as f:
            return f.read().decode().strip()


def fresh_course(tmp_path):
    course = tmp_path / "course"
    shutil.copytree(SAMPLE_COURSE, course, symlinks=True)
    temp = tmp_path / "learner"
    temp.mkdir()
    return str(course), str(temp)


def screenshot(path):
    subprocess.run(["import", "-window", "root", str(path)], check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# --- helpers for the item, tool, tree and two-copies scenarios -------------

def focused(node):
    s = states(node)
    return bool(s) and s.contains(Atspi.StateType.FOCUSED)


def tab_to(o, node, limit=20, key="Tab"):
    """Moves the keyboard focus with Tab until `node` has it, as a person does
    (key="shift+Tab" out of a text box that takes Tab as a character)."""
    for _ in range(limit):
        if focused(node):
            return node
        o.key(key)
        try:
            wait_for("the focus to move", lambda: focused(node), timeout=0.3)
            return node
        except Timeout:
            continue
    raise Timeout(f"Tab never reached {role(node)} {name(node)!r}")


def fake_tool(folder, tool, log):
    """A stand-in command on PATH that appends its arguments, one call a line, to `log`."""
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, tool)
    with open(path, "w") as f:
        f.write(f'#!/bin/sh\nprintf "%s\\n" "$*" >> "{log}"\n')
    os.chmod(path, 0o755)
    return path


def read_log(path):
    try:
        with open(path, encoding="utf-8") as f:
            return [line for line in f.read().split("\n") if line]
    except FileNotFoundError:
        return []


def application_pids():
    """The process ids of every application on the accessibility bus."""
    out = []
    for a in children(Atspi.get_desktop(0)):
        try:
            out.append(a.get_process_id())
        except Exception:
            continue
    return out


def parent_pid(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return int(f.read().rsplit(")", 1)[1].split()[1])
    except (OSError, ValueError, IndexError):
        return None


class _Process:
    """A process this test did not start itself (a copy another copy started)."""

    def __init__(self, pid):
        self.pid = pid
        self.returncode = None

    def poll(self):
        try:
            with open(f"/proc/{self.pid}/stat") as f:
                state = f.read().rsplit(")", 1)[1].split()[0]
        except OSError:
            state = "X"
        if state in ("Z", "X"):
            self.returncode = self.returncode if self.returncode is not None else 0
            return self.returncode
        return None

    def wait(self, timeout=None):
        wait_for(f"process {self.pid} to end", lambda: self.poll() is not None, timeout or TIMEOUT)
        return self.returncode

    def kill(self):
        try:
            os.kill(self.pid, 9)
        except OSError:
            pass


class OtherCopy(Orbino):
    """A running copy of the program found by its process id, driven like one started here."""

    def __init__(self, pid, course, temp):
        self.course = course
        self.temp = temp
        self.proc = _Process(pid)
        self._app = None
        # It chooses the same zoom as the copy that started it.
        self.scale = zoom_of(os.environ)
        self.log = open(os.devnull, "wb")
        self.log_path = os.devnull

    def output(self):
        return ""


def child_copy(o, timeout=TIMEOUT):
    """The copy of the program that copy `o` started, once it is on the accessibility bus."""
    pid = wait_for("a second copy on the accessibility bus", lambda: next(
        (p for p in application_pids() if p != o.proc.pid and parent_pid(p) == o.proc.pid), None), timeout)
    return OtherCopy(pid, o.course, o.temp)


def write_cp1250_lines(path, lines):
    with open(path, "wb") as f:
        f.write(b"".join(line.encode("cp1250") + b"\r\n" for line in lines))


def read_cp1250_lines(path):
    with open(path, "rb") as f:
        data = f.read()
    assert b"\n" not in data.replace(b"\r\n", b""), f"a bare line feed in {path}"
    return data.decode("cp1250").split("\r\n")


def bring_to_front(o):
    """Raises and focuses the copy's window on top, as a click on its taskbar entry does."""
    def window_ids():
        r = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(o.proc.pid), "--name", "."],
                           capture_output=True, text=True)
        return r.stdout.split()

    ids = wait_for(f"the windows of process {o.proc.pid}", window_ids)
    xdotool("windowactivate", "--sync", ids[-1])
    wait_for("the copy's window active", lambda: any(
        states(w).contains(Atspi.StateType.ACTIVE) for w in o.windows()))


def names_screen(w, title):
    """Whether window `w` is one of the program's screens: its name is the
    window's title, then (on a level screen) the screen's heading."""
    n = name(w)
    return n == title or n.startswith(title + " – ")


def active_window_title():
    """The title the window manager shows on the active window."""
    return subprocess.run(["xdotool", "getactivewindow", "getwindowname"],
                          capture_output=True, text=True).stdout.strip()


def closed(o, title):
    """Waits until no window titled `title` is open."""
    wait_for(f"{title!r} closed", lambda: not [w for w in o.windows() if name(w) == title])


def note_box(w):
    """The text box of the notes window `w`."""
    return wait_for("the note's text box", lambda: next((n for n in walk(w) if role(n) == "text"), None))


def write_note(o, w, lines):
    """Types `lines` into the notes window `w` in place of what it holds."""
    box = note_box(w)
    o.click(box)
    o.key("ctrl+a")
    o.key("Delete")
    o.type(lines[0])
    for line in lines[1:]:
        o.key("Return")
        o.type(line)
    wait_for("the typed note", lambda: lines[-1] in (text_of(box) or ""))
    return box
