"""A stream as the tarvox tool's stream files describe it."""
import json
from dataclasses import asdict, dataclass, field
from typing import Union

from . import _core
from ._errors import InputError


@dataclass
class Stream:
    """Conditions, flow and composition of one material stream, plus correlation inputs.

    The fields are those of a stream file; component names are those of the component data, and
    amounts are normalised. The stream is checked as the tool checks a stream file: a bad one
    raises InputError with the tool's message.
    """

    name: str
    temperature_C: float
    pressure_kPa: float
    molar_flow_kmol_h: float
    composition: dict
    standard_temperature: str = "15C"
    flow_basis: Union[str, int] = "Molar"
    cost_factor: float = 1.0
    inputs: dict = field(default_factory=dict)

    def __post_init__(self):
        _core.check_stream(self.to_json())

    @classmethod
    def from_dict(cls, fields: dict) -> "Stream":
        _core.check_stream(json.dumps(fields))  # the tool's messages for unknown or missing fields
        return cls(**fields)

    @classmethod
    def from_file(cls, path) -> "Stream":
        _core.check_stream_file(str(path))
        with open(path, encoding="utf-8") as file:
            return cls(**json.load(file))

    @classmethod
    def sample(cls, name: str = "wellstream") -> "Stream":
        """A built-in stream: "wellstream" (vapour, oil and water) or "amine" (a loaded MDEA solvent)."""
        return cls(**json.loads(_core.sample(name)))

    def to_dict(self) -> dict:
        return asdict(self)

    def to_json(self) -> str:
        try:
            return json.dumps(self.to_dict(), allow_nan=False)
        except ValueError:
            raise InputError(f"stream \"{self.name}\": every number must be finite") from None


def as_stream(stream) -> Stream:
    """A Stream from a Stream, a dict of a stream file's fields, or the name of a built-in sample."""
    if isinstance(stream, Stream):
        return stream
    if isinstance(stream, dict):
        return Stream.from_dict(stream)
    if isinstance(stream, str):
        return Stream.sample(stream)
    raise TypeError(f"a stream is a tarvox.Stream, a dict or a sample name, not {type(stream).__name__}")
