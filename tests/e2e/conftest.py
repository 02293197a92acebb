import os
import re

import pytest

import driver

ARTIFACTS = os.environ.get("ORBINO_E2E_ARTIFACTS", os.path.join(driver.ROOT, "build-e2e-artifacts"))
_running = []


def pytest_configure(config):
    config.addinivalue_line("markers", "both_sizes: also run on the larger screen (1280x1024)")
    config.addinivalue_line("markers", "large_screen: also run on a large screen (1920x1080)")


@pytest.fixture
def course(tmp_path):
    """A fresh copy of the sample course and an empty learner's folder."""
    return driver.fresh_course(tmp_path)


@pytest.fixture
def start(course):
    """Starts the built program in the course: start(args=(), temp=None, env=None)."""
    c, t = course

    def _start(args=(), temp=None, env=None, course_dir=None, gate=None):
        o = driver.Orbino(course_dir or c, temp or t, args=args, env=env, gate=gate)
        _running.append(o)
        return o

    yield _start
    while _running:
        _running.pop().kill()


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    if report.when != "call" or not report.failed:
        return
    os.makedirs(ARTIFACTS, exist_ok=True)
    size = os.environ.get("ORBINO_E2E_SIZE", "")
    stem = re.sub(r"[^A-Za-z0-9_.-]+", "_", f"{item.name}-{size}")
    shot = os.path.join(ARTIFACTS, stem + ".png")
    tree = os.path.join(ARTIFACTS, stem + ".tree.txt")
    driver.screenshot(shot)
    with open(tree, "w", encoding="utf-8") as f:
        for o in _running:
            f.write(f"== pid {o.proc.pid} running={o.running()}\n{o.dump()}\n-- output:\n{o.output()}\n")
    report.sections.append(("e2e artifacts", f"screenshot: {shot}\naccessible tree: {tree}"))
