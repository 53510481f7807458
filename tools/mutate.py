#!/usr/bin/env python3
"""Checks that the tests notice when a rule of the game is broken.

Each line of a mutant list names one small change to the product code:

    name | path | text to find | text to put instead

(blank lines and lines starting with # are skipped; in the texts, \\| stands for | and \\n for
a line break; the text to find must occur exactly once in the file). One mutant at a time is
applied, the given targets are rebuilt, and the given test programs are run (stopping at their
first failure); the file is restored before the next one, also when the run is interrupted.
A mutant that fails to build counts as caught by the compiler.

Usage: mutate.py MUTANT_LIST [--build-dir build/release] [--target T]... -- TEST [ARGS]...
Several test programs are separated by ';' given as its own argument, e.g.
    tools/mutate.py tools/rule_mutants.txt --target game_tests --target play_tests -- \\
        build/release/tests/game/game_tests ';' build/release/tests/play/play_tests
Prints one line per mutant (caught or SURVIVED) and exits 1 if any survived. Leaves the build
directory built from the mutated sources: rebuild it afterwards. Not part of the test suite.
"""

import argparse
import pathlib
import re
import subprocess
import sys


def unescape(text):
    return text.replace("\\|", "|").replace("\\n", "\n")


def read_mutants(path):
    mutants = []
    for number, line in enumerate(pathlib.Path(path).read_text().splitlines(), 1):
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        fields = [unescape(field.strip()) for field in re.split(r"(?<!\\)\|", line)]
        if len(fields) != 4:
            sys.exit(f"{path}:{number}: expected 'name | path | find | replace'")
        mutants.append(fields)
    return mutants


def split_commands(words):
    commands, current = [], []
    for word in words:
        if word == ";":
            commands.append(current)
            current = []
        else:
            current.append(word)
    if current:
        commands.append(current)
    return commands


def run_tests(commands):
    for command in commands:
        result = subprocess.run(command + ["--gtest_fail_fast", "--gtest_brief=1"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if result.returncode != 0:
            return f"caught by {pathlib.Path(command[0]).name}"
    return None


def try_mutant(mutant, args, commands):
    name, path, find, replace = mutant
    source = pathlib.Path(path)
    original = source.read_text()
    if original.count(find) != 1:
        return f"{name}: NOT APPLIED ('{find}' occurs {original.count(find)} times in {path})"
    try:
        source.write_text(original.replace(find, replace))
        build = ["cmake", "--build", args.build_dir, "-j2"]
        for target in args.target:
            build += ["--target", target]
        if subprocess.run(build, stdout=subprocess.DEVNULL).returncode != 0:
            return f"{name}: caught by the compiler"
        verdict = run_tests(commands)
        return f"{name}: {verdict}" if verdict else f"{name}: SURVIVED"
    finally:
        source.write_text(original)


def main():
    if "--" not in sys.argv:
        sys.exit(__doc__)
    split = sys.argv.index("--")
    parser = argparse.ArgumentParser()
    parser.add_argument("mutants")
    parser.add_argument("--build-dir", default="build/release")
    parser.add_argument("--target", action="append", default=[])
    args = parser.parse_args(sys.argv[1:split])
    commands = split_commands(sys.argv[split + 1:])
    survived = 0
    for mutant in read_mutants(args.mutants):
        line = try_mutant(mutant, args, commands)
        survived += "SURVIVED" in line or "NOT APPLIED" in line
        print(line, flush=True)
    return 1 if survived else 0


if __name__ == "__main__":
    sys.exit(main())
