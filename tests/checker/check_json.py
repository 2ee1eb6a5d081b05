#!/usr/bin/env python3
"""orvtest-check --json read by a real JSON parser: every field is there, and
the bodies are the ones the system file defines, in the viewer's order."""

import json
import os
import shutil
import subprocess
import sys
import tempfile

checker, data_dir, test_data, readme = sys.argv[1:5]
# The file formats' pages live beside the README.
docs = os.path.join(os.path.dirname(readme), "docs")


def documented_keys(page, heading, column):
    """The keys (in backticks) of the given column of every table under the heading of docs/page."""
    keys, inside = [], False
    with open(os.path.join(docs, page)) as stream:
        for line in stream:
            if line.startswith("#"):
                inside = line.startswith(heading)
            elif inside and line.startswith("| "):
                cell = line.split("|")[column].strip()
                if cell.startswith("`"):
                    keys.append(cell.strip("`"))
    return keys


# The documented tables are the keys; the checker adds what it derives.
SETTINGS = documented_keys("SETTINGS.md", "# The settings file", 2)
BODY = ["section", "parentNode"] + documented_keys("SYSTEM-FILE.md", "# The system file", 1) + [
    "orbitStep", "pitchStep", "yawStep", "rollStep", "nearDistanceSquared"]
PROBLEM = ["file", "line", "section", "kind", "severity", "message"]
POSITION = ["section", "Name", "Parent", "longitude", "latitude", "distance", "distanceAU", "meridian"]
CATALOGUE = ["file", "format", "bodyCount", "problems", "problemsNotListed"]
CATALOGUE_PROBLEM = ["file", "line", "kind", "severity", "message"]
CATALOGUE_POSITION = ["name", "longitude", "latitude", "distanceAU"]
assert len(SETTINGS) > 10 and len(BODY) > 20, (SETTINGS, BODY)


def run(folder, *arguments, quiet=False):
    result = subprocess.run([checker, "--json", *arguments], cwd=folder, stdout=subprocess.PIPE, text=True,
                            stderr=subprocess.DEVNULL if quiet else None)
    return result.returncode, json.loads(result.stdout)


