#!/usr/bin/env python3
"""The Debian package CPack makes from BUILD_DIR: its dependencies, files, lintian and desktop entry."""

import os
import re
import subprocess
import sys
import tempfile

# Each must be named, whatever the version: the engine and the input library
# (found from the programs' links), what they load at run time, and the font.
DEPENDENCIES = ["libogre1.12.10", "libois-1.3.0v5", "libx11-6", "libgl1-mesa-dri", "fonts-dejavu-core"]
FILES = ["./usr/bin/orvtest", "./usr/bin/orvtest-check", "./usr/share/applications/orvtest.desktop",
         "./usr/share/icons/hicolor/256x256/apps/orvtest.png", "./usr/share/man/man1/orvtest.1.gz",
         "./usr/share/man/man1/orvtest-check.1.gz", "./usr/share/doc/orvtest/copyright",
         "./usr/share/doc/orvtest/changelog.gz"] + ["./usr/share/orvtest/" + name for name in (
             "plugins.cfg", "resources.cfg", "OrvTest.cfg", "1.cfg", "belt.cfg", "ogre.cfg", "media/maps/earth.dds",
             "media/programs/FarSphere.vert")]


def main():
    build = os.path.abspath(sys.argv[1])
    failures = []
    with tempfile.TemporaryDirectory(prefix="orvtest-package-") as out:
        subprocess.run(["cpack", "-G", "DEB", "-B", out, "--config", os.path.join(build, "CPackConfig.cmake")],
                       check=True, stdout=subprocess.DEVNULL)
        package = next(os.path.join(out, f) for f in os.listdir(out) if f.endswith(".deb"))

        def field(name):
            return subprocess.run(["dpkg-deb", "-f", package, name], check=True, capture_output=True,
                                  text=True).stdout.strip()

        depends = [re.sub(r"\s*\(.*\)", "", d).strip() for d in field("Depends").split(",")]
        for dependency in DEPENDENCIES:
            if dependency not in depends:
                failures.append("Depends lacks %s: %s" % (dependency, field("Depends")))
        if field("Package") != "orvtest" or field("Architecture") != "amd64":
            failures.append("package %s for %s" % (field("Package"), field("Architecture")))

        listing = subprocess.run(["dpkg-deb", "-c", package], check=True, capture_output=True, text=True).stdout
        paths = {line.split()[-1] for line in listing.splitlines()}
        owners = {line.split()[1] for line in listing.splitlines()}
        for path in FILES:
            if path not in paths:
                failures.append("the package lacks " + path)
        if owners != {"root/root"}:
            failures.append("files not owned by root: %s" % owners)

        lint = subprocess.run(["lintian", "--fail-on", "error", package], capture_output=True, text=True)
        if lint.returncode != 0:
            failures.append("lintian: %s %s" % (lint.stdout, lint.stderr))

        unpacked = os.path.join(out, "tree")
        subprocess.run(["dpkg-deb", "-x", package, unpacked], check=True)
        validate = subprocess.run(["desktop-file-validate", os.path.join(unpacked, "usr/share/applications/orvtest.desktop")],
                                  capture_output=True, text=True)
        if validate.returncode != 0 or validate.stdout.strip():
            failures.append("desktop-file-validate: " + validate.stdout + validate.stderr)

    for failure in failures:
        print("FAILED: " + failure)
    if not failures:
        print("passed: the package names its dependencies, holds its files and passes lintian")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
