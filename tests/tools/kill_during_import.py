#!/usr/bin/env python3
"""Kills `orvelt-cli import` at random moments and checks after each kill that the portfolio
file is whole: byte for byte either the file from before the import or the one a completed
import writes, and readable by Python's plistlib. Afterwards, one more import removes the
temporary files that the killed saves left in the data folder.

Usage: kill_during_import.py ORVELT_CLI WORK_DIR [KILLS]
"""

import os
import plistlib
import random
import shutil
import signal
import subprocess
import sys
import time

PORTFOLIOS = 10
BONDS_PER_PORTFOLIO = 400
IMPORTED_BONDS = 1500
MONTHS = ["January", "February", "March", "April", "May", "June", "July", "August",
          "September", "October", "November", "December"]


def make_portfolios():
    portfolios = {}
    for p in range(PORTFOLIOS):
        name = f"Portfolio {p:02d}"
        bonds = [{"Serial": f"P{p:02d}N{b:05d}", "Type": "EE" if b % 3 else "I",
                  "Face Value": str((50, 100, 500, 1000)[b % 4]), "Issue Year": str(1990 + b % 20),
                  "Issue Month": MONTHS[b % 12]} for b in range(BONDS_PER_PORTFOLIO)]
        portfolios[name] = {"Name": name, "Bonds": bonds}
    return plistlib.dumps(portfolios, fmt=plistlib.FMT_XML)


def make_bond_list():
    lines = ['"Serial Number","Type","Face Value","Month Issued","Year Issued"']
    for b in range(IMPORTED_BONDS):
        lines.append(f'"K{b:06d}","EE",${(50, 100, 200)[b % 3]},"{1 + b % 12}","{1995 + b % 15}"')
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


class Folder:
    def __init__(self, root):
        self.data = os.path.join(root, "data")
        self.home = os.path.join(root, "home")
        os.makedirs(self.data)
        os.makedirs(self.home)
        self.portfolio_file = os.path.join(self.data, "portfolios.plist")

    def start_import(self, cli, bond_list):
        env = dict(os.environ, HOME=self.home, XDG_DATA_HOME=os.path.join(self.home, "data"),
                   XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                   XDG_CACHE_HOME=os.path.join(self.home, "cache"))
        return subprocess.Popen([cli, "--data-dir", self.data, "import", "Portfolio 07",
                                 bond_list], env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE)

    def leftovers(self):
        return sorted(n for n in os.listdir(self.data) if n.startswith(".portfolios.plist."))


def main():
    cli, work = sys.argv[1], sys.argv[2]
    kills_wanted = int(sys.argv[3]) if len(sys.argv) > 3 else 50
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    old = make_portfolios()
    bond_list = os.path.join(work, "bonds.csv")
    with open(bond_list, "wb") as f:
        f.write(make_bond_list())

    # One import run to its end gives the new file and how long an import takes.
    reference = Folder(os.path.join(work, "reference"))
    with open(reference.portfolio_file, "wb") as f:
        f.write(old)
    began = time.monotonic()
    done = reference.start_import(cli, bond_list)
    _, err = done.communicate()
    duration = time.monotonic() - began
    if done.returncode != 0:
        sys.exit(f"the reference import failed ({done.returncode}): {err.decode()}")
    with open(reference.portfolio_file, "rb") as f:
        new = f.read()
    # Both files are read whole by plistlib once: any file equal to one of them is readable too.
    plistlib.loads(old)
    bonds = plistlib.loads(new)["Portfolio 07"]["Bonds"]
    if len(bonds) != BONDS_PER_PORTFOLIO + IMPORTED_BONDS or new == old:
        sys.exit("the reference import did not add the bond list")

    folder = Folder(os.path.join(work, "killed"))
    rng = random.Random(int(os.environ.get("KILL_SEED", time.time_ns())))
    kills = attempts = old_seen = new_seen = kills_in_save = 0
    while kills < kills_wanted:
        attempts += 1
        if attempts > 20 * kills_wanted:
            sys.exit(f"only {kills} of {attempts} imports were still running when killed")
        with open(folder.portfolio_file, "wb") as f:
            f.write(old)
        before = set(folder.leftovers())
        process = folder.start_import(cli, bond_list)
        if attempts % 2:
            time.sleep(rng.uniform(0.0, 0.9 * duration))
        else:
            # The save is a short part of an import: every other kill falls while it runs,
            # from the moment its temporary file appears.
            while process.poll() is None and set(folder.leftovers()) <= before:
                time.sleep(0.0002)
            time.sleep(rng.uniform(0.0, 0.01))
        process.send_signal(signal.SIGKILL)
        process.communicate()
        if process.returncode == -signal.SIGKILL:
            kills += 1
            kills_in_save += not set(folder.leftovers()) <= before
        with open(folder.portfolio_file, "rb") as f:
            found = f.read()
        if found not in (old, new):
            sys.exit(f"after kill {attempts} the portfolio file is neither the old nor the new "
                     f"one ({len(found)} bytes)")
        old_seen += found == old
        new_seen += found == new

    # Later than the last kill by more than the file system's clock step.
    time.sleep(0.05)
    with open(folder.portfolio_file, "wb") as f:
        f.write(old)
    final = folder.start_import(cli, bond_list)
    _, err = final.communicate()
    if final.returncode != 0:
        sys.exit(f"the import after the kills failed: {err.decode()}")
    with open(folder.portfolio_file, "rb") as f:
        if f.read() != new:
            sys.exit("the import after the kills did not write the new file")
    if folder.leftovers():
        sys.exit(f"temporary files of killed saves were not removed: {folder.leftovers()}")
    print(f"{kills} kills in {attempts} imports of {duration:.2f} s: old file {old_seen} times, "
          f"new file {new_seen} times; {kills_in_save} kills left a temporary file")
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
