#!/usr/bin/env python3
"""Writes a site's install log and pass reports for the site benchmark.

    site_log.py log LOG [COMPUTERS] [DAYS]      the log: each computer logs one launch a day,
                                                one of four applications (default 10,000
                                                computers over 100 days: 1,000,000 lines)
    site_log.py reports FOLDER [COUNT]          COUNT pass reports (default 20,000) of four
                                                entries each, in the program's format 1
"""
import datetime
import os
import sys

APPS = ["Team Notes", "Phone Book", "Timesheets", "Viewer"]
DAYS = ["Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"]
MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]
HEADER = ("ReportFormat,Program,PassStart,PassEnd,Computer,User,Settings,Row,Entry,Name,"
          "Verdict,Reason,Step,DestinationVersion,DestinationWritten,SourceVersion,"
          "SourceWritten,Start,StartError\r\n")


def write_log(path, computers, days):
    start = datetime.datetime(2026, 8, 30, 7, 0, 0)
    with open(path, "w", newline="") as log:
        for day in range(days):
            moment = start + datetime.timedelta(days=day)
            stamp = (f"{DAYS[moment.weekday()]}, {moment.day:02d} {MONTHS[moment.month - 1]} "
                     f"{moment.year} ")
            lines = []
            for pc in range(computers):
                minute, second = divmod(pc * 7 % 7200, 60)
                hour = 7 + minute // 60
                lines.append(f"{stamp}{hour:02d}:{minute % 60:02d}:{second:02d}  - "
                             f"{APPS[(pc + day) % 4]} (\\\\WS{pc:05d}, user u{pc:05d})\r\n")
            log.write("".join(lines))


def write_reports(folder, count):
    os.makedirs(folder, exist_ok=True)
    for pc in range(count):
        computer, user = f"WS{pc:05d}", f"u{pc:05d}"
        passed = (f"1,1.1.0,2026-12-07 08:00:00,2026-12-07 08:00:02,{computer},{user},"
                  f"\\\\server\\quorvel\\Quorvel.ini,")
        rows = [HEADER, passed + "pass,,,complete,,,,,,,,\r\n"]
        for n, app in enumerate(APPS, 1):
            rows.append(passed + f"entry,{n},{app},current,Source not written later,dates decide,"
                        "3.0.0.0,2026-12-01 09:00:00,3.0.0.0,2026-12-01 08:00:00,,\r\n")
        with open(os.path.join(folder, f"{computer}.{user}.csv"), "w", newline="") as report:
            report.write("".join(rows))


if __name__ == "__main__":
    if sys.argv[1] == "log":
        write_log(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 10000,
                  int(sys.argv[4]) if len(sys.argv) > 4 else 100)
    else:
        write_reports(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 20000)
