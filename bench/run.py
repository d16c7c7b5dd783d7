#!/usr/bin/env python3
"""End-to-end benchmark of vuv2ez (started by bench/run.sh; Python 3 standard library only).

Builds the release converter and the bench tools, generates the models once (build/bench/models),
then per size: one warm-up run of each conversion, whose outputs must match bench/checksums.txt,
and N rounds of timed runs: the converter writing a fresh destination, the converter replacing
the previous run's output, the converter with --as-shown (every option that shows the model as
the modeller does) writing a fresh destination, and the machine's floor for the same data
(cat IN > /dev/null and head -c BYTES /dev/zero > FILE). Prints a table and the targets, writes docs/performance.md,
docs/performance.png (gnuplot) and build/bench/results.json. Exit status: 0 (missed targets are
reported, not fatal), 1 when a build, a run or a checksum fails, 2 on bad usage.
"""

import argparse, datetime, hashlib, json, os, platform, resource, shutil, statistics
import subprocess, sys, time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BENCH, WORK = ROOT / "bench", ROOT / "build" / "bench"
MEASURE = WORK / "measure_run"  # built by main()
SIZES = [10_000, 100_000, 1_000_000, 4_000_000]
WARNINGS = "-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wformat=2".split()
CPUS = len(os.sched_getaffinity(0))
LOADED = 0.10  # a size's runs shared the machine with more other work than this: pessimistic
AS_SHOWN_LIMIT = 1.3  # --as-shown at 1M: at most this many times the default conversion


class Failed(Exception):
    pass


def say(msg=""):
    print(msg, flush=True)


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.file_digest(f, "sha256").hexdigest()


def run(cmd, what):
    say("$ " + " ".join(map(str, cmd)))
    if subprocess.run(list(map(str, cmd)), cwd=ROOT).returncode != 0:
        raise Failed(f"{what} failed")


def tool(name, flags):
    """Builds bench/NAME.cpp into build/bench unless built from the same source already."""
    exe, source = WORK / name, BENCH / f"{name}.cpp"
    stamp, digest = WORK / f"{name}.source-sha256", sha256(source)
    if not (exe.exists() and stamp.exists() and stamp.read_text().strip() == digest):
        cxx = os.environ.get("CXX", "g++")
        run([cxx, "-std=c++20", "-O2", *WARNINGS, *flags, "-o", exe, source], f"building {name}")
        stamp.write_text(digest + "\n")
    return exe, digest


def pin(path, key, digest, notes):
    """Checks a checksum against the line for key in path; records it when there is none."""
    text = path.read_text() if path.exists() else ""
    lines = [l.split() for l in text.splitlines() if not l.startswith("#")]
    known = dict(l[:2] for l in lines if len(l) >= 2)
    if key not in known:
        with open(path, "a") as f:
            f.write(f"{key} {digest}\n")
        notes.append(f"recorded the checksum of {key} in {path.relative_to(ROOT)}")
    elif known[key] != digest:
        raise Failed(f"CHECKSUM MISMATCH for {key} in {path.relative_to(ROOT)}: recorded "
                     f"{known[key]}, got {digest}")
    else:
        say(f"  {key}: sha256 {digest[:16]}... as recorded in {path.relative_to(ROOT)}")


def model(gen, gen_hash, faces, notes):
    """The model of `faces` faces (seed 1), generated and checked when missing or stale."""
    path = WORK / "models" / f"faces-{faces}-seed-1.mqo"
    meta = path.with_suffix(".meta")
    fields = meta.read_text().split() if meta.exists() and path.exists() else []
    if fields[::2] != [gen_hash, str(path.stat().st_size if path.exists() else 0)]:
        path.parent.mkdir(parents=True, exist_ok=True)
        run([gen, "--faces", faces, "--seed", 1, path], "generating a model")
        run([gen, "--check", path, "--faces", faces], "checking a model")
        fields = [gen_hash, sha256(path), str(path.stat().st_size)]
        meta.write_text(" ".join(fields) + "\n")
    # The converter's checksums hold for these exact models only.
    pin(BENCH / "models.sha256", path.stem, fields[1], notes)
    return path


