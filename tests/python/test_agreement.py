# The module against the command line's JSON, field by field and bit for bit,
# and a sweep's arrays against the same points calculated one by one.
import json
import math
import os
import subprocess

import pytest

import korvoflow as kf
from conftest import DATA

CLI = os.environ.get("KORVO_CLI")

# (id, the command line's arguments after "calc", the module's run and inputs);
# texts that a typed entry keeps as they are, so both front ends hold them alike.
RUNS = [
    ("default", [], None, {}),
    ("texts-set", ["--set", "w=550,000.5", "--set", "k=1.4", "--set", "desc=Line 7"], None,
     {"w": "550,000.5", "k": "1.4", "desc": "Line 7"}),
    ("chokes", [str(DATA / "cli" / "choking.run")], DATA / "cli" / "choking.run", {}),
    ("not-numeric", [str(DATA / "hand_edited.run")], DATA / "hand_edited.run", {}),
    ("k-not-above-one", ["--set", "k=0.9"], None, {"k": 0.9}),
]


@pytest.mark.skipif(not CLI, reason="korvoflow-cli is not built")
@pytest.mark.parametrize("args,run,inputs", [r[1:] for r in RUNS], ids=[r[0] for r in RUNS])
def test_every_field_as_the_command_line_gives_it(args, run, inputs):
    out = subprocess.run([CLI, "calc", "--format", "json", *args], capture_output=True, check=False)
    row = json.loads(out.stdout)[0]
    result = kf.calculate(run, **inputs)
    assert result.end == row["end"]
    for key, text in result.texts.items():
        cell = row[key]
        assert text == (cell["text"] if isinstance(cell, dict) else cell), key
        if isinstance(cell, dict):
            assert result.values[key] == cell["value"], key


def same(a, b):
    return a == b or (math.isnan(a) and b is None)


@pytest.mark.parametrize("axes,units", [
    ({"w": [100000, 333333.3333333, 600000, 700000]}, "us"),
    ({"w": [180000, 270000], "d": [140.5, 203.2, 10]}, "si"),
], ids=["flow-line-us", "flow-diameter-grid-si"])
def test_sweep_equals_points_calculated_one_by_one(axes, units):
    swept = kf.sweep(units=units, threads=2, **axes)
    (k1, v1), *second = axes.items()
    for i, x in enumerate(v1):
        for j, y in enumerate(second[0][1] if second else [None]):
            at = (i, j) if second else (i,)
            point = kf.calculate(units=units, **{k1: x}, **({second[0][0]: y} if second else {}))
            assert swept["end"][at] == point.end
            for key, value in point.values.items():
                assert same(swept[key][at], value), (key, at)


def test_sweep_keeps_only_the_keys_asked_for():
    swept = kf.sweep(w=[5e5, 6e5], keys=["p2", "m2"])
    assert list(swept) == ["end", "p2", "m2"]
