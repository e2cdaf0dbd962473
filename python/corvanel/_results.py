"""Results and errors, made from the library's result handles."""

from __future__ import annotations

import os
from dataclasses import dataclass, field
from typing import Dict, Optional, Union

from ._native import ffi, lib

Metadata = Dict[str, Union[str, int]]

_COUNTS = {"pages", "words"}


class ConversionError(Exception):
    """A document could not be converted. ``code`` is the status number (8001 to 8010, as in
    corvanel-convert's records, or the library's own 8101 and 8102), ``name`` its stable name
    ("password-protected", "damaged", ...), ``message`` names the document and the reason."""

    code = 0
    name = ""

    def __init__(self, message: str, code: Optional[int] = None, source: object = None):
        super().__init__(message)
        self.message = message
        if code is not None:
            self.code = code
            self.name = ffi.string(lib.corvanel_status_name(code)).decode()
        self.source = source


def _error_class(class_name: str, code: int, doc: str) -> type:
    return type(class_name, (ConversionError,), {
        "code": code,
        "name": ffi.string(lib.corvanel_status_name(code)).decode(),
        "__doc__": doc,
    })


CannotOpenError = _error_class("CannotOpenError", lib.CORVANEL_CANNOT_OPEN,
                               "The source cannot be opened or read.")
NotReadableError = _error_class("NotReadableError", lib.CORVANEL_NOT_READABLE,
                                "Not a format Corvanel reads.")
PasswordProtectedError = _error_class("PasswordProtectedError", lib.CORVANEL_PASSWORD_PROTECTED,
                                      "The document is encrypted or needs a password.")
DamagedError = _error_class("DamagedError", lib.CORVANEL_DAMAGED,
                            "The document is recognised but broken.")
TooLargeError = _error_class("TooLargeError", lib.CORVANEL_TOO_LARGE,
                             "Beyond the converter's safety limits.")
CannotWriteError = _error_class("CannotWriteError", lib.CORVANEL_CANNOT_WRITE,
                                "The text could not be written.")
InternalError = _error_class("InternalError", lib.CORVANEL_INTERNAL,
                             "A fault of Corvanel itself.")
TimeLimitError = _error_class("TimeLimitError", lib.CORVANEL_TIMEOUT,
                              "convert_many: the document outlived the time limit.")
MemoryLimitError = _error_class("MemoryLimitError", lib.CORVANEL_OUT_OF_MEMORY,
                                "convert_many: the document needed more than the memory limit.")
CrashedError = _error_class("CrashedError", lib.CORVANEL_CRASHED,
                            "convert_many: the document ended its worker process twice.")
UnsupportedOutputError = _error_class("UnsupportedOutputError", lib.CORVANEL_UNSUPPORTED_OUTPUT,
                                      "The output asked for is not built into this library.")

_ERRORS = {cls.code: cls for cls in (
    CannotOpenError, NotReadableError, PasswordProtectedError, DamagedError, TooLargeError,
    CannotWriteError, InternalError, TimeLimitError, MemoryLimitError, CrashedError,
    UnsupportedOutputError)}


def error_for(code: int, message: str, source: object = None) -> ConversionError:
    cls = _ERRORS.get(code)
    return cls(message, source=source) if cls else ConversionError(message, code, source)


@dataclass(slots=True)
class Result:
    """One document's outcome. ``text`` is the document's text (empty when it failed);
    ``format`` what it was recognised as ("docx", "doc", "rtf", ... or "" when nothing was);
    ``metadata`` its stated properties (title, author, created, modified as ISO 8601 text;
    pages, words as numbers); ``chars`` and ``words`` count the text. From convert_many,
    ``error`` holds the ConversionError of a document that failed (None otherwise)."""

    source: object
    text: str
    format: str
    metadata: Metadata = field(default_factory=dict)
    chars: int = 0
    words: int = 0
    error: Optional[ConversionError] = None

    @property
    def ok(self) -> bool:
        """True when the document was converted."""
        return self.error is None


def _string(pointer) -> str:
    return ffi.string(pointer).decode("utf-8", "replace")


_PROPERTY_NAMES = [ffi.string(lib.corvanel_property_name(i)).decode()
                   for i in range(lib.CORVANEL_PROPERTY_COUNT)]


def _metadata(handle) -> Metadata:
    metadata: Metadata = {}
    for index, name in enumerate(_PROPERTY_NAMES):
        value = lib.corvanel_result_property(handle, index)
        if value != ffi.NULL:
            text = _string(value)
            if name in _COUNTS:
                if not text.isdigit():
                    continue  # a count that is not one is left out rather than guessed
                metadata[name] = int(text)
            else:
                metadata[name] = text
    return metadata


def take_result(handle, source: object) -> Result:
    """Makes a Result of a result handle and frees the handle."""
    try:
        status = lib.corvanel_result_status(handle)
        text = lib.corvanel_result_text(handle, ffi.NULL)
        size = lib.corvanel_result_text_size(handle)
        error = None
        if status != 0:
            error = error_for(status, _string(lib.corvanel_result_message(handle)), source)
        return Result(
            source=source,
            text=ffi.unpack(text, size).decode("utf-8", "replace"),
            format=_string(lib.corvanel_result_format(handle)),
            metadata=_metadata(handle),
            chars=lib.corvanel_result_chars(handle),
            words=lib.corvanel_result_words(handle),
            error=error,
        )
    finally:
        lib.corvanel_result_free(handle)


def source_path(handle) -> bytes:
    return ffi.string(lib.corvanel_result_source(handle))


def fs_path(path: Union[str, bytes, os.PathLike]) -> bytes:
    return os.fsencode(path)