def timed(argv, out=None):
    """Runs argv through measure_run: (wall seconds, peak RSS bytes, CPU seconds), or fails."""
    os.sync()  # earlier runs' output is written back now, not during this run
    cmd = [MEASURE, *(["-o", out] if out else []), *argv]
    r = subprocess.run(list(map(str, cmd)), capture_output=True, text=True, errors="replace")
    fields = r.stdout.split()
    if r.returncode != 0 or len(fields) != 4 or fields[2] != "0":
        code = fields[2] if len(fields) == 4 else "?"
        raise Failed(f"{Path(argv[0]).name} exited {code}: {r.stderr[-2000:]}")
    return float(fields[0]), int(fields[1]), float(fields[3])


def cpu_now():
    """(CPU seconds the machine was busy or stolen by its host, CPU seconds of this runner and
    the commands it waited for, wall seconds)."""
    v = [int(x) for x in Path("/proc/stat").read_text().split()[1:9]]
    me, kids = (resource.getrusage(w) for w in (resource.RUSAGE_SELF, resource.RUSAGE_CHILDREN))
    ours = me.ru_utime + me.ru_stime + kids.ru_utime + kids.ru_stime
    return (sum(v) - v[3] - v[4]) / os.sysconf("SC_CLK_TCK"), ours, time.perf_counter()


def measure(conv, path, faces, runs, notes):
    out, floor = WORK / "out" / f"faces-{faces}.qz", WORK / "out" / "floor.bin"
    shown = WORK / "out" / f"faces-{faces}-as-shown.qz"
    out.parent.mkdir(exist_ok=True)
    out.unlink(missing_ok=True)
    shown.unlink(missing_ok=True)
    timed([conv, "-o", out, path])  # warm-up: fills the page cache as for every later run
    timed([conv, "--as-shown", "-o", shown, path])
    digest, out_bytes = sha256(out), out.stat().st_size
    pin(BENCH / "checksums.txt", str(faces), digest, notes)
    shown_digest = sha256(shown)
    pin(BENCH / "checksums.txt", f"{faces}/as-shown", shown_digest, notes)
    r = {"faces": faces, "in_bytes": path.stat().st_size, "out_bytes": out_bytes,
         "sha256": digest, "fresh_times": [], "existing_times": [], "as_shown_times": [],
         "rss_all": [], "cpu_all": [], "as_shown_rss_all": [], "fresh_cpu": [],
         "as_shown_cpu": [], "read_times": [], "write_times": []}
    start = cpu_now()
    for _ in range(runs):
        for case in ("fresh", "existing"):  # the fresh run's output is the next one's existing
            if case == "fresh":
                out.unlink()
            t, rss, cpu = timed([conv, "-o", out, path])
            r[f"{case}_times"].append(t)
            r["rss_all"].append(rss)
            r["cpu_all"].append(cpu)
            if case == "fresh":
                r["fresh_cpu"].append(cpu)
        shown.unlink()
        t, rss, cpu = timed([conv, "--as-shown", "-o", shown, path])
        r["as_shown_times"].append(t)
        r["as_shown_cpu"].append(cpu)
        r["as_shown_rss_all"].append(rss)
        r["read_times"].append(timed(["cat", path])[0])
        floor.unlink(missing_ok=True)
        r["write_times"].append(timed(["head", "-c", out_bytes, "/dev/zero"], out=floor)[0])
    busy, ours, wall = (b - a for a, b in zip(start, cpu_now()))
    floor.unlink()
    if sha256(out) != digest or sha256(shown) != shown_digest:
        raise Failed(f"the last run's output differs from the warm-up's ({faces} faces)")
    shown.unlink()
    # Other processes, kernel writeback and steal slow the figures down.
    r["other_load"] = max(0.0, busy - ours) / wall / CPUS
    for key in ("fresh", "existing", "as_shown", "read", "write"):
        r[key] = statistics.median(r[f"{key}_times"])
    r["rss"] = max(r["rss_all"])
    r["as_shown_rss"] = max(r["as_shown_rss_all"])
    r["ns_face"] = r["fresh"] * 1e9 / faces
    return r


