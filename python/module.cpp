// The Python module korvoflow: the calculation, run files, case studies,
// pipe profiles and solves of the core and the engineering helpers, for
// notebooks and scripts. Glue only: the rules live in the core, the
// engineering library and run_inputs.h; this file turns Python objects into
// their arguments and their answers back into Python objects. Every failure
// of an input is an InputError, which pybind11 raises as ValueError.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cerrno>
#include <thread>

#include "calc/field_names.h"
#include "engineering/input_error.h"
#include "engineering/pipe_schedules.h"
#include "engineering/profile.h"
#include "engineering/solve.h"
#include "python/run_inputs.h"
#include "python/sweep_points.h"
#include "runfile/replace_file.h"
#include "runfile/runfile.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace {

// ---------------------------------------------------------------- values

struct Result {
  RunRecord run;
  Calculated calculated;
  UnitSystem units;
};

struct ProfileResult {
  py::dict columns;
  std::string stop;
};

struct Solution {
  bool found = false;
  py::object value = py::none(), pipe = py::none(), neighbour = py::none(), result = py::none();
  std::string text, limit, warning;
  int calculates = 0;
};

std::string TypeName(const py::handle& value) {
  return py::str(py::type::of(value).attr("__name__")).cast<std::string>();
}

// ---------------------------------------------------------------- files

// A path as the file system takes it (bytes) and as a message shows it.
struct FilePath {
  std::string bytes;
  py::object shown;
};

FilePath PathArgument(const py::handle& path) {
  const py::module_ os = py::module_::import("os");
  return {os.attr("fsencode")(path).cast<std::string>(), os.attr("fsdecode")(path)};
}

// OSError(errno, reason, path), which Python turns into FileNotFoundError and
// its kin; a fault without an error number says the path and the reason.
[[noreturn]] void RaiseOSError(int error, const std::string& reason, const FilePath& path) {
  const py::object type = py::reinterpret_borrow<py::object>(PyExc_OSError);
  const py::object raised = error != 0
                                ? type(error, reason, path.shown)
                                : type(py::str(path.shown) + py::str(": ") + py::str(reason));
  PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(raised.ptr())), raised.ptr());
  throw py::error_already_set();
}

int LoadErrorNumber(const LoadResult& loaded) {
  switch (loaded.fault) {
    case LoadFault::kNoSuchFile:
      return ENOENT;
    case LoadFault::kPermissionDenied:
      return EACCES;
    case LoadFault::kIsADirectory:
      return EISDIR;
    default:
      return loaded.error;
  }
}

// The default run with the file's texts over it, as the window loads a run.
RunRecord Load(const py::handle& path) {
  const FilePath file = PathArgument(path);
  RunRecord run = DefaultRunRecord(kModuleSymbols);
  const LoadResult loaded = LoadRunFile(run, file.bytes);
  if (!loaded) RaiseOSError(LoadErrorNumber(loaded), LoadFailureText(loaded), file);
  return run;
}

const RunRecord& RunToSave(const py::handle& run) {
  if (py::isinstance<Result>(run)) return run.cast<const Result&>().run;
  if (py::isinstance<RunRecord>(run)) return run.cast<const RunRecord&>();
  throw py::type_error("save takes a korvoflow.Run or Result, not " + TypeName(run));
}

// The window's safe save: the whole file or nothing, the file's identity kept.
void Save(const py::handle& run, const py::handle& path) {
  const RunRecord& record = RunToSave(run);
  const FilePath file = PathArgument(path);
  const EncodedRun encoded = EncodeRunFile(record);
  if (!encoded.error.empty()) RaiseOSError(0, encoded.error, file);
  WriteResult written;
  {
    py::gil_scoped_release unlocked;
    written = ReplaceFile(file.bytes, encoded.bytes);
  }
  if (!written) RaiseOSError(written.error, WriteFailureText(written), file);
}

// ---------------------------------------------------------------- inputs

GivenInput Given(FieldRef field, const py::handle& value) {
  if (py::isinstance<py::str>(value)) return value.cast<std::string>();
  if (HoldsNumber(field) && !py::isinstance<py::bool_>(value) && PyNumber_Check(value.ptr())) {
    return py::float_(py::reinterpret_borrow<py::object>(value)).cast<double>();
  }
  throw py::type_error(NamedField(field) + " takes " +
                       (HoldsNumber(field) ? "a number or a text" : "a text") + ", not " +
                       TypeName(value));
}

