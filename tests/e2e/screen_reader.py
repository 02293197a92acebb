"""A screen reader listening to the program: Orca speaking through
speech-dispatcher and espeak-ng into a null audio output, what it says read
from its debug log.

Everything runs on the private desktop of the end-to-end suite: Orca finds
the accessibility bus there, speech-dispatcher gets a socket of its own, and
both end with the scenario.
"""
import importlib.util
import os
import re
import shutil
import subprocess
import time

from driver import TIMEOUT, Timeout

HERE = os.path.dirname(os.path.abspath(__file__))
PYTHON = "/usr/bin/python3"

# One record of Orca's log starts with the time of day.
_RECORD = re.compile(r"^\d\d:\d\d:\d\d\.\d+ - ", re.M)
_VOICE = re.compile(r"\s*(voice=\S+\s*)?(\{[^{}]*\})?\s*$")
_SAY_ALL = re.compile(r"SAY ALL: .*? '(.*)' \(\d+-\d+, current: \d+\)", re.S)


def missing():
    """What is missing for a screen reader here (None when nothing is)."""
    if not shutil.which("speech-dispatcher"):
        return "speech-dispatcher is not installed"
    if not os.path.exists("/usr/lib/speech-dispatcher-modules/sd_espeak-ng"):
        return "espeak-ng's speech-dispatcher module is not installed"
    if not shutil.which("orca") or importlib.util.find_spec("orca") is None:
        return "the Orca screen reader is not installed"
    return None


def spoken_lines(log_text):
    """What Orca said, in order: every utterance and every line of a say-all
    (a no-break space said as the space it sounds)."""
    log_text = log_text.replace("\u00a0", " ")
    out = []
    starts = [m.start() for m in _RECORD.finditer(log_text)] + [len(log_text)]
    for a, b in zip(starts, starts[1:]):
        record = log_text[a:b].rstrip("\n")
        i = record.find("SPEECH OUTPUT: '")
        if i >= 0:
            # The utterance in quotes, then the voice it was spoken in.
            body = _VOICE.sub("", record[i + len("SPEECH OUTPUT: '"):])
            out.append(body[:body.rfind("'")].strip())
            continue
        m = _SAY_ALL.search(record)
        if m:
            out.append(m.group(1).strip())
    return out


class ScreenReader:
    def __init__(self, folder):
        self.folder = folder
        home = os.path.join(folder, "home")
        conf = os.path.join(home, "speechd")
        prefs = os.path.join(home, "orca")
        for d in (conf, prefs):
            os.makedirs(d, exist_ok=True)
        # espeak-ng speaks into libao's null driver: no sound card needed.
        with open(os.path.join(conf, "speechd.conf"), "w") as f:
            f.write('AudioOutputMethod "libao"\n'
                    'AddModule "espeak-ng" "sd_espeak-ng" "/etc/speech-dispatcher/modules/espeak-ng.conf"\n'
                    'DefaultModule espeak-ng\n')
        with open(os.path.join(home, ".libao"), "w") as f:
            f.write("default_driver=null\n")
        self.socket = os.path.join(folder, "speechd.sock")
        self.log_path = os.path.join(folder, "orca.log")
        env = dict(os.environ)
        env.update({"HOME": home, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                    "LANG": "C.UTF-8", "LANGUAGE": "", "LC_ALL": "C.UTF-8",
                    "SPEECHD_ADDRESS": f"unix_socket:{self.socket}"})
        env.pop("QT_QPA_PLATFORM", None)
        self._out = open(os.path.join(folder, "screen-reader.out"), "wb")
        self.speech = subprocess.Popen(
            ["speech-dispatcher", "--run-single", "--timeout", "0", "--config-dir", conf,
             "--communication-method", "unix_socket", "--socket-path", self.socket,
             "--log-dir", folder],
            env=env, stdout=self._out, stderr=subprocess.STDOUT)
        self.orca = None
        try:
            self._wait("speech-dispatcher's socket", lambda: os.path.exists(self.socket))
            self.orca = subprocess.Popen([PYTHON, os.path.join(HERE, "orca_launch.py"), self.log_path, prefs],
                                         env=env, stdout=self._out, stderr=subprocess.STDOUT)
            self.wait_said("Screen reader on", timeout=max(TIMEOUT, 30))
        except BaseException:
            self.stop()
            raise
        self._seen = 0

    def _wait(self, what, predicate, timeout=TIMEOUT):
        end = time.monotonic() + timeout
        while not predicate():
            for p, name in ((self.speech, "speech-dispatcher"), (self.orca, "Orca")):
                if p is not None and p.poll() is not None:
                    raise AssertionError(f"{name} ended with {p.returncode} while waiting for {what}:\n"
                                         + self.output())
            if time.monotonic() > end:
                raise Timeout(f"waited {timeout:.0f} s for {what}; the screen reader said lately:\n"
                              + "\n".join(self.said()[-25:]))
            time.sleep(0.05)

    def output(self):
        with open(os.path.join(self.folder, "screen-reader.out"), "rb") as f:
            return f.read().decode("utf-8", "replace")[-3000:]

    def said(self):
        """Everything spoken since the start."""
        try:
            with open(self.log_path, encoding="utf-8", errors="replace") as f:
                return spoken_lines(f.read())
        except FileNotFoundError:
            return []

    def mark(self):
        """From now on: what is awaited must be said after this point."""
        self._seen = len(self.said())

    def since(self):
        return self.said()[self._seen:]

    def wait_said(self, *texts, timeout=TIMEOUT):
        """Waits until each of `texts` has been said (in this order) since the
        last mark; returns what was said since the mark."""
        def heard():
            lines = self.said()[getattr(self, "_seen", 0):]
            i = 0
            for t in texts:
                while i < len(lines) and t not in lines[i]:
                    i += 1
                if i == len(lines):
                    return None
                i += 1
            return lines
        found = []
        self._wait(" then ".join(repr(t) for t in texts), lambda: found.append(heard()) or found[-1], timeout)
        return found[-1]

    def stop(self):
        for p in (self.orca, self.speech):
            if p is not None and p.poll() is None:
                p.terminate()
                try:
                    p.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
        self._out.close()