def wine(exe, sizes, runs, notes):
    """The Windows program under Wine, started with a quoted path as Windows starts it: seconds
    from its start to the message box that ends its conversion, for the smallest size and 1M
    faces; and at 1M, a copy of it beside a vuv2ez.ini that turns on as_shown, the same as
    --as-shown. Builds the windows preset's vuv2ez.exe unless exe is given. Gives the medians by
    size and the as_shown median (None without the 1M size)."""
    if not exe:
        run(["cmake", "--preset", "windows"], "configuring the windows preset")
        run(["cmake", "--build", "--preset", "windows", "--target", "vuv2ez"], "building vuv2ez.exe")
        exe = ROOT / "build" / "windows" / "bin" / "vuv2ez.exe"
    timer = WORK / "wine_timer.exe"
    run(["x86_64-w64-mingw32-gcc", "-O2", "-Wall", "-o", timer, BENCH / "wine_timer.c"],
        "building wine_timer.exe")
    models = [WORK / "models" / f"faces-{f}-seed-1.mqo" for f in sorted({sizes[0], 1_000_000})
              if f in sizes]
    medians = {int(m.stem.split("-")[1]): t
               for m, t in time_under_wine(timer, exe, models, runs, "", notes).items()}
    shown = WORK / "as-shown"
    shown.mkdir(exist_ok=True)
    shutil.copy(exe, shown / "vuv2ez.exe")
    (shown / "vuv2ez.ini").write_bytes(b"[convert]\r\nas_shown=1\r\n")
    big = [m for m in models if m.stem.split("-")[1] == "1000000"]
    as_shown = time_under_wine(timer, shown / "vuv2ez.exe", big, runs, "/as-shown", notes)
    return medians, next(iter(as_shown.values()), None)


def time_under_wine(timer, exe, models, runs, case, notes):
    """Median seconds of `runs` conversions of each model by exe under Wine; each output's
    checksum pinned as its size plus `case`."""
    script = (r'source scripts/wine/session.sh && scripts/install-deps.sh '
              r'"${wine_session_packages[@]}" >&2 && wine_session_start >&2 && for m in "${@:3}"; '
              r'do for i in $(seq "$2"); do echo "$m $(scripts/wine/run.sh "$0" "Z:${1//\//\\}" '
              r'"Z:${m//\//\\}")"; done; done')
    r = subprocess.run(["bash", "-c", script, timer, Path(exe).resolve(), str(runs), *models],
                       cwd=ROOT, capture_output=True, text=True)
    times = {}
    for line in r.stdout.splitlines():
        path, _, seconds = line.rpartition(" ")
        times.setdefault(path, []).append(float(seconds))
    if r.returncode != 0 or any(len(times.get(str(m), [])) != runs for m in models):
        raise Failed(f"timing {exe} under Wine failed: {r.stderr[-2000:]}")
    for m in models:
        faces = int(m.stem.split("-")[1])
        pin(BENCH / "checksums.txt", f"{faces}{case}", sha256(Path(f"{m}.qz")), notes)
        Path(f"{m}.qz").unlink()
    return {m: statistics.median(times[str(m)]) for m in models}


def wine_lines(wined, results):
    """What the Windows program's time under Wine is made of, as lines of text."""
    medians, as_shown = wined
    small, big = min(medians), max(medians)
    native = next((r["fresh"] for r in results if r["faces"] == big), None)
    lines = [f"- {fmt_faces(f)} faces: {fmt_time(t)} from start to the closing message box"
             for f, t in sorted(medians.items())]
    if native is not None and small != big:
        beyond = medians[big] - medians[small]
        lines += [f"- beyond start-up ({fmt_faces(small)} faces' time taken off), "
                  f"{fmt_faces(big)} faces take {fmt_time(beyond)} under Wine; the same conversion "
                  f"takes {fmt_time(native)} natively: ours. The other {fmt_time(beyond - native)}"
                  " is Wine's (its system calls, file reading and memory, stood in for Windows')"]
    if as_shown is not None:
        lines += [f"- 1M faces with `as_shown=1` in vuv2ez.ini: {fmt_time(as_shown)}, "
                  f"{as_shown / medians[1_000_000]:.2f} x the default under Wine (the target is "
                  "at most 1.3 x)"]
    return lines


def fmt_faces(n):
    for unit, name in ((1_000_000, "M"), (1000, "k")):
        if n % unit == 0:
            return f"{n // unit}{name}"
    return str(n)


