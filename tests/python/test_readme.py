# The README's Python example runs as written; run in docs/, it draws the
# README's picture docs/python_sweep.png.
import os
import pathlib
import re
import subprocess
import sys

import korvoflow

TOP = pathlib.Path(__file__).resolve().parents[2]


def test_readme_example_runs_and_draws_its_picture():
    readme = (TOP / "README.md").read_text(encoding="utf-8")
    section = readme.split("\n## From Python\n", 1)[1]
    script = re.search(r"```python\n(.*?)```", section, re.S).group(1)
    picture = TOP / "docs" / "python_sweep.png"
    before = picture.stat().st_mtime_ns if picture.exists() else None
    module = os.path.dirname(korvoflow.__file__)  # the one under test, wherever it runs
    env = dict(os.environ, MPLBACKEND="Agg", PYTHONPATH=module)
    subprocess.run([sys.executable, "-c", script], cwd=picture.parent, env=env, check=True)
    assert picture.stat().st_mtime_ns != before
    assert picture.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
