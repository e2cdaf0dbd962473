#!/usr/bin/python3
"""Builds C programs against libcorvanel with `cc ... $(pkg-config --cflags --libs corvanel)` and
checks that they get the same status and text as corvanel-convert: for every document given (the
shared corpus when none is, exit 77, a skip, when it is absent) a program that converts each from
its path, from its bytes in memory and in a batch; with --example, the shipped example over the
samples. With --emulator (a Windows build, run under Wine), the programs are the ones the build
cross-compiled beside the library, and the texts end their lines with CRLF.

usage: check_same_text.py [--example] [--emulator PROGRAM] BUILD_DIR SOURCE_DIR CORPUS_DIR
                          [DOCUMENT...]"""

import json
import os
import pathlib
import re
import subprocess
import sys
import tempfile


EMULATOR = []


def build(source, target, build_dir):
    """The C program `source` built into `target`; for Windows, the one the build made."""
    if EMULATOR:
        return build_dir / "lib" / (source.stem + ".exe")
    env = dict(os.environ, PKG_CONFIG_PATH=str(build_dir / "pkgconfig"))
    flags = subprocess.run(["pkg-config", "--cflags", "--libs", "corvanel"], env=env, check=True,
                           capture_output=True, text=True).stdout.split()
    subprocess.run(["cc", "-Wall", "-Wextra", "-Werror", str(source), *flags, "-o", str(target)],
                   check=True)
    return target


def command(build_dir):
    return [*EMULATOR, str(build_dir / "src/cli" / ("corvanel-convert.exe" if EMULATOR else
                                                     "corvanel-convert"))]


def host_path(path):
    """A path a Windows program wrote under Wine, whose drive Z: is the host's root."""
    return re.sub(r"^[zZ]:", "", path).replace("\\", "/") if EMULATOR and path else path


def single(build_dir, source, text):
    """The record of one document converted with -c, its output the file its text went to."""
    records = text.with_suffix(".jsonl")
    with open(text, "wb") as out:
        subprocess.run([*command(build_dir), "-c", "--jsonl", str(records),
                        os.fsencode(source)], stdout=out, stderr=subprocess.DEVNULL)
    record = json.loads(records.read_text())
    record["output"] = str(text) if record["status"] != "failed" else None
    return record


def check_example(build_dir, source_dir):
    """The example writes what `corvanel-convert -c` writes; a failure exits non-zero with the
    message on standard error and nothing on standard output."""
    failures = 0
    with tempfile.TemporaryDirectory() as scratch:
        example = build(source_dir / "examples/corvanel-text.c",
                        pathlib.Path(scratch) / "corvanel-text", build_dir)
        samples = sorted((source_dir / "resources/Samples").iterdir())
        for document in samples + [pathlib.Path(scratch) / "missing.docx"]:
            ours = subprocess.run([*EMULATOR, str(example), str(document)], capture_output=True)
            theirs = subprocess.run([*command(build_dir), "-c", str(document)],
                                    capture_output=True)
            same = (ours.stdout, ours.returncode != 0) == (theirs.stdout, theirs.returncode != 0)
            if not same or (ours.returncode != 0 and document.name.encode() not in ours.stderr):
                print(f"{document}: the example wrote {len(ours.stdout)} bytes, exit status "
                      f"{ours.returncode}, {ours.stderr!r}; corvanel-convert "
                      f"{len(theirs.stdout)} bytes, exit status {theirs.returncode}")
                failures += 1
    print(f"{len(samples) + 1} documents, {failures} mismatches")
    return failures


def main():
    arguments = sys.argv[1:]
    example = arguments[0] == "--example"
    arguments = arguments[example:]
    if arguments[0] == "--emulator":
        EMULATOR.append(arguments[1])
        arguments = arguments[2:]
    if example:
        return check_example(pathlib.Path(arguments[0]), pathlib.Path(arguments[1]))
    build_dir, source_dir, corpus = (pathlib.Path(a) for a in arguments[:3])
    documents = [pathlib.Path(d) for d in arguments[3:]]
    if not documents:
        if not (corpus / "documents").is_dir():
            print(f"skipped: the shared corpus is not at {corpus}")
            return 77
        documents = sorted(p for p in (corpus / "documents").rglob("*") if p.is_file())
    with tempfile.TemporaryDirectory() as scratch:
        scratch = pathlib.Path(scratch)
        checker = build(source_dir / "tests/lib/same_text.c", scratch / "same_text", build_dir)
        listing = scratch / "documents"
        listing.write_bytes(b"\0".join(bytes(d) for d in documents))
        records = scratch / "records.jsonl"
        subprocess.run([*command(build_dir), "--keep-tree", "-o", str(scratch / "text"),
                        "--jsonl", str(records), "-0", "--files-from", str(listing)],
                       capture_output=True)
        lines = []
        for number, record in enumerate(map(json.loads, records.read_text().splitlines())):
            if record["status"] == "failed" and record["error"]["code"] == "name-taken":
                # Same name, another extension: its text alone, on standard output.
                record = single(build_dir, record["source"], scratch / f"single-{number}")
            status = record["error"]["code"] if record["status"] == "failed" else "ok"
            output = os.fsencode(host_path(record["output"]) or "")
            lines.append(b"\t".join([status.encode(), os.fsencode(record["source"]), output]))
        run = subprocess.run([*EMULATOR, str(checker), *(["crlf"] if EMULATOR else [])],
                             input=b"\n".join(lines) + b"\n", capture_output=True)
        sys.stdout.buffer.write(run.stdout)
        if len(lines) != len(documents):
            print(f"{len(documents)} documents, {len(lines)} records")
            return 1
        return run.returncode


if __name__ == "__main__":
    sys.exit(main())
