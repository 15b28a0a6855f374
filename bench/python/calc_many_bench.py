"""Throughput of the Python package on the built-in samples, every class of the catalogue:

- streams per second per core of calc_many, in this process and over local worker processes;
- the Python layer's cost over the C++ work (the extension's own call) and against the tool
  computing the same streams (`tarvox calc --batch`, one process);
- a Dask LocalCluster's throughput with two worker processes against one.

Run by tools/bench.sh with PYTHONPATH naming the build's package; prints a Markdown table.
usage: calc_many_bench.py TOOL STREAMS
"""
import os
import resource
import subprocess
import sys
import tempfile
import time

import tarvox


def wall(action):
    start = time.perf_counter()
    action()
    return time.perf_counter() - start


def cpu(action):
    """CPU time of this process and of the children it waited for: the build machine is shared, so
    the cost of one process's work is read in CPU time, not wall time."""
    def total():
        own, children = resource.getrusage(resource.RUSAGE_SELF), resource.getrusage(resource.RUSAGE_CHILDREN)
        return own.ru_utime + own.ru_stime + children.ru_utime + children.ru_stime

    start = total()
    action()
    return total() - start


def best_of(runs, action, clock):
    return min(clock(action) for _ in range(runs))


def main(tool, count):
    samples = [tarvox.Stream.sample(name) for name in tarvox.samples()]
    streams = [samples[i % len(samples)] for i in range(count)]
    tarvox.calc(streams[0])  # registers the module and loads the tables outside the timing
    rows = []

    serial = best_of(3, lambda: tarvox.calc_many(streams, workers=1), cpu)
    rows.append(("calc_many, this process (CPU time)", 1, count / serial))
    local = best_of(3, lambda: tarvox.calc_many(streams, workers=2), wall)
    rows.append(("calc_many, 2 local worker processes (wall time)", 2, count / local))

    with tempfile.NamedTemporaryFile("w", suffix=".jsonl", delete=False) as batch:
        batch.writelines(stream.to_json() + "\n" for stream in streams)
    command = [tool, "calc", "--batch", batch.name, "--format", "json"]
    tool_time = best_of(3, lambda: subprocess.run(command, check=True, stdout=subprocess.DEVNULL), cpu)
    python_time = best_of(5, lambda: [tarvox.calc(stream).to_dict() for stream in streams], cpu)
    texts = [stream.to_json() for stream in streams]
    core_time = best_of(5, lambda: [tarvox._core.calc(text, [], []) for text in texts], cpu)
    os.unlink(batch.name)
    rows.append(("tarvox calc --batch, the tool (CPU time)", 1, count / tool_time))

    import distributed

    for workers in (1, 2):
        with distributed.LocalCluster(n_workers=workers, threads_per_worker=1, dashboard_address=None) as cluster:
            with distributed.Client(cluster) as client:
                tarvox.calc_many(streams[:workers * 4], client=client)  # workers import the package first
                elapsed = best_of(3, lambda: tarvox.calc_many(streams, client=client), wall)
                rows.append((f"calc_many, Dask LocalCluster of {workers} worker(s) (wall time)", workers,
                             count / elapsed))

    print(f"{count} streams (the built-in samples in turn), all 52 classes each, best of 3 runs (5 for the"
          " Python layer's cost)\n")
    print("| run | processes | streams/s | streams/s per process |")
    print("|---|---:|---:|---:|")
    for name, processes, rate in rows:
        print(f"| {name} | {processes} | {rate:.0f} | {rate / processes:.0f} |")
    per_stream = {name: elapsed * 1e3 / count for name, elapsed in
                  (("python", python_time), ("core", core_time), ("tool", tool_time))}
    print(f"\nPython layer over the C++ work: {100 * (python_time / core_time - 1):+.1f} %"
          f" ({per_stream['python']:.2f} ms against {per_stream['core']:.2f} ms per stream);"
          f" against the tool: {100 * (python_time / tool_time - 1):+.1f} % ({per_stream['tool']:.2f} ms per stream)")
    dask = {processes: rate for name, processes, rate in rows if "Dask" in name}
    print(f"Dask, two workers against one: {dask[2] / dask[1]:.2f} times the throughput")


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
