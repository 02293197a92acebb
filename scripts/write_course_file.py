#!/usr/bin/env python3
"""Writes course text files the way the course data expects them:
Windows-1250 with CR LF line ends. Usage:
  write_course_file.py PATH < text-in-utf8
"""
import sys

path = sys.argv[1]
text = sys.stdin.read()
lines = text.split("\n")
if lines and lines[-1] == "":
    lines.pop()
with open(path, "wb") as f:
    for line in lines:
        f.write(line.encode("cp1250") + b"\r\n")
