"""Corvanel: the text of word-processing documents (DOCX, DOC, RTF, ODT, HTML, text, and with
the older formats' module WordPerfect, Works, Write, Word for DOS and old Mac documents).

    >>> import corvanel
    >>> result = corvanel.convert("report.docx")
    >>> result.text, result.format, result.metadata, result.chars, result.words

``convert`` converts one document in this process; it lets go of the GIL while converting, so
threads convert in parallel. ``convert_many`` converts many in worker processes under time and
memory limits and yields their results as they finish. A document that cannot be converted
raises (``convert``) or carries (``convert_many``) a ``ConversionError``, whose subclasses name
each reason: ``PasswordProtectedError``, ``DamagedError``, ``NotReadableError``, ...
"""

from __future__ import annotations

import collections
import functools
import os
from typing import IO, Iterable, Iterator, Optional, Sequence, Union

from ._native import ffi, lib
from ._results import (
    CannotOpenError, CannotWriteError, ConversionError, CrashedError, DamagedError,
    InternalError, MemoryLimitError, Metadata, NotReadableError, PasswordProtectedError, Result,
    TimeLimitError, TooLargeError, UnsupportedOutputError, error_for, fs_path, source_path,
    take_result)

__all__ = [
    "convert", "convert_many", "Result", "ConversionError", "CannotOpenError",
    "NotReadableError", "PasswordProtectedError", "DamagedError", "TooLargeError",
    "CannotWriteError", "InternalError", "TimeLimitError", "MemoryLimitError", "CrashedError",
    "UnsupportedOutputError", "older_formats_available", "__version__", "Metadata",
]

__version__: str = ffi.string(lib.corvanel_version()).decode()

PathType = Union[str, "os.PathLike[str]", "os.PathLike[bytes]"]
Source = Union[PathType, bytes, bytearray, memoryview, IO[bytes]]

_OUTPUTS = {"text": 0, "markdown": 1}
_INCLUDES = {"headers": 1, "footers": 2, "comments": 4}


_NOTHING: frozenset = frozenset()


def _include_names(include: Union[str, Iterable[str]]) -> frozenset:
    if include == ():
        return _NOTHING
    names = frozenset(n for n in (include.split(",") if isinstance(include, str) else include)
                      if n)
    unknown = sorted(names - _INCLUDES.keys())
    if unknown:
        raise ValueError(f"include takes {', '.join(_INCLUDES)}; not {', '.join(unknown)}")
    return names


def _options(struct: str, to: str, include: frozenset, newline: str):
    if to not in _OUTPUTS:
        raise ValueError(f"to must be one of {', '.join(_OUTPUTS)}, not {to!r}")
    options = ffi.new(struct + "*")
    getattr(lib, struct + "_init")(options)
    options.output = _OUTPUTS[to]
    options.include = sum(_INCLUDES[n] for n in include)
    newline_bytes = ffi.new("char[]", newline.encode())
    options.newline = newline_bytes
    return options, newline_bytes  # the second keeps the newline's memory alive


@functools.lru_cache(maxsize=64)
def _convert_options(to: str, include: frozenset, newline: str):
    # Read only by the library, so one struct serves every call and thread with these options.
    return _options("corvanel_options", to, include, newline)


def convert(source: Source, *, to: str = "text", include: Union[str, Iterable[str]] = (),
            newline: str = "\n") -> Result:
    """Converts one document and returns its Result.

    ``source`` is a path (str or os.PathLike, bytes paths through os.PathLike or os.fsdecode),
    the document's bytes (bytes, bytearray, memoryview) or a binary file object (read whole).
    ``to``: "text" (or "markdown" where the library has it). ``include``: any of "headers",
    "footers", "comments" (a list or a comma-separated string): the text Word's own export
    leaves out. ``newline``: what ends each line.

    Raises a ConversionError subclass when the document cannot be converted."""
    options, _keep = _convert_options(to, _include_names(include), newline)
    handle = ffi.new("corvanel_result**")
    label = source
    if hasattr(source, "read"):
        source = source.read()
        if not isinstance(source, (bytes, bytearray, memoryview)):
            raise TypeError("a file object given to convert must be opened in binary mode")
    if isinstance(source, (bytes, bytearray, memoryview)):
        label = None
        data = ffi.from_buffer(source)
        lib.corvanel_convert_bytes(data, len(data), ffi.NULL, options, handle)
    else:
        lib.corvanel_convert_file(fs_path(source), options, handle)
    if handle[0] == ffi.NULL:
        raise MemoryError("no memory was left for the conversion's result")
    result = take_result(handle[0], label)
    if result.error is not None:
        raise result.error
    return result