GivenInputs InputsOf(const py::dict& given, const std::string& units, const py::object& gas) {
  GivenInputs inputs;
  inputs.units = ParseUnitSystem(units);
  if (!gas.is_none() && !py::isinstance<py::str>(gas)) {
    throw py::type_error(NamedField(kGasType) + " takes a text, not " + TypeName(gas));
  }
  if (!gas.is_none()) inputs.gas = gas.cast<std::string>();
  for (const auto& [key, value] : given) {
    const FieldRef field = InputField(py::cast<py::str>(key).cast<std::string>());
    inputs.inputs.push_back({field, Given(field, value)});
  }
  return inputs;
}

// What a run argument starts from: the default run, a run, a result's run or
// a run file.
RunRecord BaseRun(const py::object& run) {
  static const RunRecord defaultRun = DefaultRunRecord(kModuleSymbols);
  if (run.is_none()) return defaultRun;
  if (py::isinstance<RunRecord>(run)) return run.cast<RunRecord>();
  if (py::isinstance<Result>(run)) return run.cast<const Result&>().run;
  return Load(run);
}

RunRecord RunWith(const py::object& run, const GivenInputs& inputs,
                  const std::vector<FieldRef>& alsoGiven = {}) {
  RunRecord record = BaseRun(run);
  ApplyInputs(record, inputs, alsoGiven);
  return record;
}

// ---------------------------------------------------------------- results

py::dict Texts(const RunRecord& run) {
  py::dict texts;
  for (const FieldInfo& field : FieldTable()) texts[py::str(field.key)] = Text(run, field.ref);
  return texts;
}

py::object Number(std::optional<double> value) {
  return value ? py::object(py::float_(*value)) : py::object(py::none());
}

py::dict Values(const Result& result) {
  py::dict values;
  for (const FieldInfo& field : FieldTable()) {
    if (!HoldsNumber(field.ref)) continue;
    values[py::str(field.key)] =
        Number(ValueIn(result.run, field.ref, result.calculated.values, result.units));
  }
  return values;
}

py::dict Units(UnitSystem units) {
  py::dict unitTexts;
  for (const FieldInfo& field : FieldTable()) {
    if (HoldsNumber(field.ref)) unitTexts[py::str(field.key)] = UnitText(field.ref, units);
  }
  return unitTexts;
}

Result Calculate(const py::object& run, const std::string& units, const py::object& gas,
                 const py::kwargs& inputs) {
  const GivenInputs given = InputsOf(inputs, units, gas);
  Result result{RunWith(run, given), {}, given.units};
  py::gil_scoped_release unlocked;
  result.calculated = CalculateQuietly(result.run, kModuleSymbols);
  return result;
}

py::list Fields(const std::string& units) {
  const UnitSystem system = ParseUnitSystem(units);
  py::list fields;
  for (const FieldInfo& field : FieldTable()) {
    fields.append(py::dict("key"_a = field.key, "caption"_a = UnitCaption(field.ref, system),
                           "unit"_a = UnitText(field.ref, system), "result"_a = field.isResult));
  }
  return fields;
}

std::string RunRepr(const RunRecord& run) {
  std::string text = "korvoflow.Run(";
  for (const FieldInfo& field : FieldTable()) {
    if (field.isResult) continue;
    if (text.back() != '(') text += ", ";
    text +=
        std::string(field.key) + "=" + py::repr(py::str(Text(run, field.ref))).cast<std::string>();
  }
  return text + ")";
}

// ---------------------------------------------------------------- sweeps

// An array of values, not one number or text.
bool IsAxis(const py::handle& value) {
  if (py::isinstance<py::str>(value)) return false;
  if (py::isinstance<py::array>(value)) return value.cast<py::array>().ndim() > 0;
  return PySequence_Check(value.ptr()) == 1;
}

SweepAxisValues AxisOf(const std::string& key, const py::handle& values, UnitSystem units) {
  const FieldRef field = InputField(key);
  if (!HoldsNumber(field)) throw InputError(NamedField(field) + " is a text and cannot be swept");
  const auto array = py::module_::import("numpy")
                         .attr("asarray")(values, "dtype"_a = "float64")
                         .cast<py::array_t<double>>();
  if (array.ndim() != 1)
    throw InputError(NamedField(field) + ": give the sweep's values as a 1-D array");
  SweepAxisValues axis{field, {}};
  axis.values.reserve(static_cast<std::size_t>(array.size()));
  for (py::ssize_t i = 0; i < array.size(); ++i)
    axis.values.push_back(InputNumber(field, array.at(i), units));
  return axis;
}

