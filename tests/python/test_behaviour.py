# What a script relies on beyond the command line's rows: numbers kept as
# given, gases, SI units, run files, profiles and solves.
import pytest

import korvoflow as kf

PSI_IN_KPA = 6.894757293168361  # 1 lbf/in^2 = 6.894757293168361 kPa (NIST SP 811)


def test_numbers_are_kept_at_full_precision_not_rounded_as_a_typed_entry():
    result = kf.calculate(e=0.0000015, w=600000.1234567)
    assert result.texts["e"] == "0.0000015"  # the window would keep 0.000002
    assert result.values["w"] == 600000.1234567


@pytest.mark.parametrize("inputs,gas,mw", [
    ({"gas": "methane"}, "Methane", "16.0425"),  # GPA 2145
    ({"gas": "My blend", "mw": 20.5, "k": 1.3}, "My blend", "20.5"),
    ({"gas": "Wet gas", "mw": "21.2"}, "Wet gas", "21.2"),
], ids=["table-gas", "own-gas-with-mw-and-k", "own-gas-with-mw"])
def test_gas_by_name_or_described(inputs, gas, mw):
    texts = kf.Run(**inputs).texts
    assert (texts["gas"], texts["mw"]) == (gas, mw)


def test_si_inputs_and_results_are_the_us_run_converted():
    us, si = kf.calculate(), kf.calculate(units="si", p1=740 * PSI_IN_KPA)
    assert si.values["p1"] == pytest.approx(740 * PSI_IN_KPA, rel=1e-15)
    assert si.values["p2"] == pytest.approx(us.values["p2"] * PSI_IN_KPA, rel=1e-14)
    assert si.values["t2"] == pytest.approx((us.values["t2"] - 32) / 1.8, rel=1e-14)
    assert (si.units["p2"], si.texts["p2"]) == ("kPa(a)", us.texts["p2"])


def test_a_saved_run_loads_back_as_it_was(tmp_path):
    result = kf.calculate(desc="Line 7\nheader to vent", w=550000)
    kf.save(result, tmp_path / "line7.run")
    kf.save(result, tmp_path / "line7.run")  # replaces the file whole
    assert kf.load(tmp_path / "line7.run") == result.run
    assert kf.calculate(str(tmp_path / "line7.run")).texts == result.texts


def test_profile_runs_from_the_inlet_state_to_the_exit_state():
    values, columns = kf.calculate().values, kf.profile(stations=4).columns
    assert list(columns["x"]) == [0, 17.5, 35, 52.5, 70]
    assert (columns["p"][0], columns["p"][-1]) == (values["p1"], values["p2"])
    choked = kf.profile(l=100, stations=10)
    assert "chokes before its end" in choked.stop and max(choked.columns["m"]) < 1


@pytest.mark.parametrize("units,target,bound", [("us", "p2>=500", 500), ("si", "p2>=3447", 3447)])
def test_solve_finds_the_largest_flow_that_meets_the_target(units, target, bound):
    solved = kf.solve(free="w", targets=target, units=units)
    assert solved.found and solved.result.values["p2"] >= bound
    assert solved.result.values["w"] == solved.value
    beyond = kf.calculate(kf.Run(w=solved.neighbour["text"]), units=units)
    assert beyond.values["p2"] < bound
