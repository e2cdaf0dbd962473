#!/usr/bin/python3
"""Builds C programs against libcorvanel with `cc ... $(pkg-config --cflags --libs corvanel)` and
checks that they get the same status and text as corvanel-convert: for every document given (the
shared corpus when none is, exit 77, a skip, when it is absent) a program that converts each from
its path and from its bytes in memory; with --example, the shipped example over the samples.

usage: check_same_text.py [--example] BUILD_DIR SOURCE_DIR CORPUS_DIR [DOCUMENT...]"""

import json
import os
import pathlib
import subprocess
import sys
import tempfile


def build(source, target, build_dir):
    env = dict(os.environ, PKG_CONFIG_PATH=str(build_dir / "pkgconfig"))
    flags = subprocess.run(["pkg-config", "--cflags", "--libs", "corvanel"], env=env, check=True,
                           capture_output=True, text=True).stdout.split()
    subprocess.run(["cc", "-Wall", "-Wextra", "-Werror", str(source), *flags, "-o", str(target)],
                   check=True)


def single(build_dir, source, text):
    """The record of one document converted with -c, its output the file its text went to."""
    records = text.with_suffix(".jsonl")
    with open(text, "wb") as out:
        subprocess.run([str(build_dir / "src/cli/corvanel-convert"), "-c", "--jsonl",
                        str(records), os.fsencode(source)], stdout=out, stderr=subprocess.DEVNULL)
    record = json.loads(records.read_text())
    record["output"] = str(text) if record["status"] != "failed" else None
    return record


def check_example(build_dir, source_dir):
    """The example writes what `corvanel-convert -c` writes; a failure exits non-zero with the
    message on standard error and nothing on standard output."""
    failures = 0
    with tempfile.TemporaryDirectory() as scratch:
        example = pathlib.Path(scratch) / "corvanel-text"
        build(source_dir / "examples/corvanel-text.c", example, build_dir)
        samples = sorted((source_dir / "resources/Samples").iterdir())
        for document in samples + [pathlib.Path(scratch) / "missing.docx"]:
            ours = subprocess.run([str(example), str(document)], capture_output=True)
            theirs = subprocess.run([str(build_dir / "src/cli/corvanel-convert"), "-c",
                                     str(document)], capture_output=True)
            same = (ours.stdout, ours.returncode != 0) == (theirs.stdout, theirs.returncode != 0)
            if not same or (ours.returncode != 0 and document.name.encode() not in ours.stderr):
                print(f"{document}: the example wrote {len(ours.stdout)} bytes, exit status "
                      f"{ours.returncode}, {ours.stderr!r}; corvanel-convert "
                      f"{len(theirs.stdout)} bytes, exit status {theirs.returncode}")
                failures += 1
    print(f"{len(samples) + 1} documents, {failures} mismatches")
    return failures


def main():
    if sys.argv[1] == "--example":
        return check_example(pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3]))
    build_dir, source_dir, corpus = (pathlib.Path(a) for a in sys.argv[1:4])
    documents = [pathlib.Path(d) for d in sys.argv[4:]]
    if not documents:
        if not (corpus / "documents").is_dir():
            print(f"skipped: the shared corpus is not at {corpus}")
            return 77
        documents = sorted(p for p in (corpus / "documents").rglob("*") if p.is_file())
    with tempfile.TemporaryDirectory() as scratch:
        scratch = pathlib.Path(scratch)
        checker = scratch / "same_text"
        build(source_dir / "tests/lib/same_text.c", checker, build_dir)
        listing = scratch / "documents"
        listing.write_bytes(b"\0".join(bytes(d) for d in documents))
        records = scratch / "records.jsonl"
        subprocess.run([str(build_dir / "src/cli/corvanel-convert"), "--keep-tree", "-o",
                        str(scratch / "text"), "--jsonl", str(records), "-0", "--files-from",
                        str(listing)], capture_output=True)
        lines = []
        for number, record in enumerate(map(json.loads, records.read_text().splitlines())):
            if record["status"] == "failed" and record["error"]["code"] == "name-taken":
                # Same name, another extension: its text alone, on standard output.
                record = single(build_dir, record["source"], scratch / f"single-{number}")
            status = record["error"]["code"] if record["status"] == "failed" else "ok"
            output = os.fsencode(record["output"] or "")
            lines.append(b"\t".join([status.encode(), os.fsencode(record["source"]), output]))
        run = subprocess.run([str(checker)], input=b"\n".join(lines) + b"\n",
                             capture_output=True)
        sys.stdout.buffer.write(run.stdout)
        if len(lines) != len(documents):
            print(f"{len(documents)} documents, {len(lines)} records")
            return 1
        return run.returncode


if __name__ == "__main__":
    sys.exit(main())
