"""The package's tests run the built module with a registry of their own and a plotting backend
that needs no display."""
import os
import tempfile

import matplotlib

matplotlib.use("Agg")
_folder = tempfile.TemporaryDirectory(prefix="tarvox_python_test_")
# Set before any worker process starts, so that workers inherit it.
os.environ["TARVOX_REGISTRY"] = os.path.join(_folder.name, "registry.json")

import tarvox  # noqa: E402

# Register the module once here, before worker processes could race to do it.
tarvox.calc("wellstream", only=["MolecularWeight"])


def generated_streams(count):
    """Streams that differ in conditions and composition, as a case study's would."""
    return [
        {
            "name": f"case{i}",
            "temperature_C": 10 + i % 90,
            "pressure_kPa": 200 + 37 * (i % 50),
            "molar_flow_kmol_h": 1 + i % 7,
            "composition": {"methane": 50 + i % 13, "propane": 10 + i % 5, "n-decane": 5 + i % 11, "water": i % 3},
        }
        for i in range(count)
    ]
