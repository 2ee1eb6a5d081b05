#!/usr/bin/env python3
"""Runs one scenario of the real viewer under Xvfb (--run-dir BUILD/run --work DIR SCENARIO), or --list them."""

import argparse
import os
import shutil
import sys
import tempfile

import catalogues
import common
import controls
import desktop
import failures
import files
import films
import shading
import sky
import start_and_end
import truescale

AREAS = (start_and_end, failures, controls, files, films, desktop, shading, sky, catalogues, truescale)
SCENARIOS = {scenario.__name__: (scenario, area) for area in AREAS for scenario in area.SCENARIOS}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--run-dir")
    parser.add_argument("--work")
    parser.add_argument("--failing-viewer")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("scenario", nargs="?", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    if args.list:
        print(";".join(SCENARIOS))
        return 0
    scenario, area = SCENARIOS[args.scenario]
    os.makedirs(args.work, exist_ok=True)
    args.folder = common.xdrive.make_working_folder(args.run_dir, args.work)
    # A viewer started outside a working folder makes a person's folders: never the real person's.
    os.environ["HOME"] = tempfile.mkdtemp(prefix="orvtest-home-", dir=args.work)
    os.chmod(os.environ["HOME"], 0o755)
    for variable in ("XDG_CONFIG_HOME", "XDG_CACHE_HOME"):
        os.environ.pop(variable, None)

    display = None
    if args.scenario not in area.NO_DISPLAY:
        display = common.xdrive.VirtualDisplay(window_manager=args.scenario in area.WINDOW_MANAGER)
    try:
        scenario(args, display)
    except (common.Failure, AssertionError) as failure:
        print("FAILED %s: %s (working folder %s)" % (args.scenario, failure, args.folder))
        return 1
    finally:
        if display:
            display.stop()
    print("passed %s" % args.scenario)
    shutil.rmtree(args.folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
