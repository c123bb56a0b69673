#!/usr/bin/env python3
"""Runs a Markdown guide's examples with the real mfp tool, as a reader would type them.

usage: check_guide_examples.py MFP GUIDE.md [CONFIGURATION.ini...]

In a fenced block marked text or console, a line "$ mfp eval ARGUMENTS" is a command (ARGUMENTS
quoted as in a shell); the lines after it, up to the next line starting with "$ " or the end of
the block, are exactly what it prints. A fenced block marked ini is a configuration file, as is
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

EVAL_PROMPT = "$ mfp eval "
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


def run(mfp, *arguments):
    result = subprocess.run([mfp, *arguments], stdin=subprocess.DEVNULL, capture_output=True,
                            encoding="utf-8", errors="replace", timeout=60)
    return result.returncode, (result.stdout + result.stderr).replace("\r", "")


def eval_commands(content):
    """Yields (offset in the block, arguments text, expected lines) of each mfp eval command."""
    command = None
    for offset, line in enumerate(content):
        if line.startswith("$ "):
            if command:
                yield command
            command = (offset, line[len(EVAL_PROMPT):], []) if line.startswith(EVAL_PROMPT) else None
        elif command:
            command[2].append(line)
    if command:
        yield command


def check_eval(mfp, where, arguments, expected):
    try:
        words = shlex.split(arguments)
    except ValueError as error:
        return f"{where}: {arguments}: {error}"
    _, output = run(mfp, "eval", *words)
    if output.splitlines() != expected:
        return f"{where}: mfp eval {arguments}\nexpected:\n" + "\n".join(expected) + f"\nprinted:\n{output}"
    return None


def check_configuration(mfp, where, path):
    status, output = run(mfp, "check", str(path))
    if status != 0 or "warning" in output:
        return f"{where}: mfp check gave exit status {status} and:\n{output}"
    return None


def main(mfp, guide, *configurations):
    lines = Path(guide).read_text(encoding="utf-8").splitlines()
    failures, evals, inis = [], 0, 0
    with tempfile.TemporaryDirectory() as folder:
        for language, opening, content in fenced_blocks(guide, lines):
            if language in ("text", "console"):
                for offset, arguments, expected in eval_commands(content):
                    evals += 1
                    failures.append(check_eval(mfp, f"{guide}:{opening + 1 + offset}", arguments, expected))
            elif language == "ini":
                inis += 1
                path = Path(folder, f"example_{opening}.ini")
                path.write_text("\n".join(content) + "\n", encoding="utf-8")
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
    if not evals or not inis:
        failures.append(f"{guide}: {evals} mfp eval commands and {inis} ini blocks; each kind is expected")
    failures = [failure for failure in failures if failure]
    print("\n\n".join(failures) if failures else
          f"{evals} mfp eval commands, {inis} ini blocks and {len(configurations)} files passed")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    sys.exit(main(*sys.argv[1:]))