def fmt_time(s):
    return f"{s * 1000:.1f} ms" if s < 1 else f"{s:.3f} s"


COLUMNS = ["faces", "input MB", "output bytes", "median", "existing dest.", "fastest", "spread",
           "MB/s", "M faces/s", "ns/face", "peak RSS MB", "RSS/input", "read floor",
           "write floor", "x floor", "--as-shown", "x default", "other load"]


def rows(results):
    for r in results:
        t, floor = r["fresh_times"], r["read"] + r["write"]
        yield [fmt_faces(r["faces"]), f"{r['in_bytes'] / 1e6:.1f}", f"{r['out_bytes']:,}",
               fmt_time(r["fresh"]), fmt_time(r["existing"]), fmt_time(min(t)),
               f"{(max(t) - min(t)) / r['fresh'] * 100:.0f} %",
               f"{r['in_bytes'] / 1e6 / r['fresh']:.0f}", f"{r['faces'] / r['fresh'] / 1e6:.2f}",
               f"{r['ns_face']:.0f}", f"{r['rss'] / 1e6:.1f}", f"{r['rss'] / r['in_bytes']:.2f}",
               fmt_time(r["read"]), fmt_time(r["write"]), f"{r['fresh'] / floor:.1f}",
               fmt_time(r["as_shown"]), f"{r['as_shown'] / r['fresh']:.2f}",
               f"{r['other_load'] * 100:.0f} %"]


def text_table(results):
    table = [COLUMNS, *rows(results)]
    widths = [max(map(len, column)) for column in zip(*table)]
    table.insert(1, ["-" * w for w in widths])
    return "\n".join("  ".join(c.rjust(w) for c, w in zip(row, widths)) for row in table)


def md_table(results):
    table = [COLUMNS, ["---:"] * len(COLUMNS), *rows(results)]
    return "\n".join("| " + " | ".join(row) + " |" for row in table)


def targets(results):
    """[(target, 'met' / 'NOT met' / 'not measured', what was measured)]"""
    by = {r["faces"]: r for r in results}
    one, ten = by.get(1_000_000), by.get(10_000)
    names = ["1M faces end to end in <= 0.40 s (>= 2.5 M faces/s, >= 340 MB/s), fresh destination",
             "peak RSS <= 1.6 x input size at 1M",
             "time per face from 100k to 4M within +-15 % of its 1M value",
             "10k faces well under 20 ms",
             f"--as-shown at 1M in <= {AS_SHOWN_LIMIT} x the default conversion (fresh, same run)"]
    found = [(None, "the 1M size was not run")] * 3 + [(None, "the 10k size was not run")] + [
        (None, "the 1M size was not run")]
    if one:
        mb_s, faces_s = one["in_bytes"] / 1e6 / one["fresh"], 1e6 / one["fresh"]
        found[0] = (one["fresh"] <= 0.40 and faces_s >= 2.5e6 and mb_s >= 340,
                    f"{fmt_time(one['fresh'])} ({fmt_time(one['existing'])} over an existing "
                    f"destination), {faces_s / 1e6:.2f} M faces/s, {mb_s:.0f} MB/s")
        ratio = one["rss"] / one["in_bytes"]
        found[1] = (ratio <= 1.6, f"{one['rss'] / 1e6:.1f} MB for {one['in_bytes'] / 1e6:.1f} MB "
                    f"of input = {ratio:.2f} x")
        devs = [(r, r["ns_face"] / one["ns_face"] - 1) for r in results
                if 100_000 <= r["faces"] <= 4_000_000 and r is not one]
        found[2] = (all(abs(d) <= 0.15 for _, d in devs) if devs else None,
                    f"1M: {one['ns_face']:.0f} ns/face; " + ", ".join(
                        f"{fmt_faces(r['faces'])}: {r['ns_face']:.0f} ({d * 100:+.0f} %)"
                        for r, d in devs) if devs else "no other size from 100k to 4M was run")
        ratio = one["as_shown"] / one["fresh"]
        cpu = statistics.median(one["as_shown_cpu"]) / statistics.median(one["fresh_cpu"])
        found[4] = (ratio <= AS_SHOWN_LIMIT, f"{fmt_time(one['as_shown'])} against "
                    f"{fmt_time(one['fresh'])} = {ratio:.2f} x (CPU time {cpu:.2f} x), peak RSS "
                    f"{one['as_shown_rss'] / 1e6:.1f} MB")
    if ten:
        found[3] = (ten["fresh"] < 0.020, f"{fmt_time(ten['fresh'])} "
                    f"({ten['fresh'] / 0.020 * 100:.0f} % of 20 ms)")
    verdict = {True: "met", False: "NOT met", None: "not measured"}
    return [(n, verdict[ok], detail) for n, (ok, detail) in zip(names, found)]


