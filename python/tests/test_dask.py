"""calc_many over a Dask cluster gives exactly the serial results."""
import pytest

import tarvox
from conftest import generated_streams

distributed = pytest.importorskip("distributed")


def test_a_local_cluster_of_two_worker_processes_matches_the_serial_run():
    streams = generated_streams(1000)
    only = ["MolecularWeight", "MassDensity", "ZFactor", "StdGasFlow"]
    serial = tarvox.calc_many(streams, workers=1, only=only)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster:
        with distributed.Client(cluster) as client:
            assert tarvox.calc_many(streams, client=client, only=only) == serial
