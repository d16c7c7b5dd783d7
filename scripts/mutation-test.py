#!/usr/bin/env python3
"""Mutation check: how many small faults put into the product does the Linux test suite catch?

  scripts/mutation-test.py [--seed S] [--count N] [--commit REV] [--only PREFIX] [--out FILE.json]
  scripts/mutation-test.py --compare BEFORE.json AFTER.json
  scripts/mutation-test.py --list [--only PREFIX]

Copies the product and its tests (a commit, or the working tree) into a scratch folder, builds
it once (Debug, g++, Ninja), times the ctest suite, then draws N mutants deterministically from
the seed among every mutation site of reader/, writer/, front/ and tools/ that the Linux build
compiles, and for each: applies it, rebuilds incrementally and runs the suite. A mutant is
killed when a test fails or the suite runs past three times its normal time, counted in
processor time, which a busy machine does not stretch (a suite still running after twenty times
its normal wall time hangs, and is killed too); it survives when the suite passes, and does not
compile when the build fails. Everything a mutant's suite
leaves running is killed. The same seed and count on the same product code give the same
mutants, so two suites can be compared (--compare lists what one killed and the other did not).

Every run is recorded in docs/mutation/ (--record): a line in runs.tsv (its commit, seed and
counts) and a line in survivors.tsv for each mutant that survived, with the verdict of an earlier
line for the same mutation of the same code line carried over, else "unjudged": judge those by
hand (equivalent, gap and the test that would close it, or unreachable on Linux).
Python 3 standard library only.
"""

import argparse
import json
import os
import random
import re
import resource
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
HANG_FACTOR = 20  # a suite still running after this many times its normal wall time hangs
PRODUCT = ("reader", "writer", "front", "tools")
NOT_ON_LINUX = {"front/main_windows.cpp"}
# What the preprocessor sees on the Linux build (x86-64, g++); anything else counts as defined.
LINUX_MACROS = {"_WIN32": False, "_M_X64": False, "__APPLE__": False, "__unix__": True,
                "__SSE2__": True, "VUV2EZ_SSE2": True, "VUV2EZ_HAVE_MMAP": True}

SWAPS = {"==": "!=", "!=": "==", "<": "<=", "<=": "<", ">": ">=", ">=": ">",
         "&&": "||", "||": "&&", "+": "-", "-": "+"}
BINARY = re.compile(r"(?<=\s)(==|!=|<=|>=|&&|\|\||<|>|\+|-)(?=\s)")
BOOLEAN = re.compile(r"\b(true|false)\b")
INTEGER = re.compile(r"(?<![\w.'])(0[xX][0-9a-fA-F]+|\d+)([uUlL]*)(?![\w.'])")
# A statement that can go: a call, an assignment or a step of a variable, break, continue or a
# bare return, alone on its line; or the body of a one-line if.
STATEMENT = re.compile(r"^(\s*)((?:[A-Za-z_][\w.:>\[\]-]*\s*(?:\(|=[^=]|[-+*/|&^]=|\+\+|--)"
                       r"|\+\+|--|break\s*;|continue\s*;|return\s*;).*;)\s*$")
GUARD = re.compile(r"^(\s*(?:\}\s*else\s+)?if\s*\(.*\)\s+)([^{};][^{}]*;)\s*$")


def blank_out(line, in_comment):
    """The line with comments and the insides of literals blanked, and whether a /* */ comment
    runs on into the next line."""
    out, i, quote = [], 0, None
    while i < len(line):
        c = line[i]
        if in_comment:
            if line.startswith("*/", i):
                in_comment = False
                out.append("  ")
                i += 2
                continue
            out.append(" ")
        elif quote:
            if c == "\\":
                out.append("  ")
                i += 2
                continue
            out.append(c if c == quote else " ")
            quote = None if c == quote else quote
        elif line.startswith("//", i):
            break
        elif line.startswith("/*", i):
            in_comment = True
            out.append("  ")
            i += 2
            continue
        elif c in "\"'" and not (c == "'" and i > 0 and line[i - 1].isalnum() and
                                 i + 1 < len(line) and line[i + 1].isdigit()):
            quote = c
            out.append(c)
        else:
            out.append(c)
        i += 1
    return "".join(out).ljust(len(line))[: len(line)], in_comment