def convert_many(paths: Iterable[PathType], *, jobs: Optional[int] = None,
                 timeout: float = 120, max_memory: int = 2048, max_per_worker: int = 10000,
                 to: str = "text", include: Union[str, Iterable[str]] = (),
                 newline: str = "\n") -> Iterator[Result]:
    """Converts the documents at ``paths`` in worker processes, yielding one Result per path in
    the order they finish (``result.source`` is the path as given). Nothing is raised for a
    document that fails: its result carries the ConversionError in ``result.error``.

    ``jobs``: worker processes (default: one per processor core). Each document may take
    ``timeout`` seconds and its worker ``max_memory`` MiB before the worker is killed and the
    document fails (TimeLimitError, MemoryLimitError); a worker that dies has its document
    tried once more in a fresh one, and a second death fails it (CrashedError); a worker is
    replaced after ``max_per_worker`` documents. ``paths`` is read as the work goes on."""
    options, _keep = _options("corvanel_batch_options", to, _include_names(include), newline)
    if jobs is not None and jobs < 1:
        raise ValueError("jobs must be at least 1")
    if timeout <= 0 or max_memory < 1 or max_per_worker < 1:
        raise ValueError("timeout, max_memory and max_per_worker must be positive")
    options.jobs = jobs or 0
    options.timeout_seconds = timeout
    options.max_memory_mib = max_memory
    options.max_per_worker = max_per_worker
    return _Batch(options, iter(paths), jobs or os.cpu_count() or 1)


class _Batch(Iterator[Result]):
    # Paths are handed to the library a few per worker ahead, so a long or lazy list is read
    # as the work goes on; waits are short so Ctrl-C is noticed.
    _WAIT_MS = 200

    def __init__(self, options, paths: Iterator[PathType], jobs: int):
        batch = ffi.new("corvanel_batch**")
        status = lib.corvanel_batch_open(options, batch)
        if status != 0:
            program = lib.corvanel_worker_program()
            reason = ("the worker program corvanel-worker is not installed beside the library"
                      if program == ffi.NULL else "the batch cannot be started")
            raise error_for(status, reason)
        self._batch = ffi.gc(batch[0], lib.corvanel_batch_free)
        self._paths = paths
        self._ahead = 4 * jobs
        self._given: dict = collections.defaultdict(collections.deque)
        self._waiting = 0
        self._input_open = True

    def __iter__(self) -> "_Batch":
        return self

    def _feed(self) -> None:
        while self._input_open and self._waiting < self._ahead:
            path = next(self._paths, None)
            if path is None:
                lib.corvanel_batch_close_input(self._batch)
                self._input_open = False
                return
            encoded = fs_path(path)
            if lib.corvanel_batch_add(self._batch, encoded) != 0:
                raise ValueError(f"{path!r} cannot be added to the batch")
            self._given[encoded].append(path)
            self._waiting += 1

    def __next__(self) -> Result:
        if self._batch is None:
            raise StopIteration
        handle = ffi.new("corvanel_result**")
        while True:
            self._feed()
            got = lib.corvanel_batch_next(self._batch, self._WAIT_MS, handle)
            if got == 1:
                break
            if got < 0:
                self.close()
                raise StopIteration
        self._waiting -= 1
        given = self._given[source_path(handle[0])]
        path = given.popleft()
        if not given:
            del self._given[source_path(handle[0])]
        return take_result(handle[0], path)

    def close(self) -> None:
        """Stops the batch: workers still busy are killed."""
        if self._batch is not None:
            batch, self._batch = self._batch, None
            ffi.release(batch)  # corvanel_batch_free, now rather than when collected


def older_formats_available() -> tuple[bool, str]:
    """Whether WordPerfect, Works, Write, Word for DOS and old Mac documents can be read (their
    module is installed beside the library), and why not."""
    reason = ffi.new("char**")
    available = lib.corvanel_older_formats_available(reason) == 1
    return available, "" if available else ffi.string(reason[0]).decode()
