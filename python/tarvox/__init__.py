"""Tarvox's stream-property correlations from Python, computed through the real module as the
tarvox tool computes them.

    import tarvox
    result = tarvox.calc(tarvox.Stream.from_file("feed.json"))
    result.to_frame()          # one row per correlation: overall, vapour, liquid1, liquid2, solid, unit
"""
from ._program_folder import PROGRAM_FOLDER
from . import _core

# The module, the libraries it loads by bare name and the component data live in the program
# folder; inside Python the running executable is the interpreter, so the folder is named.
_core.set_program_folder(PROGRAM_FOLDER)

from ._errors import InputError, ModuleError  # noqa: E402
from ._parallel import calc_many, settings as _settings  # noqa: E402
from ._result import Result  # noqa: E402
from ._stream import Stream, as_stream as _as_stream  # noqa: E402
from ._sweep import sweep  # noqa: E402

__all__ = ["InputError", "ModuleError", "Result", "Stream", "calc", "calc_many", "correlations", "samples",
           "sweep"]


def correlations():
    """The catalogue as a data frame indexed by class: display name, ProgID, CLSID, unit, inputs."""
    import pandas

    return pandas.DataFrame(_core.catalogue()).set_index("class")


def samples():
    """The names of the built-in streams."""
    return list(_core.samples())


def calc(stream, only=None, inputs=None):
    """Every correlation (or those named in ``only``) for ``stream``: a Stream, a dict of a stream
    file's fields or a sample name. ``inputs`` ({"Class.Variable": value}) are set after the
    stream's own. Bad input raises InputError with the tool's message."""
    return Result.from_json(_core.calc(_as_stream(stream).to_json(), list(only or []), _settings(inputs)))
