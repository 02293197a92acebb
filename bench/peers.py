#!/usr/bin/env python3
"""Whole processes against their floors and peers, for bench/run.

Usage: peers.py BUILD FIXTURES (the folder make_fixtures wrote). Prints one
JSON object: for each comparison the median CPU time (user + system of the
child) of Orbino's process and of its peer, which take turns round after
round, so load that comes and goes on a shared machine falls on both alike.
"""
import glob
import json
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile

build, fx = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
orbino = os.path.join(build, "src", "orbino")
work = tempfile.mkdtemp()


def cpu(cmd, cwd=None, env=None, stdin=None):
    """CPU seconds of one run, and its failure (or None)."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    with open(stdin, "rb") if stdin else open(os.devnull, "rb") as i:
        r = subprocess.run(cmd, cwd=cwd, env=env, stdin=i, stdout=subprocess.DEVNULL,
                           stderr=subprocess.PIPE, check=False)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    t = after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime
    # --search-text ends with 1 when nothing is found: not a failure.
    failed = None if r.returncode in (0, 1) else f"exit {r.returncode}: {r.stderr.decode(errors='replace')[-200:]}"
    return t, failed


def compare(rounds, ours, peer, peer_name, before=None):
    o, p = [], []
    for _ in range(rounds):
        for side, out in ((ours, o), (peer, p)):
            if before:
                before()
            t, failed = side()
            if failed:
                return {"failed": failed}
            out.append(t)
    return {"ours": statistics.median(o), "peer": statistics.median(p), "peer_name": peer_name}


result = {}
files = sorted(glob.glob(os.path.join(fx, "trieda", "*", "#postup.txt")))
result["class_report"] = compare(
    15,
    lambda: cpu([orbino, "--class-report", os.path.join(fx, "trieda"), "--csv",
                 os.path.join(work, "trieda.csv")], cwd=os.path.join(fx, "kurz-triedy")),
    lambda: cpu(["cat"] + files), "cat of the same files")

# From nothing: the cache folder and the peer's database are removed first.
fresh_cache = os.path.join(work, "cache")
peer_db = os.path.join(work, "peer.sqlite")
def clean():
    shutil.rmtree(fresh_cache, ignore_errors=True)
    if os.path.exists(peer_db):
        os.remove(peer_db)
result["index_build"] = compare(
    9,
    # A word no lesson holds: the index is built, and the query costs nothing.
    lambda: cpu([orbino, "--search-text", "zebra"], cwd=os.path.join(fx, "kurz"),
                env=dict(os.environ, XDG_CACHE_HOME=fresh_cache)),
    lambda: cpu(["sqlite3", peer_db], stdin=os.path.join(fx, "fts.sql")),
    "sqlite3 building the same FTS5 table", before=clean)

index = glob.glob(os.path.join(fx, "cache", "orbino", "*.fts.sqlite"))
warm = dict(os.environ, XDG_CACHE_HOME=os.path.join(fx, "cache"))
# 111 lessons: "lekcia" and a number starting with 5.
result["search_text"] = compare(
    21,
    lambda: cpu([orbino, "--search-text", "lekcia", "5"], cwd=os.path.join(fx, "kurz"), env=warm),
    lambda: cpu(["sqlite3", index[0] if index else "/nonexistent",
                 "SELECT captionPath, file, snippet(texts, 0, '', '', '…', 12) FROM texts "
                 "WHERE texts MATCH '\"lekcia\" \"5\"*' ORDER BY rank"]),
    "sqlite3 with snippet()")
shutil.rmtree(work, ignore_errors=True)
print(json.dumps(result))