def machine():
    def first(path, prefix):
        lines = Path(path).read_text().splitlines()
        return next((l.split(":", 1)[1].strip() for l in lines if l.startswith(prefix)), "?")

    def git(*args):
        return subprocess.run(["git", *args], cwd=ROOT, capture_output=True, text=True).stdout
    commit = git("rev-parse", "--short", "HEAD").strip() or "unknown"
    if git("status", "--porcelain", "--untracked-files=no"):
        commit += " (with uncommitted changes)"
    return {"cpu": first("/proc/cpuinfo", "model name"), "nproc": CPUS, "commit": commit,
            "memory": f"{int(first('/proc/meminfo', 'MemTotal').split()[0]) / 2**20:.1f} GiB",
            "kernel": f"{platform.system()} {platform.release()}",
            "load_before": " ".join(Path("/proc/loadavg").read_text().split()[:3])}


def plot(results, png, notes):
    """Draws ns per face against faces with gnuplot (installing gnuplot-nox when missing)."""
    if not shutil.which("gnuplot"):
        say("gnuplot is missing: installing gnuplot-nox with apt-get")
        sudo = [] if os.geteuid() == 0 else ["sudo"]
        env = {**os.environ, "DEBIAN_FRONTEND": "noninteractive"}
        for cmd in (["apt-get", "-q", "update"], ["apt-get", "-q", "install", "-y", "gnuplot-nox"]):
            subprocess.run(sudo + cmd, env=env)
    if len(results) < 2 or not shutil.which("gnuplot"):
        notes.append("no plot: fewer than two sizes, or no gnuplot")
        return False
    data = WORK / "performance.dat"
    data.write_text("".join(f"{r['faces']} {r['ns_face']} {r['existing'] * 1e9 / r['faces']} "
                            f"{(r['read'] + r['write']) * 1e9 / r['faces']}\n" for r in results))
    band = ""
    one = next((r["ns_face"] for r in results if r["faces"] == 1_000_000), None)
    if one:
        band = (f", {one * 1.15} with lines dt 2 lc rgb '#999999' title '1M value +-15 %', "
                f"{one * 0.85} with lines dt 2 lc rgb '#999999' notitle")
    top = max(max(r["fresh"], r["existing"]) * 1e9 / r["faces"] for r in results) * 1.12
    runs = len(results[0]["fresh_times"])
    script = f"""set terminal pngcairo size 900,560 font 'sans,11'
set output '{png}'
set title 'vuv2ez: time per face against model size (median of {runs} runs)'
set xlabel 'faces (log scale)'; set ylabel 'ns per face'; set logscale x; set grid; set key below
set xrange [{results[0]['faces'] / 2}:{results[-1]['faces'] * 2}]; set yrange [0:{top}]
set format x '%.0s%c'
plot '{data}' using 1:2 with linespoints lw 2 pt 7 lc rgb '#1f77b4' title 'fresh destination', \\
  '' using 1:3 with linespoints lw 2 pt 5 lc rgb '#d62728' title 'over an existing destination', \\
  '' using 1:4 with linespoints pt 6 lc rgb '#2ca02c' title 'floor: read input + write output'{band}
"""
    r = subprocess.run(["gnuplot"], input=script, text=True, capture_output=True)
    if r.returncode != 0:
        notes.append(f"gnuplot failed: {r.stderr.strip()}")
    return r.returncode == 0