// The fields a sweep returns, each once: every number, or those of `keys`.
std::vector<FieldRef> SweepKeys(const py::object& keys) {
  std::vector<FieldRef> fields;
  if (keys.is_none()) {
    for (const FieldInfo& field : FieldTable()) {
      if (HoldsNumber(field.ref)) fields.push_back(field.ref);
    }
    return fields;
  }
  for (const std::string& key : keys.cast<std::vector<std::string>>()) {
    const FieldInfo* field = FieldByKey(key);
    if (!field || !HoldsNumber(field->ref)) {
      throw InputError("keys: \"" + key +
                       "\" is not the key of a number (korvoflow.fields() lists them)");
    }
    if (std::find(fields.begin(), fields.end(), field->ref) == fields.end()) {
      fields.push_back(field->ref);
    }
  }
  return fields;
}

// Moves the inputs given as arrays into the plan's axes; returns the others.
py::dict TakeAxes(const py::kwargs& inputs, SweepPlan& plan) {
  py::dict fixed;
  for (const auto& [key, value] : inputs) {
    if (IsAxis(value)) {
      plan.axes.push_back(AxisOf(py::cast<py::str>(key).cast<std::string>(), value, plan.units));
    } else {
      fixed[key] = value;
    }
  }
  if (plan.axes.empty() || plan.axes.size() > 2) {
    throw InputError("a sweep varies one or two inputs, each given as an array of values; got " +
                     std::to_string(plan.axes.size()));
  }
  return fixed;
}

SweepPlan PlanSweep(const py::object& run, const std::string& units, const py::object& gas,
                    const py::object& keys, std::optional<int> threads, const py::kwargs& inputs) {
  SweepPlan plan;
  plan.units = ParseUnitSystem(units);
  const py::dict fixed = TakeAxes(inputs, plan);
  std::vector<FieldRef> varied;
  for (const SweepAxisValues& axis : plan.axes) varied.push_back(axis.field);
  plan.base = RunWith(run, InputsOf(fixed, units, gas), varied);
  plan.keys = SweepKeys(keys);
  if (threads && *threads < 1) throw InputError("threads: at least 1");
  plan.threads = threads ? static_cast<unsigned>(*threads) : std::thread::hardware_concurrency();
  return plan;
}

// Each point's end as text, one Python string per distinct end.
py::array EndArray(const std::vector<CalcOutcome>& ends, const std::vector<py::ssize_t>& shape) {
  py::array array = py::module_::import("numpy").attr("empty")(shape, "dtype"_a = "object");
  auto** slots = static_cast<PyObject**>(array.mutable_data());
  std::vector<std::pair<CalcOutcome, py::str>> words;
  for (std::size_t p = 0; p < ends.size(); ++p) {
    auto word =
        std::find_if(words.begin(), words.end(), [&](const auto& w) { return w.first == ends[p]; });
    if (word == words.end()) {
      word = words.insert(words.end(), {ends[p], py::str(RunEnd(ends[p], kModuleSymbols))});
    }
    PyObject* text = word->second.inc_ref().ptr();
    Py_XDECREF(slots[p]);
    slots[p] = text;
  }
  return array;
}

py::dict Sweep(const py::object& run, const std::string& units, const py::object& gas,
               const py::object& keys, std::optional<int> threads, const py::kwargs& inputs) {
  const SweepPlan plan = PlanSweep(run, units, gas, keys, threads, inputs);
  std::vector<py::ssize_t> shape;
  for (const SweepAxisValues& axis : plan.axes) {
    shape.push_back(static_cast<py::ssize_t>(axis.values.size()));
  }
  std::vector<py::array_t<double>> columns;
  std::vector<CalcOutcome> ends(PointCount(plan));
  SweepColumns out{{}, ends.data()};
  for (std::size_t k = 0; k < plan.keys.size(); ++k) {
    columns.emplace_back(shape);
    out.columns.push_back(columns.back().mutable_data());
  }
  bool finished = false;
  {
    py::gil_scoped_release unlocked;
    finished = SweepPoints(plan, out, [] {
      py::gil_scoped_acquire locked;
      return PyErr_CheckSignals() == 0;
    });
  }
  if (!finished) throw py::error_already_set();  // interrupted: the signal's exception
  py::dict arrays("end"_a = EndArray(ends, shape));
  for (std::size_t k = 0; k < plan.keys.size(); ++k)
    arrays[py::str(Key(plan.keys[k]))] = columns[k];
  return arrays;
}

// ---------------------------------------------------------------- profiles

