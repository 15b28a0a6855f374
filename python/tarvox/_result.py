"""What one calculation of a stream gave."""
import copy
import json
import math

PHASES = ("overall", "vapour", "liquid1", "liquid2", "solid")


class Result:
    """The correlations' values for one stream, in the tool's JSON form.

    ``to_dict()`` is that form (empty values are None); ``to_frame()`` is a data frame with one
    row per correlation and empty values as NaN.
    """

    def __init__(self, data: dict):
        self._data = data

    @classmethod
    def from_json(cls, text: str) -> "Result":
        return cls(json.loads(text))

    @property
    def stream(self) -> str:
        return self._data["stream"]

    @property
    def messages(self) -> list:
        return list(self._data["messages"])

    @property
    def errors(self) -> dict:
        """Class name to the HRESULT text of each Calculate that failed."""
        return {row["class"]: row["error"] for row in self._data["correlations"] if "error" in row}

    def __getitem__(self, class_name: str) -> float:
        """The value of ``class_name`` for the whole stream (NaN when it has none)."""
        for row in self._data["correlations"]:
            if row["class"] == class_name:
                value = row["values"]["overall"]
                return math.nan if value is None else value
        raise KeyError(class_name)

    def to_dict(self) -> dict:
        return copy.deepcopy(self._data)

    def to_frame(self):
        import pandas

        rows = self._data["correlations"]
        frame = pandas.DataFrame(
            [[math.nan if row["values"][p] is None else row["values"][p] for p in PHASES] for row in rows],
            index=pandas.Index([row["class"] for row in rows], name="correlation"),
            columns=list(PHASES),
            dtype=float,
        )
        frame["unit"] = [row["unit"] for row in rows]
        return frame

    def __eq__(self, other) -> bool:
        return isinstance(other, Result) and self._data == other._data

    def __repr__(self) -> str:
        return f"<tarvox.Result {self.stream!r}: {len(self._data['correlations'])} correlations>"
