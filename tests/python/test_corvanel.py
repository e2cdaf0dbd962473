"""The Python module over the build tree's library: sources, errors, threads, batches."""

import io
import json
import os
import pathlib
import shutil
import signal
import subprocess
import tempfile
import threading

import pytest

import corvanel

SAMPLES = pathlib.Path(__file__).resolve().parents[2] / "resources" / "Samples"
CONVERT = os.environ["CORVANEL_CONVERT"]
DOCX = SAMPLES / "Welcome to Corvanel.docx"


def command_record(path, *options):
    """corvanel-convert's text and record of one document."""
    with tempfile.NamedTemporaryFile("r") as records:
        run = subprocess.run([CONVERT, "-c", "--jsonl", records.name, *options, str(path)],
                             capture_output=True, check=True)
        return run.stdout.decode(), json.loads(records.read())


class BytesPath:
    """A path object whose file-system form is bytes (as os.scandir(b".") gives)."""

    def __init__(self, path):
        self.path = os.fsencode(path)

    def __fspath__(self):
        return self.path


@pytest.mark.parametrize("make_source", [
    str, pathlib.Path, BytesPath, lambda p: p.read_bytes(),
    lambda p: memoryview(p.read_bytes()), lambda p: io.BytesIO(p.read_bytes()),
], ids=["str", "Path", "bytes-path", "bytes", "memoryview", "file"])
def test_every_source_gives_the_commands_text_and_facts(make_source):
    text, record = command_record(DOCX)
    result = corvanel.convert(make_source(DOCX))
    assert (result.text, result.format, result.metadata, result.chars, result.words) == (
        text, record["format"], record["metadata"], record["chars"], record["words"])


@pytest.mark.parametrize("sample", sorted(SAMPLES.iterdir()), ids=lambda p: p.name)
def test_options_match_the_command(sample):
    text, _ = command_record(sample, "--include", "headers,footers,comments")
    result = corvanel.convert(sample, include=("headers", "footers", "comments"),
                              newline="\r\n")
    assert result.text == text.replace("\n", "\r\n")


def test_a_name_that_is_not_utf8(tmp_path):
    name = tmp_path / os.fsdecode(b"caf\xe9 \xff.docx")
    shutil.copy(DOCX, name)
    assert corvanel.convert(name).text == corvanel.convert(DOCX).text


@pytest.mark.parametrize("source, error, code, name", [
    ("/nonexistent/report.docx", corvanel.CannotOpenError, 8001, "cannot-open"),
    (b"\x00\x01\x02\x03" * 64, corvanel.NotReadableError, 8002, "not-readable"),
    (DOCX.read_bytes()[:3000], corvanel.DamagedError, 8004, "damaged"),
])
def test_failures_raise_their_error_with_code_and_message(source, error, code, name):
    with pytest.raises(error) as raised:
        corvanel.convert(source)
    assert isinstance(raised.value, corvanel.ConversionError)
    assert (raised.value.code, raised.value.name) == (code, name)
    assert str(raised.value) == raised.value.message != ""


@pytest.mark.parametrize("arguments", [{"to": "html"}, {"include": ["headers", "margins"]}])
def test_bad_options_are_refused(arguments):
    with pytest.raises(ValueError):
        corvanel.convert(DOCX, **arguments)


def test_markdown_is_produced_or_refused_clearly():
    if corvanel._native.lib.corvanel_output_available(1):
        assert corvanel.convert(DOCX, to="markdown").text
    else:
        with pytest.raises(corvanel.UnsupportedOutputError):
            corvanel.convert(DOCX, to="markdown")


def test_threads_convert_side_by_side():
    expected = {p: corvanel.convert(p).text for p in SAMPLES.iterdir()}
    failures = []

    def convert_all():
        for _ in range(5):
            failures.extend(p for p, text in expected.items() if corvanel.convert(p).text != text)

    threads = [threading.Thread(target=convert_all) for _ in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert failures == []


def worker_pids():
    pids = []
    for stat in pathlib.Path("/proc").glob("[0-9]*/stat"):
        try:
            fields = stat.read_text().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[1]) == os.getpid() and "corvanel-worker" in stat.read_text():
            pids.append(int(stat.parent.name))
    return pids


def test_convert_many_survives_a_killed_worker_and_a_stopped_one(tmp_path):
    # One worker is killed (its document is tried again in a fresh one), another stopped (its
    # document outlives the time limit): every document still gets exactly one result.
    paths = sorted(SAMPLES.iterdir()) * 6 + [tmp_path / "missing.doc"]
    expected = {p: corvanel.convert(p).text for p in SAMPLES.iterdir()}
    results = []
    for result in corvanel.convert_many(iter(paths), jobs=2, timeout=10):
        if len(results) == 3:
            killed, stopped = worker_pids()
            os.kill(killed, signal.SIGKILL)
            os.kill(stopped, signal.SIGSTOP)
        results.append(result)
    assert sorted(map(str, (r.source for r in results))) == sorted(map(str, paths))
    errors = sorted(type(r.error).__name__ for r in results if not r.ok)
    assert errors == ["CannotOpenError", "TimeLimitError"]
    assert all(r.text == expected[r.source] for r in results if r.ok)


def test_the_module_describes_itself():
    assert corvanel.__version__.count(".") == 2
    assert corvanel.older_formats_available() == (True, "")
    assert "convert_many" in corvanel.__doc__
