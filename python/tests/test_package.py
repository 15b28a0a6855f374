"""The tarvox package against the tarvox tool: same results, same refusals, same messages."""
import json
import math
import subprocess

import pytest

import tarvox
from conftest import generated_streams

TOOL = f"{tarvox.PROGRAM_FOLDER}/tarvox"
EMPTY_VALUE = -32767


def tool(*arguments):
    return subprocess.run([TOOL, *arguments], capture_output=True, text=True)


def test_calc_gives_what_the_tool_prints_and_frames_empty_values_as_nan(tmp_path):
    for sample, only in [("wellstream", []), ("amine", ["CO2Loading", "PH", "MassDensity"])]:
        path = tmp_path / f"{sample}.json"
        path.write_text(tarvox.Stream.sample(sample).to_json())
        printed = tool("calc", str(path), "--format", "json", *(["--only", ",".join(only)] if only else []))
        assert printed.returncode == 0, printed.stderr
        result = tarvox.calc(tarvox.Stream.from_file(path), only=only)
        assert result.to_dict() == json.loads(printed.stdout)

        frame = result.to_frame()
        assert list(frame.columns) == ["overall", "vapour", "liquid1", "liquid2", "solid", "unit"]
        assert len(frame) == (len(only) or 52)
        numbers = frame.drop(columns="unit")
        assert not (numbers == EMPTY_VALUE).any().any()
        # Every empty value in the tool's form is NaN in the frame, and no other value is.
        for row in result.to_dict()["correlations"]:
            for phase, value in row["values"].items():
                assert math.isnan(numbers.at[row["class"], phase]) == (value is None)


def test_inputs_reach_the_correlations_and_bad_ones_raise_the_tools_message():
    by_mole = tarvox.calc("amine", only=["CO2Loading"])["CO2Loading"]
    by_mass = tarvox.calc("amine", only=["CO2Loading"], inputs={"CO2Loading.ReportBasis": "Mass"})["CO2Loading"]
    assert by_mass != pytest.approx(by_mole)
    for inputs, reason in [
        ({"RVP_100F.RemoveNCmolPercent": "plenty"}, "not a number"),
        ({"RVP_100F.NoSuchInput": 1}, "no such input"),
        ({"CO2Loading.ReportBasis": "Volume"}, "Volume"),
        ({"NoSuchClass.Anything": 1}, 'unknown class "NoSuchClass"'),
        ({"NoDot": 1}, "Class.Variable"),
    ]:
        with pytest.raises(tarvox.InputError, match=reason):
            tarvox.calc("wellstream", inputs=inputs)


def test_bad_streams_raise_the_message_the_tool_prints(tmp_path):
    cases = {
        "unknown.json": {"name": "x", "temperature_C": 20, "pressure_kPa": 100, "molar_flow_kmol_h": 1,
                         "composition": {"unobtainium": 1}},
        "missing.json": {"name": "x", "temperature_C": 20, "molar_flow_kmol_h": 1, "composition": {"methane": 1}},
        "negative.json": {"name": "x", "temperature_C": 20, "pressure_kPa": 100, "molar_flow_kmol_h": 1,
                          "composition": {"methane": -1}},
    }
    for name, fields in cases.items():
        path = tmp_path / name
        path.write_text(json.dumps(fields))
        printed = tool("calc", str(path))
        assert printed.returncode == 2
        message = printed.stderr.strip().removeprefix("tarvox calc: ")
        with pytest.raises(tarvox.InputError) as raised:
            tarvox.calc(tarvox.Stream.from_file(path))
        assert str(raised.value) == message
        with pytest.raises(tarvox.InputError):
            tarvox.calc(fields)
    with pytest.raises(tarvox.InputError, match="finite"):
        tarvox.Stream(**dict(tarvox.Stream.sample().to_dict(), temperature_C=float("nan")))


def test_streams_come_from_files_dicts_and_samples_alike(tmp_path):
    sample = tarvox.Stream.sample("amine")
    path = tmp_path / "amine.json"
    path.write_text(sample.to_json())
    assert tarvox.Stream.from_file(path) == sample == tarvox.Stream.from_dict(sample.to_dict())
    assert tarvox.calc(sample) == tarvox.calc("amine") == tarvox.calc(sample.to_dict())
    assert tarvox.samples() == ["wellstream", "amine"]


def test_correlations_list_the_catalogue_as_the_tool_does():
    catalogue = tarvox.correlations()
    listed = tool("list").stdout.splitlines()[1:]
    assert len(catalogue) == len(listed) == 52
    assert "RemoveNCmolPercent" in catalogue.at["RVP_100F", "inputs"]
    assert all(catalogue.at[c, "prog_id"] in line for c, line in zip(catalogue.index, listed))


def test_sweep_rows_are_the_calculations_of_the_varied_stream_and_plot():
    temperatures = [0, 50, 100, 150]
    frame = tarvox.sweep("wellstream", "temperature_C", temperatures, only=["MassDensity", "TVP_100F"])
    assert list(frame.index) == temperatures and frame.index.name == "temperature_C"
    varied = dict(tarvox.Stream.sample().to_dict(), temperature_C=100)
    assert frame.at[100, "MassDensity"] == tarvox.calc(varied, only=["MassDensity"])["MassDensity"]
    pressures = tarvox.sweep("wellstream", "pressure_kPa", [1000, 2000], only=["ZFactor"], phase="vapour")
    assert pressures["ZFactor"].notna().all()
    by_input = tarvox.sweep("wellstream", "RVP_100F.RemoveNCmolPercent", [0, 5], only=["RVP_100F"])
    assert len(by_input) == 2
    axes = frame.plot()
    assert len(axes.get_lines()) == 2
    for variable, values, reason in [("pressure_kPa", [0], "positive"), ("Volume", [1], "Volume")]:
        with pytest.raises(tarvox.InputError, match=reason):
            tarvox.sweep("wellstream", variable, values)


def test_calc_many_in_worker_processes_matches_the_serial_run_in_order():
    streams = generated_streams(24)
    only = ["MolecularWeight", "MassDensity", "ZFactor"]
    serial = [tarvox.calc(stream, only=only) for stream in streams]
    assert tarvox.calc_many(streams, workers=2, only=only) == serial
    assert [result.stream for result in tarvox.calc_many(streams, workers=1, only=only)] == [
        stream["name"] for stream in streams
    ]
    bad = streams[:3] + [dict(streams[3], composition={"unobtainium": 1})]
    with pytest.raises(tarvox.InputError, match="stream 3: "):
        tarvox.calc_many(bad, workers=2, only=only)
