#!/usr/bin/env python3
"""orvtest-check --json read by a real JSON parser: every field is there, and
the bodies are the ones the system file defines, in the viewer's order."""

import json
import os
import shutil
import subprocess
import sys
import tempfile

checker, data_dir, test_data = sys.argv[1:4]

SETTINGS = ["StaticSystem", "MeshLod", "Reduction", "MoveConstant", "NearClipDistance", "ShadowTechnique",
            "AmbientLight", "DiffuseLight", "SpecularLight", "Range", "Constant", "Linear", "Quadratic",
            "Distance", "Density"]
BODY = ["section", "parentNode", "Name", "Parent", "Model", "Material", "Size", "OrbitRadius", "OrbitPeriod",
        "PitchPeriod", "YawPeriod", "RollPeriod", "OrbitCompleted", "PitchCompleted", "YawCompleted",
        "RollCompleted", "OrbitAxis", "PitchAxis", "YawAxis", "RollAxis", "Far", "NearDistance", "FarDistance",
        "orbitStep", "pitchStep", "yawStep", "rollStep", "nearDistanceSquared"]
PROBLEM = ["file", "line", "section", "kind", "severity", "message"]


def run(folder, *arguments):
    result = subprocess.run([checker, "--json", *arguments], cwd=folder, stdout=subprocess.PIPE, text=True)
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
    assert abs(earth["orbitStep"] - 1 / (earth["OrbitPeriod"] * 60)) < 1e-9

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
