#!/usr/bin/env python3
"""Runs `orvelt-cli report` over every redemption month of a value table, as text, CSV and JSON
with --details, for a portfolio holding bonds of every series and issue year the table holds,
and writes all the outputs (standard output, standard error and exit status) to one file.

Two builds that value bonds alike write the same file byte for byte:

  tools/report-every-month.py OLD/orvelt-cli before.txt
  tools/report-every-month.py NEW/orvelt-cli after.txt
  cmp before.txt after.txt

The portfolio lives in a temporary data folder with its own home folder; the user's own files
are never read or written. The table is the one shipped beside the program unless --table names
another, which is then copied into the temporary data folder as the user's copy.
"""

import argparse
import os
import plistlib
import shutil
import subprocess
import sys
import tempfile

MONTH_NAMES = ["January", "February", "March", "April", "May", "June", "July", "August",
               "September", "October", "November", "December"]
FACE_VALUES = ["25", "50", "75", "100", "200", "500", "1000", "5000", "10000", "10"]


def portfolio_bonds(table):
    """Two bonds of each series and issue year of the table, at months and face values that
    vary from bond to bond, and a bond of a series no table knows; and apart from them the bonds
    the table calls invalid in some month (an invalid bond fails the report)."""
    years = {}
    invalid = set()
    for series, redemption_years in table.items():
        for redemption_months in redemption_years.values():
            for issues in redemption_months.values():
                for year, leaves in issues.items():
                    years.setdefault(series, set()).add(year)
                    invalid.update((series, year, month) for month, leaf in leaves.items()
                                   if leaf == "      ")
    bonds = []
    for series in sorted(years):
        for year in sorted(years[series]):
            for offset in (0, 6):
                month = next((MONTH_NAMES[(int(year) + offset + k) % 12] for k in range(12)
                              if (series, year, MONTH_NAMES[(int(year) + offset + k) % 12])
                              not in invalid), None)
                if month is None:
                    continue
                bonds.append({
                    "Serial": "%s%s-%d" % (series, year, offset),
                    "Type": series,
                    "Face Value": FACE_VALUES[len(bonds) % len(FACE_VALUES)],
                    "Issue Year": year,
                    "Issue Month": month,
                })
    bonds.append({"Serial": "X1", "Type": "H", "Face Value": "500", "Issue Year": "1990",
                  "Issue Month": "May"})
    invalid_bonds = [{"Serial": "%s%s%s" % key, "Type": key[0], "Face Value": "100",
                      "Issue Year": key[1], "Issue Month": key[2]} for key in sorted(invalid)]
    return bonds, invalid_bonds


def redemption_months(table):
    months = set()
    for years in table.values():
        for year, months_of_year in years.items():
            months.update("%s-%s" % (year, month) for month in months_of_year)
    return sorted(months)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("output")
    parser.add_argument("--table", help="value table (default: the one shipped with the program)")
    args = parser.parse_args()

    program = os.path.abspath(args.program)
    # Where the program finds its shipped resources: beside it, or beside its folder.
    table_path = args.table or next(
        (path for path in (os.path.join(os.path.dirname(program), folder, "BondTable.plist")
                           for folder in ("resources", os.path.join("..", "resources")))
         if os.path.exists(path)), None)
    if table_path is None:
        sys.exit("No value table beside %s; name one with --table." % program)
    with open(table_path, "rb") as f:
        table = plistlib.load(f)

    with tempfile.TemporaryDirectory(prefix="orvelt-every-month-") as temp:
        data = os.path.join(temp, "data")
        home = os.path.join(temp, "home")
        os.makedirs(data)
        os.makedirs(home)
        bonds, invalid_bonds = portfolio_bonds(table)
        portfolios = {"Every bond": {"Name": "Every bond", "Bonds": bonds},
                      "Invalid": {"Name": "Invalid", "Bonds": invalid_bonds}}
        with open(os.path.join(data, "portfolios.plist"), "wb") as f:
            plistlib.dump(portfolios, f)
        if args.table:
            shutil.copyfile(args.table, os.path.join(data, "BondTable.plist"))
        env = dict(os.environ, HOME=home, XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                   XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_CACHE_HOME=os.path.join(home, ".cache"), LC_ALL="C",
                   QT_QPA_PLATFORM="offscreen")
        runs = [["values", "sources"]]
        # Without --month the report starts at the current month or the latest the table holds.
        for month in [None] + redemption_months(table):
            for form in ("text", "csv", "json"):
                chosen = ["--month", month] if month else []
                runs.append(["report", "Every bond"] + chosen + ["--details", "--format", form])
            runs.append(["report", "Invalid"] + chosen)
        with open(args.output, "wb") as out:
            for arguments in runs:
                run = subprocess.run([program, "--data-dir", data] + arguments, env=env,
                                     capture_output=True, timeout=120)
                out.write(("== %s: exit %d\n" % (" ".join(arguments), run.returncode)).encode())
                out.write(run.stdout)
                out.write(b"-- standard error\n")
                out.write(run.stderr)
        print("%d months, %d bonds, %d invalid" % (len(redemption_months(table)), len(bonds),
                                                   len(invalid_bonds)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
