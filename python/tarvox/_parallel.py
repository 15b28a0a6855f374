"""Many streams at once: one process evaluates one stream at a time, so throughput comes from
processes, local ones or a Dask cluster's."""
import json
import os
import sys
from concurrent.futures import ProcessPoolExecutor

from . import _core
from ._errors import InputError
from ._result import Result
from ._stream import as_stream


def settings(inputs):
    """The (Class.Variable, text) pairs the core takes, from a dict of inputs."""
    return [(target, value if isinstance(value, str) else repr(value)) for target, value in (inputs or {}).items()]


def calc_chunk(first_index, stream_texts, only, inputs):
    """The results of consecutive streams as dicts (they travel between processes as such)."""
    results = []
    for offset, text in enumerate(stream_texts):
        try:
            results.append(json.loads(_core.calc(text, only, inputs)))
        except InputError as error:
            raise InputError(f"stream {first_index + offset}: {error}") from None
    return results


def _chunks(texts, count):
    size = max(1, -(-len(texts) // count))
    return [(start, texts[start : start + size]) for start in range(0, len(texts), size)]


def _progress(total, show):
    """A tqdm bar on standard error when asked for (by default, when it is a terminal) and installed."""
    if show is None:
        show = sys.stderr.isatty()
    if not show:
        return None
    try:
        from tqdm import tqdm
    except ImportError:
        return None
    return tqdm(total=total, unit="stream", file=sys.stderr)


def calc_many(streams, workers=None, client=None, only=None, inputs=None, progress=None):
    """The results of ``streams`` (Streams, dicts or sample names), in their order.

    Without ``client`` the streams are spread over ``workers`` local processes (default: one per
    core; ``workers=1`` computes in this process). With a Dask ``distributed.Client`` they are
    spread over its cluster's workers, which must have the tarvox package installed. A bad stream
    raises InputError naming its index; nothing is returned then.
    """
    texts = [as_stream(stream).to_json() for stream in streams]
    only, inputs = list(only or []), settings(inputs)
    bar = _progress(len(texts), progress)
    try:
        if client is not None:
            dicts = _on_dask(client, texts, only, inputs, bar)
        else:
            dicts = _on_processes(texts, workers or os.cpu_count() or 1, only, inputs, bar)
    finally:
        if bar is not None:
            bar.close()
    return [Result(data) for data in dicts]


def _on_processes(texts, workers, only, inputs, bar):
    if workers == 1 or len(texts) <= 1:
        results = []
        for start, chunk in _chunks(texts, len(texts) or 1):
            results += calc_chunk(start, chunk, only, inputs)
            if bar is not None:
                bar.update(len(chunk))
        return results
    # Several chunks per worker keep them all busy to the end. The platform's default start method
    # is kept: on Linux, "fork" runs in scripts without a __main__ guard, as users write them.
    chunks = _chunks(texts, workers * 4)
    with ProcessPoolExecutor(workers) as pool:
        futures = [pool.submit(calc_chunk, start, chunk, only, inputs) for start, chunk in chunks]
        return _collect(chunks, futures, bar)


def _on_dask(client, texts, only, inputs, bar):
    workers = max(1, len(client.scheduler_info().get("workers", {})))
    chunks = _chunks(texts, workers * 4)
    futures = [client.submit(calc_chunk, start, chunk, only, inputs, pure=False) for start, chunk in chunks]
    return _collect(chunks, futures, bar)


def _collect(chunks, futures, bar):
    """The chunks' results in order, from futures of a process pool or of Dask alike."""
    results = []
    for (_, chunk), future in zip(chunks, futures):
        results += future.result()
        if bar is not None:
            bar.update(len(chunk))
    return results
