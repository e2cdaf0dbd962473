#!/usr/bin/python3
"""Runs corvanel-convert over a folder of documents with --jsonl and checks every record: one per
document, the fields each status has, the format names, the metadata forms, and that chars and
words describe the text file written. A file whose name is not UTF-8 must come back byte for byte.

    check_records.py PROGRAM DOCUMENTS_FOLDER
"""

import json
import os
import re
import subprocess
import sys
import tempfile

FORMATS = {"docx", "docm", "dotx", "dotm", "flat-opc", "doc", "word6", "rtf", "odt", "ott", "sxw", "stw",
           "fodt", "wordml", "html", "mht", "text", "wordperfect", "works", "write", "word-dos",
           "xywrite", "pocket-word", "mac-word", "mac-works", "macwrite", "macwrite-pro",
           "clarisworks", "writenow", "nisus-writer", "mac-text"}
ERRORS = {"cannot-open", "not-readable", "password-protected", "damaged", "too-large",
          "cannot-write", "internal", "no-text-name", "name-taken", "timeout",
          "out-of-memory", "crashed"}
METADATA = {"title": str, "author": str, "created": str, "modified": str, "pages": int,
            "words": int}
ISO_DATE = re.compile(r"^\d{4}-\d{2}-\d{2}(T\d{2}:\d{2}(:\d{2})?(Z|[+-]\d{2}:\d{2})?)?$")
WHITE = re.compile("[\t\n\v\f\r \x85\xa0\u1680\u2000-\u200a\u2028\u2029\u202f\u205f\u3000]+")


def fail(message):
    print("check_records: " + message)
    sys.exit(1)


def check_record(record, text_of):
    status = record["status"]
    expected = {"source", "output", "status", "format", "bytes", "chars", "words", "ms",
                "metadata"} | ({"error"} if status == "failed" else set())
    if set(record) != expected:
        fail("fields %s for status %s" % (sorted(record), status))
    if status == "failed":
        if record["error"]["code"] not in ERRORS or not record["error"]["message"]:
            fail("error %r" % record["error"])
        if record["output"] is not None:
            fail("a failed document has an output: %r" % record)
    if record["format"] is not None and record["format"] not in FORMATS:
        fail("format %r" % record["format"])
    if not isinstance(record["ms"], (int, float)) or record["ms"] < 0:
        fail("ms %r" % record["ms"])
    for key, value in record["metadata"].items():
        if key not in METADATA or not isinstance(value, METADATA[key]):
            fail("metadata %s=%r" % (key, value))
        if key in ("created", "modified") and not ISO_DATE.match(value):
            fail("date %s=%r" % (key, value))
    if status == "converted":
        if record["format"] is None or not isinstance(record["bytes"], int):
            fail("converted without format or size: %r" % record)
        text = text_of(record["output"])
        words = len([w for w in WHITE.split(text) if w])
        if (record["chars"], record["words"]) != (len(text), words):
            fail("%s: chars/words %d/%d, the text has %d/%d" % (
                record["source"], record["chars"], record["words"], len(text), words))


# The exit status that tells ctest the test was skipped.
SKIPPED = 77


def main():
    program, documents = sys.argv[1], sys.argv[2]
    if not os.path.isdir(documents):
        print("check_records: skipped: no shared corpus at %s" % documents)
        sys.exit(SKIPPED)
    listed = []
    for folder, _, names in os.walk(documents):
        listed += [os.path.join(folder, name) for name in names]
    with tempfile.TemporaryDirectory() as scratch:
        odd = os.path.join(os.fsencode(scratch), b"caf\xe9 \xff.rtf")
        with open(odd, "wb") as f:
            f.write(rb"{\rtf1{\info{\title Menu}{\author Ana}{\creatim\yr2024\mo3\dy5\hr14\min30}}"
                    rb"Soup\par}")
        listed.append(os.fsdecode(odd))
        records_path = os.path.join(scratch, "records.jsonl")
        run = subprocess.run(
            [program, "-j2", "--keep-tree", "-o", os.path.join(scratch, "out"), "-0",
             "--files-from", "-", "--jsonl", records_path],
            input=b"".join(os.fsencode(p) + b"\0" for p in sorted(listed)),
            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        if run.returncode not in (0, 1):
            fail("exit status %d: %s" % (run.returncode, run.stderr.decode(errors="replace")))
        with open(records_path, "rb") as f:
            records = [json.loads(line) for line in f]

        def text_of(output):
            with open(os.fsencode(output), "rb") as f:
                return f.read().decode("utf-8")

        for record in records:
            check_record(record, text_of)
        sources = sorted(os.fsencode(r["source"]) for r in records)
        if sources != sorted(os.fsencode(p) for p in listed):
            fail("%d records for %d documents" % (len(records), len(listed)))
        odd_record = next(r for r in records if os.fsencode(r["source"]) == odd)
        expected_metadata = {"title": "Menu", "author": "Ana", "created": "2024-03-05T14:30:00"}
        if odd_record["metadata"] != expected_metadata or odd_record["format"] != "rtf":
            fail("the RTF with a non-UTF-8 name: %r" % odd_record)
        converted = sum(r["status"] == "converted" for r in records)
        summary = run.stdout.decode()
        if not summary.startswith("%d converted, %d failed" % (converted,
                                                                len(records) - converted)):
            fail("summary %r against %d records" % (summary, len(records)))
        print("%d passed, 0 failed" % len(records))


main()
