"""The C header is where the interface is written down: the module's copy of its declarations
(_native.py), the error classes' codes (_results.py) and the library's version nodes
(corvanel.map) are held to it."""

import pathlib
import re

import pytest

import corvanel
from corvanel import _native, _results
from corvanel._native import ffi, lib

SOURCE = pathlib.Path(__file__).resolve().parents[2]
HEADER = (SOURCE / "src/lib/include/corvanel/corvanel.h").read_text()
VERSION_SCRIPT = (SOURCE / "src/lib/corvanel.map").read_text()


def declarations(text):
    """The top-level declarations of C text, comments, preprocessor lines, the export macro and
    the C++ guard left out, each with its spacing made uniform."""
    text = re.sub(r"/\*.*?\*/|//[^\n]*", " ", text, flags=re.S)
    text = re.sub(r"#ifdef __cplusplus.*?#endif", " ", text, flags=re.S)
    text = re.sub(r"^\s*#.*$", " ", text, flags=re.M).replace("CORVANEL_API", " ")
    found, depth, start = [], 0, 0
    for index, char in enumerate(text):
        depth += {"{": 1, "}": -1}.get(char, 0)
        if char == ";" and depth == 0:
            spaced = " ".join(text[start:index].split())
            found.append(re.sub(r"\s*(<<|[*(),{};=])\s*", r"\1", spaced))
            start = index + 1
    return [d for d in found if d]


def header_statuses():
    """Each status of the header: its constant, number and the name its comment gives."""
    return re.findall(r"(CORVANEL_[A-Z_]+) = (\d+),?\s*/\* \"([a-z-]+)\"", HEADER)


def functions(items):
    return {m.group(1) for d in items if (m := re.match(r"[\w ]+\**(corvanel_\w+)\(", d))}


def test_the_module_declares_what_the_header_does():
    header, module = declarations(HEADER), declarations(_native.DECLARATIONS)
    assert len(functions(header)) > 20
    assert [d for d in header if d not in module] == []
    assert [d for d in module if d not in header] == []


def test_every_header_function_has_one_version_node():
    script = re.sub(r"/\*.*?\*/", "", VERSION_SCRIPT, flags=re.S)
    listed = re.findall(r"^\s*(corvanel_\w+);", script, flags=re.M)
    assert sorted(listed) == sorted(functions(declarations(HEADER)))


@pytest.mark.parametrize("constant, number, name", header_statuses())
def test_status_numbers_and_names_are_the_headers(constant, number, name):
    assert getattr(lib, constant) == int(number)
    assert ffi.string(lib.corvanel_status_name(int(number))).decode() == name
    error = _results.error_for(int(number), "message")
    assert (error.code, error.name) == (int(number), name)


def test_every_failure_but_a_bad_argument_has_its_own_error_class():
    # Arguments are checked in Python before the library sees them.
    failures = {int(number) for constant, number, _ in header_statuses()
                if constant not in ("CORVANEL_OK", "CORVANEL_INVALID_ARGUMENT")}
    assert set(_results._ERRORS) == failures
    assert all(issubclass(cls, corvanel.ConversionError) and cls is not corvanel.ConversionError
               for cls in _results._ERRORS.values())