// A float64 array of one value per station, NaN where a station has none.
template <typename ValueOf>
py::array_t<double> StationArray(const Profile& profile, ValueOf valueOf) {
  py::array_t<double> values(static_cast<py::ssize_t>(profile.stations.size()));
  for (std::size_t i = 0; i < profile.stations.size(); ++i) {
    values.mutable_at(static_cast<py::ssize_t>(i)) =
        valueOf(profile.stations[i]).value_or(std::nan(""));
  }
  return values;
}

// The command line's profile columns: station, x, then the station columns.
py::dict ProfileColumns(const Profile& profile, UnitSystem units) {
  py::dict columns("station"_a = py::module_::import("numpy").attr("arange")(
                       profile.stations.size(), "dtype"_a = "int64"));
  columns["x"] = StationArray(profile, [&](const ProfileStation& station) {
    return ValueIn(station.run, kLength, station.calculated.values, units);
  });
  for (const StationColumn& column : StationColumns()) {
    columns[column.key] = StationArray(profile, [&](const ProfileStation& station) {
      const std::optional<double> value = ValueAt(station, column, kModuleSymbols).value;
      return value ? std::optional<double>(ToUnits(column.exit, *value, units)) : std::nullopt;
    });
  }
  return columns;
}

ProfileResult ProfileOf(const py::object& run, int stations, const std::string& units,
                        const py::object& gas, const py::kwargs& inputs) {
  if (stations < 1 || stations > kMostProfileIntervals) {
    throw InputError("stations: from 1 to " + std::to_string(kMostProfileIntervals) + " intervals");
  }
  const GivenInputs given = InputsOf(inputs, units, gas);
  const RunRecord base = RunWith(run, given);
  Profile profile;
  {
    py::gil_scoped_release unlocked;
    profile = CalculateProfile(base, stations, kModuleSymbols);
  }
  return {ProfileColumns(profile, given.units), profile.stop};
}

// ---------------------------------------------------------------- solves

std::vector<std::string> Conditions(const py::object& targets) {
  if (py::isinstance<py::str>(targets)) return {targets.cast<std::string>()};
  return targets.cast<std::vector<std::string>>();
}

// The answer with its numbers in the solve's units.
Solution SolutionOf(const SolveResult& solved, FieldRef field, UnitSystem units) {
  Solution solution;
  solution.found = solved.found;
  solution.text = solved.text;
  solution.limit = solved.limit;
  solution.warning = solved.warning;
  solution.calculates = solved.calculates;
  if (solved.found) {
    solution.value = py::float_(ToUnits(field, solved.value, units));
    solution.result = py::cast(Result{solved.run, solved.calculated, units});
  }
  if (solved.pipe) solution.pipe = py::str(PipeLabel(*solved.pipe));
  if (solved.neighbour) {
    solution.neighbour = py::dict("text"_a = solved.neighbour->text,
                                  "value"_a = ToUnits(field, solved.neighbour->value, units),
                                  "why"_a = solved.neighbour->why);
  }
  return solution;
}

Solution SolveOf(const py::object& run, const std::string& free, const py::object& targets,
                 const py::object& schedule, const std::string& units, const py::object& gas,
                 const py::kwargs& inputs) {
  const GivenInputs given = InputsOf(inputs, units, gas);
  const RunRecord base = RunWith(run, given);
  const std::string scheduleName =
      schedule.is_none() ? std::string() : schedule.cast<std::string>();
  const SolveSetup setup =
      ParseSolveSetup(free, Conditions(targets), scheduleName, kModuleSymbols, given.units);
  SolveResult solved;
  {
    py::gil_scoped_release unlocked;
    solved = Solve(base, setup, kModuleSymbols);
  }
  return SolutionOf(solved, setup.input->field, given.units);
}

}  // namespace