def linux_condition(directive):
    """Whether an #if/#ifdef/#ifndef/#elif line holds on the Linux build."""
    words = directive.split(None, 1)
    kind, rest = words[0].lstrip("#"), (words[1] if len(words) > 1 else "")
    if kind in ("ifdef", "ifndef"):
        defined = LINUX_MACROS.get(rest.strip(), True)
        return defined if kind == "ifdef" else not (rest.strip() in LINUX_MACROS and defined)
    expression = re.sub(r"defined\s*\(?\s*(\w+)\s*\)?",
                        lambda m: str(LINUX_MACROS.get(m.group(1), True)), rest)
    expression = re.sub(r"\b([A-Za-z_]\w*)\b",
                        lambda m: m.group(1) if m.group(1) in ("True", "False")
                        else str(LINUX_MACROS.get(m.group(1), True)), expression)
    expression = expression.replace("||", " or ").replace("&&", " and ").replace("!", " not ")
    try:
        return bool(eval(expression, {}))  # noqa: S307 - our own headers' conditions
    except SyntaxError:
        return True


def sites_of(path, text):
    """Every mutation site of one source file: (line number, column, original, replacement)."""
    sites, stack, in_comment, previous = [], [], False, ";"
    for number, line in enumerate(text.split("\n"), 1):
        code, in_comment = blank_out(line, in_comment)
        stripped = code.strip()
        if stripped.startswith("#"):
            directive = stripped.replace("# ", "#", 1)
            if directive.startswith(("#if", "#ifdef", "#ifndef")):
                stack.append([linux_condition(directive), linux_condition(directive)])
            elif directive.startswith("#elif") and stack:
                stack[-1] = [not stack[-1][1] and linux_condition(directive),
                             stack[-1][1] or linux_condition(directive)]
            elif directive.startswith("#else") and stack:
                stack[-1] = [not stack[-1][1], True]
            elif directive.startswith("#endif") and stack:
                stack.pop()
            if not directive.startswith("#define"):
                continue
        if not all(live for live, _ in stack) or not stripped:
            continue
        if stripped.startswith("static_assert"):
            previous = stripped
            continue
        found = [(m.start(), m.group(1), SWAPS[m.group(1)]) for m in BINARY.finditer(code)]
        found += [(m.start(), m.group(1), "false" if m.group(1) == "true" else "true")
                  for m in BOOLEAN.finditer(code)]
        for m in INTEGER.finditer(code):
            if stripped.startswith("#") and m.start() < code.find(stripped.split()[1]) + 1:
                continue
            digits = m.group(1)
            if digits.lower().startswith("0x"):
                bumped = hex(int(digits, 16) + 1)
            elif len(digits) > 1 and digits.startswith("0"):  # octal
                bumped = "0" + oct(int(digits, 8) + 1)[2:]
            else:
                bumped = str(int(digits) + 1)
            found.append((m.start(), m.group(0), bumped + m.group(2)))
        statement = STATEMENT.match(code) if not stripped.startswith("#") else None
        guard = GUARD.match(code)
        balanced = code.count("(") == code.count(")")
        starts_statement = previous.endswith((";", "{", "}", ":", ")", "else"))
        if statement and balanced and starts_statement and not stripped.startswith("return "):
            found.append((len(statement.group(1)), line[len(statement.group(1)):].rstrip(), "{}"))
        elif guard and balanced:
            found.append((len(guard.group(1)), line[len(guard.group(1)):].rstrip(), "{}"))
        sites += [(number, column, original, replacement)
                  for column, original, replacement in sorted(found)]
        previous = stripped
    return [{"file": path, "line": n, "column": c, "original": o, "replacement": r}
            for n, c, o, r in sites]


def all_sites(tree):
    sites = []
    for folder in PRODUCT:
        for path in sorted((tree / folder).rglob("*")):
            relative = path.relative_to(tree).as_posix()
            if path.suffix in (".cpp", ".h") and relative not in NOT_ON_LINUX:
                sites += sites_of(relative, path.read_text(encoding="utf-8"))
    return sites


def apply(text, site):
    lines = text.split("\n")
    line = lines[site["line"] - 1]
    column, original = site["column"], site["original"]
    assert line[column:column + len(original)] == original, site
    lines[site["line"] - 1] = line[:column] + site["replacement"] + line[column + len(original):]
    return "\n".join(lines)


def kill_leftovers(marker):
    """Kills every process whose environment carries this run's marker (a tmux server, say)."""
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit() or int(entry.name) == os.getpid():
            continue
        try:
            if marker in (entry / "environ").read_bytes():
                os.kill(int(entry.name), signal.SIGKILL)
        except (OSError, ValueError):
            pass


def run(command, cwd, timeout, env=None):
    """Runs a command in a session of its own: its exit code (None when it ran past `timeout`
    seconds) and the processor seconds it and the children it waited for took."""
    def used():
        usage = resource.getrusage(resource.RUSAGE_CHILDREN)
        return usage.ru_utime + usage.ru_stime
    start = used()
    process = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        code = process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        code = None
    finally:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait()
    return code, used() - start


