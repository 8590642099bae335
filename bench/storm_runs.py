#!/usr/bin/env python3
"""One log-on storm, watched from outside: bench/storm.sh runs it.

    python3 bench/storm_runs.py PROGRAM SETTINGS LOG DESTINATION RUNS TRACES

Starts RUNS runs of PROGRAM (/log=LOG /ini=SETTINGS) evenly within one second, each under
strace, which stops the run only at the calls it traces (opens, lock calls and the exit, with
seccomp-bpf), waits for all of them, and reads what they did from the traces in TRACES and from
the log. The pass of a run begins when it first opens DESTINATION (its entry's installed file)
and ends at its exit; its line arrives when it unlocks the log's region for the last time.
"""
import re
import subprocess
import sys
import time

LINE = re.compile(rb"[A-Z][a-z]{2}, \d\d [A-Z][a-z]{2} \d{4} \d\d:\d\d:\d\d [^\r\n]* - Storm"
                  rb" \(\\\\[^,\r\n]+, user [^)\r\n]+\)")
TRACE = re.compile(r"^(\d+) +(\d+\.\d+) (.*)$")


def start_runs(program, settings, log, runs, traces):
    processes = []
    begin = time.monotonic()
    for run in range(runs):
        delay = begin + run / runs - time.monotonic()
        if delay > 0:
            time.sleep(delay)
        processes.append(subprocess.Popen(
            ["strace", "-f", "--seccomp-bpf", "-qq", "-ttt", "-e",
             "trace=openat,fcntl,exit_group", "-o", f"{traces}/run{run}", program,
             f"/log={log}", f"/ini={settings}"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    started = time.monotonic() - begin
    statuses = [process.wait() for process in processes]
    return started, statuses


def read_trace(path, destination):
    """(start of the run, start of its pass, its end, its line's arrival, refused tries)."""
    run_start = pass_start = run_end = arrival = None
    refused = 0
    main_pid = None
    with open(path, encoding="utf-8", errors="replace") as trace:
        for text in trace:
            match = TRACE.match(text)
            if match is None:
                continue
            pid, moment, call = match.group(1), float(match.group(2)), match.group(3)
            if main_pid is None:
                main_pid, run_start = pid, moment
            if pid != main_pid:
                continue  # the setup program the run started
            if call.startswith("openat(") and destination in call and pass_start is None:
                pass_start = moment
            elif call.startswith("fcntl(") and "F_SETLK," in call:
                if "F_WRLCK" in call and "= -1" in call:
                    refused += 1
                elif "F_UNLCK" in call:
                    arrival = moment
            elif call.startswith("exit_group("):
                run_end = moment
    return run_start, pass_start, run_end, arrival, refused


def peak_inside(intervals):
    events = sorted([(start, 1) for start, _ in intervals] + [(end, -1) for _, end in intervals])
    inside = peak = 0
    for _, step in events:
        inside += step
        peak = max(peak, inside)
    return peak


def main():
    program, settings, log, destination, runs, traces = sys.argv[1:7]
    runs = int(runs)
    started, statuses = start_runs(program, settings, log, runs, traces)
    with open(log, "rb") as stream:
        content = stream.read()
    pieces = content.split(b"\r\n")
    whole = sum(1 for piece in pieces[:-1] if LINE.fullmatch(piece))
    torn = len(pieces) - 1 - whole + (1 if pieces[-1] else 0)
    records = [read_trace(f"{traces}/run{run}", destination) for run in range(runs)]
    arrivals = sorted(r[3] for r in records if r[3] is not None)
    intervals = [(r[1], r[2]) for r in records if r[1] is not None and r[2] is not None]
    waited = sum(1 for r in records if r[4] > 0)
    first_start = min((r[0] for r in records if r[0] is not None), default=0.0)
    print(f"    {runs} runs started in {started:.2f} s; exit statuses: "
          f"{sorted(set(statuses))}")
    print(f"    lines written whole: {whole} of {runs}"
          f"{'' if whole == runs and torn == 0 else f' (MISSED: {torn} torn or foreign)'}")
    if arrivals:
        offsets = [a - first_start for a in arrivals]
        busiest = max(sum(1 for b in offsets if a <= b < a + 1.0) for a in offsets)
        deciles = [offsets[min(len(offsets) - 1, len(offsets) * k // 10)] for k in (1, 5, 9)]
        print(f"    arrival: first line {offsets[0]:.2f} s after the first run began, last "
              f"{offsets[-1]:.2f} s; 10%/50%/90% by {deciles[0]:.2f}/{deciles[1]:.2f}/"
              f"{deciles[2]:.2f} s; at most {busiest} lines in one second")
    print(f"    peak runs inside the pass at once: {peak_inside(intervals)}")
    print(f"    lock refusals: {waited} runs had to wait, {sum(r[4] for r in records)} refused "
          f"tries in all")


if __name__ == "__main__":
    main()
