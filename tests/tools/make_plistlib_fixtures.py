#!/usr/bin/env python3
"""Writes the property-list fixtures of tests/data/plist with Python's plistlib.

The files are committed; run this again only to change them:
    python3 tests/tools/make_plistlib_fixtures.py tests/data/plist
"""
import datetime
import plistlib
import sys
from pathlib import Path


def portfolios():
    return {
        "Family": {
            "Name": "Family",
            "Bonds": [
                {"Serial": "C123456789EE", "Type": "EE", "Face Value": "100",
                 "Issue Year": "1995", "Issue Month": "March"},
                {"Serial": "Q 42 & <co>", "Type": "I", "Face Value": 500,
                 "Issue Year": "2001", "Issue Month": "December"},
            ],
            "Opened": datetime.datetime(2009, 6, 15, 10, 3, 7),
            "Locked": False,
        },
        "Grandmère's 債券": {
            "Name": "Grandmère's 債券",
            "Bonds": [],
            "Note": "ünïcödé — \"quoted\" 'single' > tab\there",
        },
        "No list": {"Name": "No list"},
    }


def every_kind():
    return {
        "string": "plain",
        "empty": "",
        "integer": 42,
        "negative": -17,
        "large": 9007199254740993,
        "zero": 0,
        "real": 2.5,
        "small real": 0.1,
        "negative real": -1234.5678,
        "true": True,
        "false": False,
        "date": datetime.datetime(1990, 1, 1, 0, 0, 0),
        "old date": datetime.datetime(1901, 12, 14, 20, 45, 52),
        "future date": datetime.datetime(2100, 7, 4, 12, 0, 0),
        "data": bytes(range(256)),
        "empty data": b"",
        "nested": {"list": [1, "two", [3.0, {"four": [True]}]], "empty dict": {}, "empty list": []},
        "z last but written first?": "order is insertion order",
        "a": "keys are not sorted",
    }


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    with open(out / "plistlib_portfolios.plist", "wb") as f:
        plistlib.dump(portfolios(), f, sort_keys=False)
    with open(out / "plistlib_every_kind.plist", "wb") as f:
        plistlib.dump(every_kind(), f, sort_keys=False)


if __name__ == "__main__":
    main()
