#!/usr/bin/env python3
"""Runs a Markdown guide's examples with the real mfp tool, as a reader would type them.

usage: check_guide_examples.py MFP GUIDE.md [CONFIGURATION.ini...]

In a fenced block marked text or console, a line "$ mfp eval ARGUMENTS" or "$ mfp check
ARGUMENTS" is a command (ARGUMENTS quoted as in a shell); the lines after it, up to the next line
starting with "$ " or the end of the block, are exactly what it prints, where a line "..."
stands for any number of lines. mfp check runs where the guide's last ini block before it is
Tarnell_MFP.ini. A fenced block marked ini is a configuration file, as is
each CONFIGURATION named and each table row holding a ready `outputs=...` line (checked as a
panel's section): mfp check must accept it (exit status 0) with no line containing "warning".
A guide with no example of either kind fails too.
"""
import re
import shlex
import subprocess
import sys
import tempfile
from pathlib import Path

COMMANDS = ("$ mfp eval ", "$ mfp check ")
TABLE_OUTPUTS = re.compile(r"^\|.*`(outputs=[^`]+)`")


def fenced_blocks(guide, lines):
    """Yields (language, line number of the opening fence, content lines) of each fenced block."""
    opening = None
    for number, line in enumerate(lines, 1):
        if opening is None:
            match = re.fullmatch(r"( *)```(\S*)\s*", line)
            if match:
                indent, language = match.groups()
                opening, content = number, []
        elif line.strip() == "```":
            yield language, opening, content
            opening = None
        else:
            content.append(line[len(indent):] if line.startswith(indent) else line)
    if opening is not None:
        raise SystemExit(f"{guide}:{opening}: a fenced block is not closed")


def run(mfp, *arguments, cwd=None):
    result = subprocess.run([mfp, *arguments], stdin=subprocess.DEVNULL, capture_output=True,
                            encoding="utf-8", errors="replace", timeout=60, cwd=cwd)
    return result.returncode, (result.stdout + result.stderr).replace("\r", "")


def mfp_commands(content):
    """Yields (offset in the block, "eval ARGUMENTS" or "check ARGUMENTS", expected lines) of each
    mfp command."""
    command = None
    for offset, line in enumerate(content):
        if line.startswith("$ "):
            if command:
                yield command
            known = line.startswith(COMMANDS)
            command = (offset, line[len("$ mfp "):], []) if known else None
        elif command:
            command[2].append(line)
    if command:
        yield command


def matches(expected, printed):
    if not expected:
        return not printed
    if expected[0] == "...":
        return any(matches(expected[1:], printed[skip:]) for skip in range(len(printed) + 1))
    return bool(printed) and printed[0] == expected[0] and matches(expected[1:], printed[1:])


def check_command(mfp, where, command, expected, folder):
    try:
        words = shlex.split(command)
    except ValueError as error:
        return f"{where}: {command}: {error}"
    _, output = run(mfp, *words, cwd=folder)
    if not matches(expected, output.splitlines()):
        return f"{where}: mfp {command}\nexpected:\n" + "\n".join(expected) + f"\nprinted:\n{output}"
    return None


def check_configuration(mfp, where, path):
    status, output = run(mfp, "check", str(path))
    if status != 0 or "warning" in output:
        return f"{where}: mfp check gave exit status {status} and:\n{output}"
    return None


def main(mfp, guide, *configurations):
    mfp = str(Path(mfp).resolve())  # mfp check runs in the examples' folder
    lines = Path(guide).read_text(encoding="utf-8").splitlines()
    failures, commands, inis = [], 0, 0
    with tempfile.TemporaryDirectory() as folder:
        for language, opening, content in fenced_blocks(guide, lines):
            if language in ("text", "console"):
                for offset, command, expected in mfp_commands(content):
                    commands += 1
                    failures.append(check_command(mfp, f"{guide}:{opening + 1 + offset}", command, expected, folder))
            elif language == "ini":
                inis += 1
                path = Path(folder, f"example_{opening}.ini")
                path.write_text("\n".join(content) + "\n", encoding="utf-8")
                Path(folder, "Tarnell_MFP.ini").write_text(path.read_text(encoding="utf-8"), encoding="utf-8")
                failures.append(check_configuration(mfp, f"{guide}:{opening}", path))
        for number, line in enumerate(lines, 1):
            match = TABLE_OUTPUTS.match(line)
            if match:
                inis += 1
                path = Path(folder, f"table_{number}.ini")
                path.write_text(f"[0000A1B2]\n{match.group(1)}\n", encoding="utf-8")
                failures.append(check_configuration(mfp, f"{guide}:{number}", path))
    for configuration in configurations:
        failures.append(check_configuration(mfp, configuration, configuration))
    if not commands or not inis:
        failures.append(f"{guide}: {commands} mfp commands and {inis} ini blocks; each kind is expected")
    failures = [failure for failure in failures if failure]
    print("\n\n".join(failures) if failures else
          f"{commands} mfp commands, {inis} ini blocks and {len(configurations)} files passed")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    sys.exit(main(*sys.argv[1:]))
