# Shared by the module's tests: where the repository's run files are.
import pathlib

DATA = pathlib.Path(__file__).resolve().parents[1] / "data"
