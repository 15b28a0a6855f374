"""A stream's correlations over a range of one quantity."""
from ._parallel import settings
from ._result import PHASES, Result
from ._stream import as_stream
from . import _core


def sweep(stream, variable, values, only=None, inputs=None, phase="overall"):
    """A data frame indexed by the values of ``variable``, one column per correlation.

    ``variable`` is "temperature_C", "pressure_kPa" or an input "Class.Variable"; the columns hold
    each correlation's value for ``phase`` (overall, vapour, liquid1, liquid2 or solid), NaN where
    it has none. ``.plot()`` draws the curves, e.g.
    ``tarvox.sweep("wellstream", "temperature_C", range(0, 201, 5), only=["MassDensity", "MolarVolume"]).plot()``.
    """
    import pandas

    if phase not in PHASES:
        raise ValueError(f"phase is one of {', '.join(PHASES)}, not {phase!r}")
    values = [float(value) for value in values]
    texts = _core.sweep(as_stream(stream).to_json(), variable, values, list(only or []), settings(inputs))
    frames = [Result.from_json(text).to_frame()[phase] for text in texts]
    frame = pandas.DataFrame([f.to_numpy() for f in frames], columns=frames[0].index if frames else [],
                             index=pandas.Index(values, name=variable))
    frame.columns.name = "correlation"
    return frame