def write_doc(doc, results, found, info, command, start, plotted, notes, wined):
    runs = len(results[0]["fresh_times"])
    lines = [
        "# Performance", "",
        "End-to-end time of `vuv2ez -o OUT.qz IN.mqo` (release build) on generated models,",
        f"written by `{command}` (see bench/README.md).", "",
        f"Each time is the median of {runs} timed runs after one warm-up run, wall clock from",
        "process start to exit. The input is in the page cache and pending writes are flushed",
        "before every run, so the times are those of the converter, not of the disk. `median` is",
        "the time with a fresh destination (none before the run); `existing dest.` the time when",
        "the previous run's output is still there, as when a model is converted again: the",
        "converter writes a new file and renames it over the old one, and the file system",
        "starts writing the new file out when that rename replaces a file. Beside each run the",
        "same data goes through `cat IN > /dev/null` (read floor) and `head -c BYTES /dev/zero >",
        "FILE` with BYTES = output size (write floor): what moving that much data costs with",
        "everyday tools (`head` writes 4 KiB at a time, the converter 1 MiB). `x floor` is the",
        "fresh median over the sum of the two floors; `fastest` the quickest fresh run, the least",
        "disturbed; `spread` is (slowest - fastest) / median of the fresh runs; peak RSS is the",
        "largest maximum resident set size of all timed runs. For scale, starting and ending a",
        f"process (`true`) takes {fmt_time(start[0])} and {start[1] / 1e6:.1f} MB here; both are "
        "inside every figure.",
        "`other load` is the CPU used during a size's runs by anything but the runner and the",
        "commands it timed (other processes, kernel writeback, and time the virtual machine's",
        f"host took away: steal), as a share of all {CPUS} CPUs: figures taken while other work",
        "ran are slower than the converter's own.",
        "`--as-shown` is the median time of `vuv2ez --as-shown -o OUT.qz IN.mqo` (hidden objects",
        "left out, mirrors baked, normals as the modeller shades each object) with a fresh",
        "destination, timed in the same rounds; `x default` is that over the fresh median.", "",
        "## Machine", "",
        f"- CPU: {info['cpu']}, `nproc` = {info['nproc']}", f"- memory: {info['memory']}",
        f"- kernel: {info['kernel']}", f"- date: {info['date']}", f"- commit: {info['commit']}",
        "- load average (1, 5, 15 min) before / after the runs: "
        f"{info['load_before']} / {info['load_after']}", "",
        "## Results", "", md_table(results), "",
        "## Targets", "", "| target | result | measured |", "|---|---|---|",
        *(f"| {t} | **{verdict}** | {detail} |" for t, verdict, detail in found), "",
        "## Time per face", "",
        "![ns per face against faces](performance.png)" if plotted else "(no plot)", "",
        "## Models", "",
        "`bench/generate_mqo --faces N --seed 1`: six objects (three jittered grids of quads,",
        "three UV spheres with triangle fans at the poles), six materials, CRLF line ends.", "",
        "| faces | input bytes | output bytes beyond 168 per face | output sha256 |",
        "|---:|---:|---:|---|",
        *(f"| {r['faces']:,} | {r['in_bytes']:,} | {r['out_bytes'] - 168 * r['faces']:,} | "
          f"`{r['sha256']}` |" for r in results),
        *(["", "## The Windows program under Wine", "",
           "`vuv2ez.exe` (the windows preset, cross-built) started under Wine as Windows starts it,",
           "with the model's path in double quotes, timed by `bench/wine_timer.c` from its start to",
           f"the message box that ends the conversion (median of {runs} runs):", "",
           *wine_lines(wined, results)] if wined else []),
        *(["", "## Notes from this run", "", *(f"- {n}" for n in notes)] if notes else [])]
    # The subdivision section is measured by bench/subdivide.sh, not here: it is kept as it stands.
    old = doc.read_text() if doc.exists() else ""
    kept = old[old.find("\n## Subdivision"):] if "\n## Subdivision" in old else ""
    doc.write_text("\n".join(lines) + "\n" + kept)


