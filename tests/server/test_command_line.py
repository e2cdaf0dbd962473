"""The command line: values that cannot be used are refused before anything listens."""

import subprocess

import pytest
import requests

from conftest import SERVER


@pytest.mark.parametrize("arguments, message", [
    (["--max-body", "12X"], "--max-body takes a size"),
    (["--max-body", "0"], "--max-body takes a size"),
    (["--listen", "localhost"], "--listen takes HOST:PORT"),
    (["--listen", "127.0.0.1:70000"], "--listen takes HOST:PORT"),
    (["-j", "0"], "option --jobs needs a whole number"),
    (["--timeout", "-1"], "option --timeout needs a number of seconds"),
    (["--fallback", "ftp://x"], "--fallback takes an http:// URL"),
    (["--token-file", "/nonexistent/token"], "the token file"),
    (["--frobnicate"], "unknown option --frobnicate"),
])
def test_unusable_values(arguments, message):
    done = subprocess.run([SERVER, *arguments], capture_output=True, timeout=10)
    assert done.returncode == 2
    assert message in done.stderr.decode()


def test_help_and_version():
    for option, text in (("--help", b"--max-body SIZE"), ("--version", b"corvanel-server ")):
        done = subprocess.run([SERVER, option], capture_output=True, timeout=10)
        assert done.returncode == 0 and text in done.stdout


def test_sizes_take_suffixes(start_server):
    server = start_server("--max-body", "1k")
    assert requests.put(server.url + "/tika", data=b"x" * 1025).status_code == 413
    assert requests.put(server.url + "/tika", data=b"x" * 1024).status_code == 200
