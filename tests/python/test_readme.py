# The README's Python example runs as written; run in docs/, it draws the
# README's picture docs/python_sweep.png.
import os
import pathlib
import re
import subprocess
import sys

TOP = pathlib.Path(__file__).resolve().parents[2]


def test_readme_example_runs_and_draws_its_picture():
    readme = (TOP / "README.md").read_text(encoding="utf-8")
    section = readme.split("\n## From Python\n", 1)[1]
    script = re.search(r"```python\n(.*?)```", section, re.S).group(1)
    picture = TOP / "docs" / "python_sweep.png"
    picture.unlink(missing_ok=True)
    env = dict(os.environ, MPLBACKEND="Agg")
    subprocess.run([sys.executable, "-c", script], cwd=picture.parent, env=env, check=True)
    assert picture.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