folder = tempfile.mkdtemp()
try:
    for name in ("OrvTest.cfg", "1.cfg"):
        shutil.copy(os.path.join(data_dir, name), folder)
    code, report = run(folder)
    assert code == 0, report["problems"]
    assert sorted(report["settings"]) == sorted(SETTINGS), report["settings"]
    assert report["settings"]["ShadowTechnique"] == "SHADOWTYPE_TEXTURE_MODULATIVE"
    assert len(report["settings"]["AmbientLight"]) == 4 and report["settings"]["AmbientLight"][3] == 1
    sections = [body["section"] for body in report["bodies"]]
    assert sections == sorted(sections, key=lambda s: s.encode()), sections
    assert len(sections) == 17
    for body in report["bodies"]:
        assert sorted(body) == sorted(BODY), body
        assert isinstance(body["Far"], bool) and len(body["OrbitAxis"]) == 3
        assert body["parentNode"] == body["Parent"] + ".Position"
    earth = next(b for b in report["bodies"] if b["Name"] == "Earth")
    assert earth["OrbitDays"] > 365 and earth["Epoch"] == "2000-01-01T12:00:00 TT" and earth["orbitStep"] == 0

    # Where each body stands: the sun's and its parent's, by section and Name.
    code, report = run(folder, "--at", "2000-01-01T12:00")
    assert code == 0 and report["at"] == "2000-01-01T12:00:00Z"
    places = {p["Name"]: p for p in report["positions"]}
    assert [p["section"] for p in report["positions"]] == sections
    for place in report["positions"]:
        assert sorted(place) == sorted(POSITION), place
        # The display's scale alone: no real size of orbit is known.
        assert place["distanceAU"] is None, place
    assert abs(places["Mercury"]["longitude"] - 253.78) < 0.01, places["Mercury"]   # VSOP87: 253.7830
    assert places["Moon"]["Parent"] == "3.Earth"
    # The Earth's prime meridian by the IAU model (Archinal et al. 2011: W = 190.147 + 360.9856235 d,
    # d in TT days from J2000) at a UTC date when TT - UTC was 69.184 s (TAI - UTC = 37 s from
    # 2017-01-01, IERS Bulletin C 52): the clock's UTC must become dynamical time.
    code, report = run(folder, "--at", "2020-06-01T00:00")
    d = 2459001.5 + 69.184 / 86400 - 2451545.0
    meridian = next(p for p in report["positions"] if p["Name"] == "Earth")["meridian"]
    assert abs((meridian - (190.147 + 360.9856235 * d) + 180) % 360 - 180) < 0.01, meridian
    # A body by its perihelion, at perihelion: PerihelionDistance world units
    # from the Sun and its real distance, PerihelionAU, beside them (the
    # date is UTC, the perihelion TT: 2020-01-01T00:00 TT is 69.184 s earlier in UTC).
    with open(os.path.join(folder, "open.cfg"), "w") as stream:
        stream.write("[Comet]\nName=Comet\nParent=Sun\nModel=SphereMesh_4x6\nMaterial=default\nSize=5\n"
                     "OrbitRadius=0\nOrbitPeriod=0\nPitchPeriod=0\nYawPeriod=0\nRollPeriod=0\n"
                     "PerihelionDistance=900\nPerihelionAU=1.5\nPerihelionDate=2020-01-01\nEccentricity=1.5\n")
    code, report = run(folder, "--at", "2019-12-31T23:58:50.816", "open.cfg")
    assert code == 0, report["problems"]
    comet = report["positions"][0]
    assert abs(comet["distance"] - 900) < 1e-4 and abs(comet["distanceAU"] - 1.5) < 1e-7, comet
    assert report["bodies"][0]["PerihelionDate"] == "2020-01-01T00:00:00 TT", report["bodies"][0]
    shutil.copy(os.path.join(data_dir, "clockwork.cfg"), folder)
    code, report = run(folder, "--at", "now", "clockwork.cfg")
    assert all(p["longitude"] is None and p["meridian"] is None for p in report["positions"])
    assert subprocess.run([checker, "--at", "2000-13-01"], cwd=folder, stderr=subprocess.DEVNULL).returncode == 2

    # Catalogues: each judged, and with --at each of its bodies placed, in the file's order.
    comets, mpcorb = (os.path.join(test_data, "catalogue", name) for name in ("comets.txt", "mpcorb.txt"))
    code, report = run(folder, "--catalogue", comets, "--catalogue", mpcorb, "1.cfg")
    assert code == 1 and [sorted(c) for c in report["catalogues"]] == [sorted(CATALOGUE)] * 2, report["catalogues"]
    first, second = report["catalogues"]
    assert (first["file"], first["format"], first["bodyCount"], first["problems"]) == (comets, "MPC comets", 3, [])
    assert second["format"] == "MPCORB" and second["bodyCount"] == 2 and second["problemsNotListed"] == 0
    assert [sorted(p) for p in second["problems"]] == [sorted(CATALOGUE_PROBLEM)], second["problems"]
    assert (second["problems"][0]["line"], second["problems"][0]["severity"]) == (6, "warning")
    code, report = run(folder, "--at", "2019-12-28", "--catalogue", comets, "1.cfg")
    places = report["catalogues"][0]["positions"]
    assert [sorted(p) for p in places] == [sorted(CATALOGUE_POSITION)] * 3, places
    assert [p["name"] for p in places] == ["1P/Halley", "2I/Borisov", "C/1995 O1"], places
    code, report = run(folder, "--catalogue", readme, "1.cfg", quiet=True)
    assert code == 2 and list(report) == ["error"] and report["error"]["file"] == readme, report

    # Awkward bytes and values still make valid JSON.
    with open(os.path.join(folder, "odd.cfg"), "wb") as stream:
        stream.write(b'[Odd\xff"\\]\nName=\x01quote"\nSize=1e39\n')
    code, report = run(folder, "odd.cfg")
    assert code == 1 and report["bodies"] == []
    for problem in report["problems"]:
        assert sorted(problem) == sorted(PROBLEM), problem

    code, report = run(folder, os.path.join(test_data, "broken-system.cfg"))
    assert code == 1 and "settings" not in report
    assert {p["kind"] for p in report["problems"]} >= {"parent-order", "skipped-section", "unknown-key"}
finally:
    shutil.rmtree(folder)
print("passed check_json")
