# Every refusal names what it refuses and raises the exception a script expects.
import pytest

import korvoflow as kf
from conftest import DATA

ROWS = [
    ("unknown-key", lambda t: kf.calculate(flow=1), ValueError, 'unknown field "flow"'),
    ("result-key", lambda t: kf.calculate(p2=1), ValueError, '"Exit Pressure, psia" (p2) is a result'),
    ("refused-text", lambda t: kf.calculate(w="12a"), ValueError,
     '"Flow Rate, lb/hr (Initial Properties)" (w) refuses "12a"'),
    ("not-finite", lambda t: kf.calculate(d=float("inf")), ValueError, "refuses inf: not a finite"),
    ("number-for-text", lambda t: kf.calculate(desc=5), TypeError, "(desc) takes a text, not int"),
    ("bool-for-number", lambda t: kf.calculate(w=True), TypeError, "(w) takes a number or a text"),
    ("unknown-gas", lambda t: kf.calculate(gas="metane"), ValueError, 'unknown gas "metane"'),
    ("si-below-zero", lambda t: kf.calculate(units="si", p1=-1), ValueError, "below zero absolute"),
    ("unknown-units", lambda t: kf.calculate(units="imperial"), ValueError, 'unknown units "imperial"'),
    ("load-missing", lambda t: kf.load(t / "none.run"), FileNotFoundError, "no such file"),
    ("load-folder", lambda t: kf.load(t), IsADirectoryError, "is a directory"),
    ("load-not-a-run", lambda t: kf.load(DATA / "report_layout.txt"), OSError, "not a Korvo Flow run"),
    ("save-no-folder", lambda t: kf.save(kf.Run(), t / "no" / "x.run"), FileNotFoundError, "no such"),
    ("save-unencodable", lambda t: kf.save(kf.Run(desc="\u4e2d"), t / "x.run"), OSError, "Run Description"),
    ("save-not-a-run", lambda t: kf.save("x.run", t / "x.run"), TypeError, "not str"),
    ("sweep-three-axes", lambda t: kf.sweep(w=[1], d=[1], l=[1]), ValueError, "one or two inputs"),
    ("sweep-2d-axis", lambda t: kf.sweep(w=[[1, 2]]), ValueError, "1-D array"),
    ("sweep-text-axis", lambda t: kf.sweep(desc=["a"]), ValueError, "(desc) is a text and cannot be"),
    ("gas-not-a-text", lambda t: kf.calculate(gas=["methane"]), TypeError, "takes a text, not list"),
    ("sweep-key-of-text", lambda t: kf.sweep(w=[1], keys=["desc"]), ValueError, '"desc" is not'),
    ("profile-no-stations", lambda t: kf.profile(stations=0), ValueError, "from 1 to"),
    ("solve-unknown-free", lambda t: kf.solve(free="k", targets="p2>=1"), ValueError, "cannot solve"),
]


@pytest.mark.parametrize("call,error,words", [r[1:] for r in ROWS], ids=[r[0] for r in ROWS])
def test_refusal(tmp_path, call, error, words):
    with pytest.raises(error) as raised:
        call(tmp_path)
    assert words in str(raised.value)