def parse_args(argv):
    p = argparse.ArgumentParser(prog="bench/run.sh", description=__doc__.split("\n\n")[0])
    p.add_argument("--sizes", default=",".join(map(str, SIZES)),
                   help="comma-separated face counts (default: %(default)s)")
    p.add_argument("--runs", type=int, default=7, help="timed runs per size and case (default: 7)")
    p.add_argument("--converter", metavar="EXE", help="time EXE instead of building the release "
                   "preset's build/release/bin/vuv2ez")
    p.add_argument("--no-build", action="store_true", help="do not run cmake first")
    p.add_argument("--wine", nargs="?", const="", metavar="EXE", help="also time the Windows "
                   "program under Wine (EXE, or the windows preset's vuv2ez.exe)")
    p.add_argument("--no-docs", action="store_true", help="print the table only; leave docs alone")
    p.add_argument("--docs", metavar="DIR", type=Path, default=ROOT / "docs",
                   help="write performance.md and performance.png there (default: docs)")
    args = p.parse_args(argv)
    try:
        args.sizes = sorted({int(s) for s in args.sizes.split(",")})
    except ValueError:
        p.error("--sizes takes comma-separated face counts")
    if args.sizes[0] < 1 or args.runs < 1:
        p.error("--sizes takes positive face counts, --runs at least 1")
    return args


def main(argv):
    args = parse_args(argv)
    conv = Path(args.converter or ROOT / "build" / "release" / "bin" / "vuv2ez").resolve()
    if not (args.converter or args.no_build):
        run(["cmake", "--preset", "release"], "configuring the release preset")
        run(["cmake", "--build", "--preset", "release"], "building the release preset")
    if not os.access(conv, os.X_OK):
        raise Failed(f"no converter at {conv}")
    WORK.mkdir(parents=True, exist_ok=True)
    gen, gen_hash = tool("generate_mqo", ["-ffp-contract=off"])
    tool("measure_run", [])
    notes = [f"only {args.runs} timed runs per size"] if args.runs < 5 else []
    starts = [timed(["true"]) for _ in range(5)]
    start = [statistics.median(column) for column in zip(*starts)][:2]
    say(f"process start floor (`true`): {fmt_time(start[0])}, {start[1] / 1e6:.1f} MB resident")
    info, results = machine(), []  # the commit measured, before anything else can change
    for faces in args.sizes:
        path = model(gen, gen_hash, faces, notes)
        say(f"{fmt_faces(faces)} faces ({path.stat().st_size / 1e6:.1f} MB): warm-up and "
            f"{args.runs} runs each with a fresh and with an existing destination")
        results.append(measure(conv, path, faces, args.runs, notes))
    wined = wine(args.wine, args.sizes, args.runs, notes) if args.wine is not None else None
    info["date"] = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    info["load_after"] = " ".join(Path("/proc/loadavg").read_text().split()[:3])
    heavy = [fmt_faces(r["faces"]) for r in results if r["other_load"] > LOADED]
    if heavy:
        notes.append(f"other work used more than {LOADED * 100:.0f} % of the CPUs during the "
                     f"runs of {', '.join(heavy)} faces: those figures are pessimistic")
    with open(WORK / "results.json", "w") as f:
        json.dump({"machine": info, "start_floor": start, "converter": str(conv),
                   "results": results,
                   "wine": wined and {"medians": wined[0], "as_shown": wined[1]}}, f, indent=1)
    found = targets(results)
    say(f"\n{text_table(results)}\n")
    for t, verdict, detail in found:
        say(f"{verdict:>12}  {t}: {detail}")
    for line in wine_lines(wined, results) if wined else []:
        say("under Wine " + line)
    if not args.no_docs:
        command = "bench/run.sh" + ("" if args.sizes == SIZES else " --sizes " + ",".join(
            map(str, args.sizes))) + ("" if args.runs == 7 else f" --runs {args.runs}") + (
            "" if args.wine is None else " --wine")
        args.docs.mkdir(parents=True, exist_ok=True)
        plotted = plot(results, args.docs / "performance.png", notes)
        write_doc(args.docs / "performance.md", results, found, info, command, start, plotted,
                  notes, wined)
        say(f"\nwrote {args.docs / 'performance.md'}" + (" and the plot" if plotted else ""))
    for n in notes:
        say(f"note: {n}")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv[1:]))
    except Failed as e:
        print(f"\nbench: FAILED: {e}", file=sys.stderr, flush=True)
        sys.exit(1)
    except KeyboardInterrupt:
        sys.exit(130)
