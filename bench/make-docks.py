#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes a docks.json for measurements: many docks, large files, hostile frames.

  bench/make-docks.py OUT --docks N [--hotkeys K] [--size-mb M] [--frame W H]

--docks N      N items docks, their panels spread over a 1440 x 900 desktop
--hotkeys K    the first K docks get distinct hot keys
--size-mb M    pad the first dock with text clippings until the file holds about M MB
--frame W H    every dock's width and height (e.g. 1e308 1e308, or -40 0)
--stacked      every dock at the same place, as docks added one by one from the menu start
--text-mb M    add one text clipping of M MB to the first dock (a file of that size, fast)
--into FILE    start from the docks of FILE instead (e.g. the starter docks a first start wrote);
               --size-mb then fills its clippings dock with clippings of about 400 characters
"""
import argparse
import json
import uuid

REFERENCE_DATE = 818274568.781  # a moment in 2026, in seconds since 2001-01-01


def fresh_id():
    return str(uuid.uuid4()).upper()


def item(kind, name, **fields):
    return dict(id=fresh_id(), kind=kind, name=name, createdAt=REFERENCE_DATE, **fields)


def dock(index, width, height, hot_key, stacked):
    return {
        "id": fresh_id(), "name": f"Dock {index}", "kind": "items",
        "tabs": [{"id": fresh_id(), "name": "Main", "items": [
            item("docklet", "Clock", docklet="clock"),
            item("url", "Example", urlString="https://example.org/"),
        ]}],
        "selectedTabIndex": 0, "layout": "grid", "orientation": "vertical",
        "style": "tabbedPalette",
        "position": {"x": 60 + (index % 6) * 24 if stacked else (index * 37) % 1260,
                     "y": 120 + (index % 6) * 24 if stacked else (index * 23) % 660,
                     "width": width, "height": height},
        "columns": 4,
        "appearance": {"iconSize": 48, "opacity": 0.9, "tintRed": 0.13, "tintGreen": 0.14,
                       "tintBlue": 0.17, "showLabels": True, "cornerRadius": 16},
        "autoHide": False, "alwaysOnTop": True, "isVisible": True, "hotKey": hot_key,
        "screenEdgeForAutoHide": "left",
    }


def hot_key(index):
    # Letter and digit keys (macOS codes 0-29) with four modifier sets: distinct chords.
    modifiers = [0x100 | 0x800, 0x100 | 0x1000, 0x800 | 0x1000, 0x100 | 0x200 | 0x800]
    return {"keyCode": index % 30, "modifiers": modifiers[(index // 30) % 4]}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--docks", type=int, default=1)
    parser.add_argument("--hotkeys", type=int, default=0)
    parser.add_argument("--size-mb", type=float, default=0)
    parser.add_argument("--frame", nargs=2, type=float, default=[180, 240])
    parser.add_argument("--stacked", action="store_true")
    parser.add_argument("--text-mb", type=float, default=0)
    parser.add_argument("--into")
    args = parser.parse_args()
    width, height = (v if v != int(v) or abs(v) > 1e15 else int(v) for v in args.frame)
    if args.into:
        with open(args.into, encoding="utf-8") as source:
            docks = json.load(source)
        target_dock = next((d for d in docks if d["kind"] == "clippings"), docks[0])
        text = "Moorline measurement clipping, kept for a year. " * 8  # about 400 characters
    else:
        docks = [dock(i, width, height, hot_key(i) if i < args.hotkeys else {}, args.stacked)
                 for i in range(args.docks)]
        target_dock = docks[0]
        text = "Moorline measurement clipping. " * 32  # about 1 kB
    target = int(args.size_mb * 1_000_000)
    if target:
        size = len(json.dumps(docks))
        items = target_dock["tabs"][0]["items"]
        while size < target:
            clip = item("clippingText", "Clipping", textContent=text)
            items.append(clip)
            size += len(json.dumps(clip)) + 1
    if args.text_mb:
        docks[0]["tabs"][0]["items"].append(
            item("clippingText", "Clipping", textContent="x" * int(args.text_mb * 1_000_000)))
    with open(args.out, "w", encoding="utf-8") as out:
        json.dump(docks, out, separators=(",", ":"), allow_nan=False)


if __name__ == "__main__":
    main()
