#!/usr/bin/env python3
"""End-to-end benchmark of vuv2ez (started by bench/run.sh; Python 3 standard library only).

Builds the release converter and the model generator, generates (once, cached under
build/bench/models) MQO models of 10k, 100k, 1M and 4M faces, then per size: one warm-up run,
whose output is checked against bench/checksums.txt, and N timed runs. Beside every timed run
it measures the floor of the machine for the same amount of data: reading the input
(cat IN > /dev/null) and writing as many bytes as the output has (head -c BYTES /dev/zero > F).
Prints a table, writes docs/performance.md and plots docs/performance.png with gnuplot.

Exit status: 0 on success (targets missed are reported, not fatal), 1 when a build, a run or a
checksum fails, 2 on bad usage.
"""

import argparse
import datetime
import hashlib
import json
import os
import platform
import resource
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BENCH = ROOT / "bench"
GEN_SOURCE = BENCH / "generate_mqo.cpp"
MEASURE_SOURCE = BENCH / "measure_run.cpp"
CHECKSUMS = BENCH / "checksums.txt"
MODEL_SUMS = BENCH / "models.sha256"
DOC = ROOT / "docs" / "performance.md"
PLOT = ROOT / "docs" / "performance.png"

DEFAULT_SIZES = [10_000, 100_000, 1_000_000, 4_000_000]
RECORD_BYTES = 168

# Targets, checked on the measured figures.
T_1M_SECONDS = 0.40
T_1M_FACES_PER_S = 2.5e6
T_1M_MB_PER_S = 340.0
T_RSS_RATIO = 1.6
T_FLAT = 0.15
T_10K_SECONDS = 0.020

# With --wait-idle, a size whose runs shared the machine with more than LOADED of other CPU
# use is measured again, up to MAX_ATTEMPTS times; the least disturbed attempt is kept.
LOADED = 0.10
MAX_ATTEMPTS = 3


class BenchError(Exception):
    pass


def say(msg=""):
    print(msg, flush=True)