PYBIND11_MODULE(korvoflow, m) {
  m.doc() =
      "Adiabatic compressible gas flow with wall friction in a round pipe: the Korvo Flow "
      "calculation for scripts and notebooks.\n\n"
      "Inputs are given by the fields' keys (korvoflow.fields() lists them), as numbers, kept at "
      "full precision, or as texts read as the window reads a typed entry. units='si' takes and "
      "gives numbers in SI units; gas='methane' or gas='methane:0.9,ethane:0.1' sets the gas "
      "type, MW and k from the gas table.";
  m.attr("__version__") = KORVO_VERSION;

  py::class_<RunRecord>(m, "Run", "One run: the texts of its 12 inputs and 23 results.")
      .def(py::init(
               [](const py::object& run, const std::string& units, const py::object& gas,
                  const py::kwargs& inputs) { return RunWith(run, InputsOf(inputs, units, gas)); }),
           "run"_a = py::none(), py::kw_only(), "units"_a = "us", "gas"_a = py::none(),
           "A run from `run` (None for the default run, a Run, a Result or a run file's path) "
           "with the given inputs set; nothing is calculated.")
      .def_property_readonly("texts", &Texts, "Every field's text, by key.")
      .def(
          "__eq__", [](const RunRecord& a, const RunRecord& b) { return a == b; },
          py::is_operator())
      .def("__repr__", &RunRepr);

  py::class_<Result>(m, "Result", "A calculated run.")
      .def_property_readonly(
          "end", [](const Result& r) { return RunEnd(r.calculated.outcome, kModuleSymbols); },
          "'complete', or the message the calculation stopped with.")
      .def_property_readonly("complete",
                             [](const Result& r) { return r.calculated.outcome.Complete(); })
      .def_property_readonly(
          "texts", [](const Result& r) { return Texts(r.run); },
          "Every field's text as the window shows it (US units), by key.")
      .def_property_readonly("values", &Values,
                             "Every number at full precision, by key, in the result's units; "
                             "None where the run has none.")
      .def_property_readonly("units", [](const Result& r) { return Units(r.units); })
      .def_property_readonly(
          "run", [](const Result& r) { return r.run; }, "The calculated run.")
      .def("__repr__", [](const Result& r) {
        return "<korvoflow.Result: " + RunEnd(r.calculated.outcome, kModuleSymbols) + ">";
      });

  py::class_<ProfileResult>(m, "Profile", "The state along the pipe, station by station.")
      .def_readonly("columns", &ProfileResult::columns,
                    "An array per column: station, x, p, t, rho, v, cs, m, fld.")
      .def_readonly("stop", &ProfileResult::stop, "Why the stations end early; empty when not.")
      .def_property_readonly("complete", [](const ProfileResult& p) { return p.stop.empty(); });

  py::class_<Solution>(m, "Solution", "The answer of a solve.")
      .def_readonly("found", &Solution::found)
      .def_readonly("value", &Solution::value, "The answer in the solve's units; None if none.")
      .def_readonly("text", &Solution::text, "The answer as a typed entry holds it (US units).")
      .def_readonly("pipe", &Solution::pipe, "The schedule's pipe size picked, or None.")
      .def_readonly("limit", &Solution::limit)
      .def_readonly("warning", &Solution::warning)
      .def_readonly("neighbour", &Solution::neighbour,
                    "The grid input next to the answer that fails: text, value, why.")
      .def_readonly("calculates", &Solution::calculates)
      .def_readonly("result", &Solution::result, "The answer's calculated run, or None.");

  m.def("fields", &Fields, "units"_a = "us",
        "Every field: key, caption, unit and whether it is a result.");
  m.def("load", &Load, "path"_a,
        "The run in a run file. OSError (FileNotFoundError, ...) with the reason when it fails.");
  m.def("save", &Save, "run"_a, "path"_a,
        "Saves a Run or a Result's run as the window does: the whole file or nothing. OSError "
        "with the reason when it fails.");
  m.def("calculate", &Calculate, "run"_a = py::none(), py::kw_only(), "units"_a = "us",
        "gas"_a = py::none(),
        "Calculates `run` (None for the default run, a Run, a Result or a run file's path) with "
        "the given inputs set, as the Calculate command does.");
  m.def("sweep", &Sweep, "run"_a = py::none(), py::kw_only(), "units"_a = "us",
        "gas"_a = py::none(), "keys"_a = py::none(), "threads"_a = py::none(),
        "Calculates a run for every value of one input given as an array, or for every pair of "
        "values of two (a grid, the second varying along rows). Returns a dict: 'end' (an array "
        "of 'complete' or the message) and one float64 array per numeric key (NaN where a point "
        "has no number), or only those in `keys`. Computed on every core (`threads`).");
  m.def("profile", &ProfileOf, "run"_a = py::none(), py::kw_only(), "stations"_a = 50,
        "units"_a = "us", "gas"_a = py::none(),
        "Pressure, temperature, density, velocity, sonic velocity, Mach number and fL/D at "
        "stations + 1 equally spaced points along the pipe.");
  m.def("solve", &SolveOf, "run"_a = py::none(), py::kw_only(), "free"_a, "targets"_a,
        "schedule"_a = py::none(), "units"_a = "us", "gas"_a = py::none(),
        "The extreme value of the free input (w, d, l or p1) that meets every target "
        "('dpc<=100', 'p2>=500', 'm2=0.7'), optionally the smallest size of a pipe schedule. "
        "Target numbers are in the solve's units; its messages speak in US units.");
}