def prepare(scratch, commit):
    if scratch.exists():
        shutil.rmtree(scratch)
    source = scratch / "src"
    source.mkdir(parents=True)
    if commit:
        archive = subprocess.run(["git", "-C", ROOT, "archive", commit], check=True,
                                 capture_output=True).stdout
        subprocess.run(["tar", "-x", "-C", source], input=archive, check=True)
    else:
        files = subprocess.run(["git", "-C", ROOT, "ls-files", "-co", "--exclude-standard", "-z"],
                               check=True, capture_output=True).stdout.decode().split("\0")
        for name in filter(None, files):
            if (ROOT / name).is_file():
                (source / name).parent.mkdir(parents=True, exist_ok=True)
                shutil.copy2(ROOT / name, source / name)
    # The tests look for the real documents beside the source folder.
    if (ROOT.parent / "shared").exists():
        (scratch / "shared").symlink_to(ROOT.parent / "shared")
    return source


def test_mutants(args):
    scratch = Path(args.scratch).resolve()
    source = prepare(scratch, args.commit)
    build = scratch / "build"
    marker = f"VUV2EZ_MUTATION_RUN={os.getpid()}-{time.time_ns()}"
    env = dict(os.environ, VUV2EZ_MUTATION_RUN=marker.split("=", 1)[1])
    subprocess.run(["cmake", "-S", source, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug",
                    "-DCMAKE_CXX_COMPILER=g++"], check=True, stdout=subprocess.DEVNULL)
    ninja = ["ninja", "-C", str(build)]
    ctest = ["ctest", "--test-dir", str(build), "-j2", "--stop-on-failure"]
    if run(ninja, source, None)[0] != 0:
        sys.exit("the unmutated product does not build")
    started = time.monotonic()
    code, normal_cpu = run(ctest, source, None, env)
    if code != 0:
        sys.exit("the unmutated suite fails")
    normal = time.monotonic() - started
    kill_leftovers(marker.encode())

    sites = [s for s in all_sites(source) if s["file"].startswith(tuple(args.only or [""]))]
    chosen = random.Random(args.seed).sample(range(len(sites)), min(args.count, len(sites)))
    print(f"{len(sites)} sites; {len(chosen)} mutants, seed {args.seed}; suite {normal:.1f} s, "
          f"{normal_cpu:.1f} s of processor time", flush=True)
    results = []
    for k, index in enumerate(chosen, 1):
        site = dict(sites[index])
        path = source / site["file"]
        original = path.read_text(encoding="utf-8")
        site["code"] = original.split("\n")[site["line"] - 1].strip()
        path.write_text(apply(original, site), encoding="utf-8")
        if run(ninja, source, 900)[0] != 0:
            site["status"] = "not compiling"
        else:
            # Time is the suite's processor time, which a busy machine does not stretch; the wall
            # clock only stops a suite that hangs.
            code, cpu = run(ctest, source, HANG_FACTOR * normal, env)
            site["how"] = ("hung" if code is None else "a test failed" if code != 0 else
                           "ran past three times the normal time" if cpu > 3 * normal_cpu else "")
            site["status"] = "killed" if site["how"] else "survived"
        kill_leftovers(marker.encode())
        path.write_text(original, encoding="utf-8")
        results.append(site)
        print(f"[{k}/{len(chosen)}] {site['status']:13} {site['file']}:{site['line']}:"
              f"{site['column'] + 1} {site['original']!r} -> {site['replacement']!r}"
              f"{' (' + site['how'] + ')' if site.get('how') and site['how'] != 'a test failed' else ''}",
              flush=True)
    run(ninja, source, None)  # leaves the scratch build unmutated

    compiled = [r for r in results if r["status"] != "not compiling"]
    killed = sum(r["status"] == "killed" for r in compiled)
    summary = {"seed": args.seed, "count": len(chosen), "sites": len(sites),
               "suite_seconds": round(normal, 2), "suite_cpu_seconds": round(normal_cpu, 2),
               "compiled": len(compiled), "killed": killed,
               "survived": len(compiled) - killed,
               "kill_rate": round(killed / len(compiled), 4) if compiled else None}
    print(json.dumps(summary))
    if args.out:
        Path(args.out).write_text(json.dumps({"summary": summary, "mutants": results}, indent=1))
    if args.record:
        record(Path(args.record), revision(args.commit), summary, results)


def revision(commit):
    """The short name of the commit run, with "+" when the working tree was run and differs."""
    name = subprocess.run(["git", "-C", ROOT, "rev-parse", "--short", commit or "HEAD"],
                          check=True, capture_output=True, text=True).stdout.strip()
    dirty = not commit and subprocess.run(["git", "-C", ROOT, "diff", "--quiet", "HEAD"]).returncode
    return name + ("+" if dirty else "")