def sha256_file(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        while True:
            block = f.read(1 << 22)
            if not block:
                break
            h.update(block)
    return h.hexdigest()


def rel(path):
    """path relative to the repository when inside it, else as it is."""
    try:
        return path.relative_to(ROOT)
    except ValueError:
        return path


def run_checked(cmd, what, **kw):
    say(f"$ {' '.join(str(c) for c in cmd)}")
    r = subprocess.run(cmd, cwd=ROOT, **kw)
    if r.returncode != 0:
        raise BenchError(f"{what} failed (exit {r.returncode})")


# --------------------------------------------------------------------------------------------
# Builds


def build_converter():
    run_checked(["cmake", "--preset", "release"], "configuring the release preset")
    run_checked(["cmake", "--build", "--preset", "release"], "building the release preset")


def build_tool(work, source, flags, what):
    """Compiles one bench/*.cpp when its binary is missing or was built from other source.
    Returns (executable, sha256 of the source)."""
    exe = work / source.stem
    stamp = work / (source.stem + ".source-sha256")
    src_hash = sha256_file(source)
    if exe.exists() and stamp.exists() and stamp.read_text().strip() == src_hash:
        return exe, src_hash
    cxx = os.environ.get("CXX", "g++")
    run_checked([cxx, "-std=c++20", "-O2", *flags, "-o", str(exe), str(source)],
                f"building the {what}")
    stamp.write_text(src_hash + "\n")
    return exe, src_hash


# --------------------------------------------------------------------------------------------
# Models


def read_sums(path):
    """Reads 'key value' lines (blank lines and # comments ignored) into a dict."""
    sums = {}
    if path.exists():
        for line in path.read_text().splitlines():
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            parts = line.split()
            if len(parts) >= 2:
                sums[parts[0]] = parts[1]
    return sums


def append_sum(path, header, key, value):
    new = not path.exists()
    with open(path, "a") as f:
        if new:
            f.write(header)
        f.write(f"{key} {value}\n")


def model_for(work, gen, gen_hash, faces, seed):
    """Returns (path, sha256) of the model, generating it when missing or stale."""
    models = work / "models"
    models.mkdir(parents=True, exist_ok=True)
    path = models / f"faces-{faces}-seed-{seed}.mqo"
    meta = path.with_suffix(".meta")
    if path.exists() and meta.exists():
        fields = meta.read_text().split()
        if len(fields) == 3 and fields[0] == gen_hash and fields[2] == str(path.stat().st_size):
            return path, fields[1]
    say(f"generating {rel(path)} ...")
    t0 = time.perf_counter()
    run_checked([str(gen), "--faces", str(faces), "--seed", str(seed), str(path)],
                "generating a model")
    t1 = time.perf_counter()
    run_checked([str(gen), "--check", str(path), "--faces", str(faces)], "checking a model")
    digest = sha256_file(path)
    meta.write_text(f"{gen_hash} {digest} {path.stat().st_size}\n")
    say(f"  {path.stat().st_size / 1e6:.1f} MB in {t1 - t0:.2f} s")
    return path, digest


def verify_model_sum(faces, seed, digest, notes):
    """The converter checksums only hold for the exact models: pin the models as well."""
    key = f"faces-{faces}-seed-{seed}"
    recorded = read_sums(MODEL_SUMS).get(key)
    if recorded is None:
        append_sum(MODEL_SUMS,
                   "# sha256 of the benchmark models: bench/generate_mqo --faces N --seed S\n"
                   "# (bench/checksums.txt holds for these inputs only)\n",
                   key, digest)
        notes.append(f"recorded the model checksum for {key} in {rel(MODEL_SUMS)}")
        say(f"  recorded model checksum for {key}")
    elif recorded != digest:
        raise BenchError(
            f"MODEL CHECKSUM MISMATCH for {key}: recorded {recorded}, generated {digest}.\n"
            "The generator no longer writes the same document, so the recorded output checksums "
            "do not apply. Restore bench/generate_mqo.cpp, or re-record both files deliberately.")


# --------------------------------------------------------------------------------------------
# Timed runs


MEASURE = None  # bench/measure_run, built in main()


def cpu_busy_seconds():
    """CPU seconds (all CPUs) that this machine spent on work, or that its host took from it
    (steal), so far, from /proc/stat."""
    try:
        with open("/proc/stat") as f:
            fields = [int(x) for x in f.readline().split()[1:]]
    except OSError:
        return None
    hz = os.sysconf("SC_CLK_TCK")
    idle = fields[3] + (fields[4] if len(fields) > 4 else 0)
    return (sum(fields[:8]) - idle) / hz


def runner_cpu_seconds():
    """CPU time of this runner and of every process it has waited for (measure_run and,
    through it, the timed commands)."""
    me = resource.getrusage(resource.RUSAGE_SELF)
    kids = resource.getrusage(resource.RUSAGE_CHILDREN)
    return me.ru_utime + me.ru_stime + kids.ru_utime + kids.ru_stime


def cpu_count():
    return len(os.sched_getaffinity(0))


def machine_busy(seconds=1.0):
    """Share of all CPUs that were busy during the next `seconds`."""
    a = cpu_busy_seconds()
    time.sleep(seconds)
    b = cpu_busy_seconds()
    if a is None or b is None:
        return 0.0
    return (b - a) / seconds / cpu_count()


def wait_idle(limit_s, notes):
    """Waits until the machine is nearly idle (< 10 % busy over 3 s), at most limit_s."""
    t0 = time.monotonic()
    busy = machine_busy(3.0)
    if busy < 0.10:
        return
    say(f"machine busy ({busy * 100:.0f} % of {cpu_count()} CPUs): waiting for it to settle ...")
    while busy >= 0.10:
        if time.monotonic() - t0 > limit_s:
            notes.append(f"the machine was still {busy * 100:.0f} % busy after waiting "
                         f"{limit_s} s; measured anyway")
            return
        busy = machine_busy(3.0)
    say(f"  idle after {time.monotonic() - t0:.0f} s")


def timed(argv, stdout_path=None, stderr_path=None):
    """Runs argv through measure_run; returns (wall seconds, peak RSS in bytes, exit code).
    measure_run starts the clock just before spawning and reads ru_maxrss from wait4, so
    neither the runner's start-up cost nor its resident size leaks into the figures."""
    os.sync()  # earlier runs' output is written back now, not during this run
    cmd = [str(MEASURE)]
    if stdout_path is not None:
        cmd += ["--stdout", str(stdout_path)]
    if stderr_path is not None:
        cmd += ["--stderr", str(stderr_path)]
    cmd += ["--", *(str(a) for a in argv)]
    r = subprocess.run(cmd, capture_output=True, text=True)
    fields = r.stdout.split()
    if r.returncode != 0 or len(fields) != 4:
        raise BenchError(f"measure_run failed on {argv[0]}: {r.stderr.strip()}")
    return float(fields[0]), int(fields[1]), int(fields[2])


def remove(path):
    try:
        os.unlink(path)
    except FileNotFoundError:
        pass


def measure(conv, model, faces, runs, work, notes, pinned):
    out_dir = work / "out"
    out_dir.mkdir(parents=True, exist_ok=True)
    out = out_dir / f"faces-{faces}.qz"
    floor_out = out_dir / f"floor-{faces}.bin"
    err = out_dir / f"faces-{faces}.stderr"
    argv = [conv, "-o", out, model]

    def convert():
        remove(out)
        t, rss, code = timed(argv, stderr_path=err)
        if code != 0:
            msg = err.read_text(errors="replace")[-2000:]
            raise BenchError(f"vuv2ez exited {code} on {model.name}:\n{msg}")
        if not out.exists():
            raise BenchError(f"vuv2ez wrote no {out}")
        return t, rss

    convert()  # warm-up (also fills the page cache the same way for every later run)
    out_bytes = out.stat().st_size
    out_hash = sha256_file(out)
    if pinned:
        check_output(faces, out_hash, notes)

    conv_t, rss, read_t, write_t = [], [], [], []
    busy0, ours0, wall0 = cpu_busy_seconds(), runner_cpu_seconds(), time.perf_counter()
    for i in range(runs):
        t, r = convert()
        if out.stat().st_size != out_bytes:
            raise BenchError(f"run {i + 1}: output size changed ({out.stat().st_size} bytes, "
                             f"warm-up wrote {out_bytes})")
        conv_t.append(t)
        rss.append(r)
        t, _, code = timed(["cat", model])
        if code != 0:
            raise BenchError("cat failed")
        read_t.append(t)
        remove(floor_out)
        t, _, code = timed(["head", "-c", str(out_bytes), "/dev/zero"], stdout_path=floor_out)
        if code != 0:
            raise BenchError("head failed")
        write_t.append(t)
    busy1, ours1, wall1 = cpu_busy_seconds(), runner_cpu_seconds(), time.perf_counter()
    # CPU used by anything but the runner and the commands it timed, as a share of the
    # machine: other work on the machine slows the figures down.
    other = 0.0
    if busy0 is not None and busy1 is not None:
        other = max(0.0, (busy1 - busy0) - (ours1 - ours0)) / (wall1 - wall0) / cpu_count()
    if sha256_file(out) != out_hash:
        raise BenchError(f"the last run's output differs from the warm-up's ({faces} faces)")
    remove(floor_out)

    in_bytes = model.stat().st_size
    med = statistics.median(conv_t)
    return {
        "faces": faces,
        "in_bytes": in_bytes,
        "out_bytes": out_bytes,
        "sha256": out_hash,
        "runs": runs,
        "median": med,
        "min": min(conv_t),
        "max": max(conv_t),
        "mb_s": in_bytes / 1e6 / med,
        "faces_s": faces / med,
        "ns_face": med * 1e9 / faces,
        "rss": max(rss),
        "rss_ratio": max(rss) / in_bytes,
        "read": statistics.median(read_t),
        "write": statistics.median(write_t),
        "other_load": other,
        "times": conv_t,
        "read_times": read_t,
        "write_times": write_t,
        "rss_all": rss,
    }


def check_output(faces, digest, notes):
    recorded = read_sums(CHECKSUMS).get(str(faces))
    if recorded is None:
        append_sum(CHECKSUMS,
                   "# faces  sha256 of `vuv2ez -o OUT.qz` for the model bench/generate_mqo writes\n"
                   "# with --faces <faces> --seed 1 (pinned in bench/models.sha256)\n",
                   str(faces), digest)
        notes.append(f"recorded the output checksum for {faces} faces in "
                     f"{rel(CHECKSUMS)}")
        say(f"  no checksum recorded for {faces} faces: recorded {digest}")
    elif recorded != digest:
        raise BenchError(
            f"OUTPUT CHECKSUM MISMATCH at {faces} faces: recorded {recorded}, got {digest}.\n"
            "The converter no longer writes the same bytes for this model.")
    else:
        say(f"  output checksum matches ({digest[:16]}...)")


# --------------------------------------------------------------------------------------------
# Report


def fmt_faces(n):
    if n >= 1_000_000 and n % 1_000_000 == 0:
        return f"{n // 1_000_000}M"
    if n >= 1000 and n % 1000 == 0:
        return f"{n // 1000}k"
    return str(n)


def fmt_time(s):
    return f"{s * 1000:.1f} ms" if s < 1 else f"{s:.3f} s"


COLUMNS = ["faces", "input MB", "output bytes", "median", "fastest", "spread", "MB/s", "M faces/s",
           "ns/face", "peak RSS MB", "RSS/input", "read floor", "write floor", "x floor",
           "other load"]


def table_rows(results):
    rows = []
    for r in results:
        floor = r["read"] + r["write"]
        rows.append([
            fmt_faces(r["faces"]),
            f"{r['in_bytes'] / 1e6:.1f}",
            f"{r['out_bytes']:,}",
            fmt_time(r["median"]),
            fmt_time(r["min"]),
            f"{(r['max'] - r['min']) / r['median'] * 100:.0f} %",
            f"{r['mb_s']:.0f}",
            f"{r['faces_s'] / 1e6:.2f}",
            f"{r['ns_face']:.0f}",
            f"{r['rss'] / 1e6:.1f}",
            f"{r['rss_ratio']:.2f}",
            fmt_time(r["read"]),
            fmt_time(r["write"]),
            f"{r['median'] / floor:.1f}" if floor > 0 else "-",
            f"{r['other_load'] * 100:.0f} %",
        ])
    return rows


def text_table(results):
    rows = [COLUMNS] + table_rows(results)
    widths = [max(len(row[i]) for row in rows) for i in range(len(COLUMNS))]
    lines = []
    for k, row in enumerate(rows):
        lines.append("  ".join(c.rjust(w) for c, w in zip(row, widths)))
        if k == 0:
            lines.append("  ".join("-" * w for w in widths))
    return "\n".join(lines)


def md_table(results):
    lines = ["| " + " | ".join(COLUMNS) + " |",
             "|" + "|".join("---:" for _ in COLUMNS) + "|"]
    for row in table_rows(results):
        lines.append("| " + " | ".join(row) + " |")
    return "\n".join(lines)


def evaluate_targets(results):
    """Returns [(target, verdict, detail)] with verdict 'met', 'NOT met' or 'not measured'."""
    by = {r["faces"]: r for r in results}
    out = []
    one = by.get(1_000_000)
    if one:
        ok = (one["median"] <= T_1M_SECONDS and one["faces_s"] >= T_1M_FACES_PER_S
              and one["mb_s"] >= T_1M_MB_PER_S)
        out.append(("1M faces end to end in <= 0.40 s (>= 2.5 M faces/s, >= 340 MB/s)",
                    "met" if ok else "NOT met",
                    f"{fmt_time(one['median'])}, {one['faces_s'] / 1e6:.2f} M faces/s, "
                    f"{one['mb_s']:.0f} MB/s"))
        out.append((f"peak RSS <= {T_RSS_RATIO} x input size at 1M",
                    "met" if one["rss_ratio"] <= T_RSS_RATIO else "NOT met",
                    f"{one['rss'] / 1e6:.1f} MB for {one['in_bytes'] / 1e6:.1f} MB of input "
                    f"= {one['rss_ratio']:.2f} x"))
        others = [r for r in results if 100_000 <= r["faces"] <= 4_000_000 and r is not one]
        if others:
            devs = [(r, r["ns_face"] / one["ns_face"] - 1) for r in others]
            ok = all(abs(d) <= T_FLAT for _, d in devs)
            detail = f"1M: {one['ns_face']:.0f} ns/face; " + ", ".join(
                f"{fmt_faces(r['faces'])}: {r['ns_face']:.0f} ({d * 100:+.0f} %)" for r, d in devs)
            out.append(("time per face from 100k to 4M within +-15 % of its 1M value",
                        "met" if ok else "NOT met", detail))
        else:
            out.append(("time per face from 100k to 4M within +-15 % of its 1M value",
                        "not measured", "no size between 100k and 4M besides 1M was run"))
    else:
        for t in ("1M faces end to end in <= 0.40 s (>= 2.5 M faces/s, >= 340 MB/s)",
                  f"peak RSS <= {T_RSS_RATIO} x input size at 1M",
                  "time per face from 100k to 4M within +-15 % of its 1M value"):
            out.append((t, "not measured", "the 1M size was not run"))
    ten = by.get(10_000)
    if ten:
        out.append(("10k faces well under 20 ms",
                    "met" if ten["median"] < T_10K_SECONDS else "NOT met",
                    f"{fmt_time(ten['median'])} ({ten['median'] / T_10K_SECONDS * 100:.0f} % "
                    "of 20 ms)"))
    else:
        out.append(("10k faces well under 20 ms", "not measured", "the 10k size was not run"))
    return out


def loadavg():
    try:
        return " ".join(Path("/proc/loadavg").read_text().split()[:3])
    except OSError:
        return "unknown"


def machine_info():
    cpu = "unknown"
    try:
        for line in Path("/proc/cpuinfo").read_text().splitlines():
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    except OSError:
        pass
    mem = "unknown"
    try:
        for line in Path("/proc/meminfo").read_text().splitlines():
            if line.startswith("MemTotal:"):
                mem = f"{int(line.split()[1]) / 1024 / 1024:.1f} GiB"
                break
    except OSError:
        pass
    try:
        nproc = subprocess.run(["nproc"], capture_output=True, text=True).stdout.strip()
    except OSError:
        nproc = str(os.cpu_count())

    def git(*args):
        try:
            r = subprocess.run(["git", *args], cwd=ROOT, capture_output=True, text=True)
            return r.stdout.strip() if r.returncode == 0 else ""
        except OSError:
            return ""

    commit = git("rev-parse", "--short", "HEAD") or "unknown"
    if git("status", "--porcelain", "--untracked-files=no"):
        commit += " (with uncommitted changes)"
    return {
        "nproc": nproc,
        "cpu": cpu,
        "memory": mem,
        "kernel": f"{platform.system()} {platform.release()}",
        "date": datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC"),
        "commit": commit,
    }


def ensure_gnuplot(notes):
    if shutil.which("gnuplot"):
        return True
    say("gnuplot is missing: installing gnuplot-nox with apt-get")
    try:
        ok = (subprocess.run(["apt-get", "-q", "update"]).returncode == 0 and
              subprocess.run(["apt-get", "-q", "install", "-y", "gnuplot-nox"],
                             env={**os.environ, "DEBIAN_FRONTEND": "noninteractive"})
              .returncode == 0)
    except OSError:
        ok = False
    if not ok or not shutil.which("gnuplot"):
        notes.append("gnuplot could not be installed: the plot was not redrawn")
        say("warning: could not install gnuplot-nox; no plot")
        return False
    return True


def plot(results, work, notes):
    if len(results) < 2 or not ensure_gnuplot(notes):
        return False
    data = work / "performance.dat"
    with open(data, "w") as f:
        f.write("# faces ns_per_face floor_ns_per_face\n")
        for r in results:
            f.write(f"{r['faces']} {r['ns_face']:.3f} "
                    f"{(r['read'] + r['write']) * 1e9 / r['faces']:.3f}\n")
    terms = subprocess.run(["gnuplot", "-e", "set terminal"], capture_output=True, text=True)
    listing = terms.stdout + terms.stderr
    term = "pngcairo size 900,560 font 'sans,11'" if "pngcairo" in listing else "png size 900,560"
    by = {r["faces"]: r for r in results}
    band = ""
    if 1_000_000 in by:
        v = by[1_000_000]["ns_face"]
        band = (f", {v * (1 + T_FLAT):.3f} with lines dt 2 lc rgb '#999999' title '1M value +-15 %'"
                f", {v * (1 - T_FLAT):.3f} with lines dt 2 lc rgb '#999999' notitle")
    script = f"""
set terminal {term}
set output '{PLOT}'
set title 'vuv2ez: time per face against model size (median of {results[0]['runs']} runs)'
set xlabel 'faces (log scale)'
set ylabel 'ns per face'
set logscale x
set xrange [{min(by) / 2}:{max(by) * 2}]
set yrange [0:{max(r['ns_face'] for r in results) * 1.12:.1f}]
set grid
set key below
set format x '%.0s%c'
plot '{data}' using 1:2 with linespoints lw 2 pt 7 lc rgb '#1f77b4' title 'vuv2ez end to end', \\
     '{data}' using 1:3 with linespoints lw 1 pt 6 lc rgb '#2ca02c' title 'floor: read input + write output'{band}
"""
    PLOT.parent.mkdir(parents=True, exist_ok=True)
    r = subprocess.run(["gnuplot"], input=script, text=True, capture_output=True,
                       errors="replace")
    if r.returncode != 0:
        notes.append("gnuplot failed: the plot was not redrawn")
        say(f"warning: gnuplot failed:\n{r.stderr}")
        return False
    return True


def write_doc(results, targets, info, args, notes, plotted, start):
    DOC.parent.mkdir(parents=True, exist_ok=True)
    sizes = ",".join(str(r["faces"]) for r in results)
    cmd = "bench/run.sh" if [r["faces"] for r in results] == DEFAULT_SIZES else \
        f"bench/run.sh --sizes {sizes}"
    if args.runs != 7:
        cmd += f" --runs {args.runs}"
    lines = [
        "# Performance",
        "",
        "End-to-end time of `vuv2ez -o OUT.qz IN.mqo` (release build) on generated models,",
        f"written by `{cmd}` (see bench/README.md).",
        "",
        f"Each time is the median of {args.runs} timed runs after one warm-up run, wall clock from",
        "process start to exit. The input is in the page cache and pending writes are flushed",
        "before every run, so the times are those of the converter, not of the disk. Beside each",
        "run the same data goes through `cat IN > /dev/null` (read floor) and",
        "`head -c BYTES /dev/zero > FILE` with BYTES = output size (write floor): what moving",
        "that much data costs this machine with everyday tools (`head` writes 4 KiB at a time;",
        "the converter writes 1 MiB at a time, and spends less than the write floor on writing).",
        "`x floor` is the converter's time over the sum of the two floors;",
        "`fastest` is the quickest timed run, the least disturbed by anything else running;",
        "`spread` is (slowest - fastest) / median of the timed runs; peak RSS is the largest",
        "maximum resident set size of the timed runs. For scale, starting and ending a process",
        f"(`true`) takes {fmt_time(start['seconds'])} and {start['rss'] / 1e6:.1f} MB here; "
        "both are inside every figure.",
        "`other load` is the CPU used during a size's runs by anything but the runner and the",
        "commands it timed (other processes, kernel writeback, and time the virtual machine's",
        f"host took away: steal), as a share of all {cpu_count()} CPUs:",
        "figures taken while other work ran are slower than the converter's own.",
        "",
        "## Machine",
        "",
        f"- CPU: {info['cpu']}, `nproc` = {info['nproc']}",
        f"- memory: {info['memory']}",
        f"- kernel: {info['kernel']}",
        f"- date: {info['date']}",
        f"- commit: {info['commit']}",
        f"- load average (1, 5, 15 min) before / after the runs: {info['load_before']} / "
        f"{info['load_after']}",
        "",
        "## Results",
        "",
        md_table(results),
        "",
        "## Targets",
        "",
        "| target | result | measured |",
        "|---|---|---|",
    ]
    for t, verdict, detail in targets:
        lines.append(f"| {t} | **{verdict}** | {detail} |")
    lines += ["", "## Time per face", ""]
    if plotted or PLOT.exists():
        lines.append("![ns per face against faces](performance.png)")
    else:
        lines.append("(no plot: gnuplot was not available)")
    lines += [
        "",
        "## Models",
        "",
        "`bench/generate_mqo --faces N --seed 1`: six objects (three jittered grids of quads,",
        "three UV spheres with triangle fans at the poles), six materials, CRLF line ends.",
        "",
        f"| faces | input bytes | output bytes beyond {RECORD_BYTES} per face | output sha256 |",
        "|---:|---:|---:|---|",
    ]
    for r in results:
        extra = r["out_bytes"] - RECORD_BYTES * r["faces"]
        lines.append(f"| {r['faces']:,} | {r['in_bytes']:,} | {extra:,} | `{r['sha256']}` |")
    if notes:
        lines += ["", "## Notes from this run", ""] + [f"- {n}" for n in notes]
    DOC.write_text("\n".join(lines) + "\n")


# --------------------------------------------------------------------------------------------


def parse_args(argv):
    p = argparse.ArgumentParser(prog="bench/run.sh", description=__doc__.split("\n\n")[0])
    p.add_argument("--sizes", default=",".join(str(s) for s in DEFAULT_SIZES),
                   help="comma-separated face counts (default: %(default)s)")
    p.add_argument("--runs", type=int, default=7, help="timed runs per size (default: 7)")
    p.add_argument("--seed", type=int, default=1, help="model seed (default: 1; checksums are "
                   "recorded and checked for seed 1 only)")
    p.add_argument("--converter", help="converter executable to time instead of building "
                   "build/release/bin/vuv2ez")
    p.add_argument("--no-build", action="store_true", help="do not run cmake first")
    p.add_argument("--no-docs", action="store_true",
                   help="print the table only; leave docs/ alone")
    p.add_argument("--wait-idle", type=int, default=0, metavar="SECONDS",
                   help="before each size, wait up to SECONDS for the machine to be idle, and "
                   f"measure a size again (up to {MAX_ATTEMPTS} times) when other work took "
                   f"more than {LOADED * 100:.0f} %% of the CPUs during its runs")
    p.add_argument("--work", default="build/bench", help="work folder (default: %(default)s)")
    args = p.parse_args(argv)
    try:
        args.sizes = [int(s.replace("_", "")) for s in args.sizes.split(",") if s.strip()]
    except ValueError:
        p.error("--sizes takes comma-separated integers")
    if not args.sizes or any(s <= 0 for s in args.sizes):
        p.error("--sizes needs positive face counts")
    if args.runs < 1:
        p.error("--runs must be at least 1")
    args.sizes = sorted(set(args.sizes))
    return args


def main(argv):
    args = parse_args(argv)
    os.chdir(ROOT)
    work = (ROOT / args.work).resolve()
    work.mkdir(parents=True, exist_ok=True)
    notes = []
    if args.runs < 5:
        notes.append(f"only {args.runs} timed runs per size (5 or more give steadier medians)")
    if args.seed != 1:
        notes.append(f"seed {args.seed}: checksums are only recorded and checked for seed 1")

    if args.converter:
        conv = Path(args.converter).resolve()
    else:
        conv = ROOT / "build" / "release" / "bin" / "vuv2ez"
        if not args.no_build:
            build_converter()
    if not os.access(conv, os.X_OK):
        raise BenchError(f"no converter at {conv}")
    gen, gen_hash = build_tool(work, GEN_SOURCE, ["-ffp-contract=off"], "model generator")
    global MEASURE
    MEASURE, _ = build_tool(work, MEASURE_SOURCE, [], "run timer")

    starts = [timed(["true"]) for _ in range(max(args.runs, 5))]
    start = {"seconds": statistics.median(t for t, _, _ in starts),
             "rss": statistics.median(r for _, r, _ in starts)}
    say(f"process start floor (`true`): {fmt_time(start['seconds'])}, "
        f"{start['rss'] / 1e6:.1f} MB resident")

    info = machine_info()  # the commit measured, before anything else can change
    info["load_before"] = loadavg()
    results = []
    for faces in args.sizes:
        model, digest = model_for(work, gen, gen_hash, faces, args.seed)
        if args.seed == 1:
            verify_model_sum(faces, args.seed, digest, notes)
        best = None
        for attempt in range(1, (MAX_ATTEMPTS if args.wait_idle else 1) + 1):
            if args.wait_idle:
                wait_idle(args.wait_idle, notes)
            say(f"{fmt_faces(faces)} faces ({model.stat().st_size / 1e6:.1f} MB): warm-up and "
                f"{args.runs} runs" + (f" (attempt {attempt})" if attempt > 1 else ""))
            r = measure(conv, model, faces, args.runs, work, notes, args.seed == 1)
            if best is None or r["other_load"] < best["other_load"]:
                best = r
            if r["other_load"] <= LOADED:
                break
            say(f"  other work took {r['other_load'] * 100:.0f} % of the CPUs during these runs")
        best["attempts"] = attempt
        if attempt > 1:
            notes.append(f"{fmt_faces(faces)} faces: measured {attempt} times as other work kept "
                         "the machine busy; the least disturbed attempt is shown")
        results.append(best)

    info["date"] = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    info["load_after"] = loadavg()
    heavy = [r for r in results if r["other_load"] > LOADED]
    if heavy:
        notes.append("other work used more than 10 % of the CPUs during the runs of " +
                     ", ".join(fmt_faces(r["faces"]) for r in heavy) +
                     " faces: those figures are pessimistic (rerun on an idle machine, or with "
                     "--wait-idle)")
    with open(work / "results.json", "w") as f:
        json.dump({"machine": info, "runs": args.runs, "seed": args.seed,
                   "start_floor": start,
                   "converter": str(conv), "results": results}, f, indent=1)
    say("")
    say(text_table(results))
    say("")
    targets = evaluate_targets(results)
    for t, verdict, detail in targets:
        say(f"{verdict:>12}  {t}: {detail}")
    if not args.no_docs:
        plotted = plot(results, work, notes)
        write_doc(results, targets, info, args, notes, plotted, start)
        say(f"\nwrote {rel(DOC)}" + (f" and {rel(PLOT)}" if plotted
                                                   else ""))
    for n in notes:
        say(f"note: {n}")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv[1:]))
    except BenchError as e:
        print(f"\nbench: FAILED: {e}", file=sys.stderr, flush=True)
        sys.exit(1)
    except KeyboardInterrupt:
        sys.exit(130)