def read_tsv(path):
    """The rows of a table of tab-separated fields under a header line, as dictionaries."""
    if not path.exists():
        return []
    header, *lines = path.read_text(encoding="utf-8").splitlines()
    return [dict(zip(header.split("\t"), line.split("\t"))) for line in lines if line]


def write_tsv(path, fields, rows):
    clean = lambda value: str(value).replace("\t", " ").replace("\n", " ")
    lines = ["\t".join(fields)] + ["\t".join(clean(r.get(f, "")) for f in fields) for r in rows]
    path.write_text("\n".join(lines) + "\n", encoding="utf-8")


RUN_FIELDS = ["commit", "seed", "count", "compiled", "killed", "kill_rate", "suite_cpu_seconds",
              "note"]
SURVIVOR_FIELDS = ["commit", "seed", "number", "file", "line", "mutant", "code", "verdict", "why",
                   "later"]


def record(folder, commit, summary, results):
    """Adds the run to runs.tsv and its survivors to survivors.tsv (replacing an earlier record of
    the same commit and seed), carrying verdicts over from earlier lines of the same mutation."""
    folder.mkdir(parents=True, exist_ok=True)
    seed = str(summary["seed"])
    runs = [r for r in read_tsv(folder / "runs.tsv") if (r["commit"], r["seed"]) != (commit, seed)]
    runs.append(dict(summary, commit=commit, seed=seed, note=""))
    write_tsv(folder / "runs.tsv", RUN_FIELDS, runs)
    survivors = [r for r in read_tsv(folder / "survivors.tsv")
                 if (r["commit"], r["seed"]) != (commit, seed)]
    key = lambda r: (r["file"], r["code"], r["mutant"])
    judged = {key(r): r for r in survivors if r["verdict"] != "unjudged"}
    unjudged = 0
    for number, m in enumerate(results, 1):
        if m["status"] != "survived":
            continue
        row = {"commit": commit, "seed": seed, "number": str(number), "file": m["file"],
               "line": str(m["line"]), "mutant": f"{m['original']} → {m['replacement']}",
               "code": m["code"], "verdict": "unjudged", "why": "", "later": ""}
        earlier = judged.get(key(row))
        if earlier:
            row.update(verdict=earlier["verdict"], why=earlier["why"])
        unjudged += row["verdict"] == "unjudged"
        survivors.append(row)
    write_tsv(folder / "survivors.tsv", SURVIVOR_FIELDS, survivors)
    print(f"recorded in {folder}: {summary['survived']} survivors, {unjudged} to judge")


def compare(before_path, after_path):
    before, after = (json.loads(Path(p).read_text()) for p in (before_path, after_path))
    key = lambda m: (m["file"], m["line"], m["column"], m["original"], m["replacement"])
    after_status = {key(m): m["status"] for m in after["mutants"]}
    for name, data in (("before", before), ("after", after)):
        s = data["summary"]
        print(f"{name}: seed {s['seed']}, {s['killed']} killed of {s['compiled']} compiled "
              f"({100 * s['kill_rate']:.1f} %), {s['count'] - s['compiled']} not compiling")
    lost = [m for m in before["mutants"]
            if m["status"] == "killed" and after_status.get(key(m)) != "killed"]
    for m in lost:
        print(f"killed before, {after_status.get(key(m), 'absent')} now: {m['file']}:{m['line']}:"
              f"{m['column'] + 1} {m['original']!r} -> {m['replacement']!r}")
    return 1 if lost else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--count", type=int, default=200)
    parser.add_argument("--commit", help="a commit to test instead of the working tree")
    parser.add_argument("--scratch", default=str(ROOT / "build" / "mutation"))
    parser.add_argument("--out", help="where to write every mutant and its status (JSON)")
    parser.add_argument("--record", default=str(ROOT / "docs" / "mutation"),
                        help="the folder of runs.tsv and survivors.tsv ('' records nothing)")
    parser.add_argument("--only", action="append", metavar="PREFIX",
                        help="draw only from files whose path starts so (repeatable)")
    parser.add_argument("--list", action="store_true", help="only list the mutation sites")
    parser.add_argument("--compare", nargs=2, metavar=("BEFORE", "AFTER"))
    args = parser.parse_args()
    if args.compare:
        sys.exit(compare(*args.compare))
    if args.list:
        for site in all_sites(ROOT):
            if not site["file"].startswith(tuple(args.only or [""])):
                continue
            print(f"{site['file']}:{site['line']}:{site['column'] + 1} "
                  f"{site['original']!r} -> {site['replacement']!r}")
        return
    test_mutants(args)


if __name__ == "__main__":
    main()
