#!/usr/bin/python3
"""Spreads a conversion of a quarter of the shared corpus over several processes, as the recipes
of docs/scale-out.md do, and checks each report and text folder against one corvanel-convert run
over the same documents (a damaged document among them):

- corvanel-dask on a LocalCluster of two workers;
- corvanel-dask on a cluster one of whose workers is killed (SIGKILL) mid-run: the lost chunks
  are converted again and the report still has one record per document;
- GNU parallel feeding chunks of the list to corvanel-convert --files-from - --jsonl -.

    check_scale_out.py PROGRAM DOCUMENTS_FOLDER
"""

import json
import logging
import os
import random
import re
import signal
import subprocess
import sys
import tempfile
import threading

DASK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src", "dask",
                    "corvanel-dask")
# Every fourth document of the corpus: all its folders and formats, converted quickly even
# under the sanitizers.
EVERY = 4
RUN_SECONDS = 300

passed = 0


# Every run asks for the optional parts: the texts then also show that corvanel-dask passes the
# choice on to the converter.
PARTS = "headers,footers,comments"


def fail(message):
    print("check_scale_out: " + message)
    sys.exit(1)


def check(condition, message):
    global passed
    if not condition:
        fail(message)
    passed += 1


def records_of(path):
    with open(path, "rb") as f:
        return [json.loads(line) for line in f]


def texts_of(folder):
    texts = {}
    for parent, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(parent, name)
            with open(path, "rb") as f:
                texts[os.path.relpath(path, folder)] = f.read()
    return texts


def outcome(records, folder):
    """What must not depend on how the work was spread, per document: not the time taken, and
    the text file's path only under its output folder."""
    by_source = {}
    for r in records:
        by_source.setdefault(r["source"], []).append((
            r["status"], r["output"] and os.path.relpath(r["output"], folder), r["format"],
            r["chars"], r["words"], r.get("error", {}).get("code")))
    return by_source


def compare(name, records, folder, expected_records, expected_folder, listed):
    sources = sorted(r["source"] for r in records)
    check(sources == sorted(listed), "%s: %d records for %d documents (%d distinct)" % (
        name, len(records), len(listed), len(set(sources))))
    got, expected = outcome(records, folder), outcome(expected_records, expected_folder)
    differing = [s for s in expected if got.get(s) != expected[s]]
    check(not differing, "%s: records differ from one run's, first %s: %r against %r" % (
        name, differing[:1], got.get(differing[0]) if differing else None,
        expected[differing[0]] if differing else None))
    got_texts, expected_texts = texts_of(folder), texts_of(expected_folder)
    check(got_texts.keys() == expected_texts.keys(), "%s: %d text files, one run wrote %d" % (
        name, len(got_texts), len(expected_texts)))
    differing = [p for p in expected_texts if got_texts[p] != expected_texts[p]]
    check(not differing, "%s: text files differ from one run's: %s" % (name, differing[:3]))


def run_dask_killing_a_worker(program, list_path, folder, report):
    """Runs corvanel-dask on a cluster of two workers and kills one of them, while it converts a
    chunk, once the first chunk is done. Returns corvanel-dask's exit status."""
    from distributed import Client, LocalCluster
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, host="127.0.0.1",
                      dashboard_address=None, silence_logs=logging.CRITICAL) as cluster, \
            Client(cluster) as client:
        # Chunks of two documents: dozens of tasks, so most of the run is still ahead after the
        # first chunk is done.
        run = subprocess.Popen(
            [sys.executable, DASK, "--scheduler", cluster.scheduler_address, "--chunk", "2",
             "--keep-tree", "--include", PARTS,
             "-o", folder, "--converter", program, "--files-from", list_path,
             "--jsonl", report], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        watchdog = threading.Timer(RUN_SECONDS, run.kill)
        watchdog.start()
        killed = None
        for line in run.stderr:
            done = re.match(rb"corvanel-dask: (\d+) of (\d+)\+? chunks done", line)
            if done and killed is None:
                check(int(done[1]) < int(done[2]), "the run ended before a worker was killed")
                pids = client.run(os.getpid)
                busy = [worker for worker, keys in client.processing().items() if keys]
                check(busy, "no worker is converting a chunk with the run half done")
                killed = pids[busy[0]]
                os.kill(killed, signal.SIGKILL)
        status = run.wait()
        watchdog.cancel()
        check(killed is not None, "corvanel-dask reported no chunk done")
        return status


# The exit status that tells ctest the test was skipped.
SKIPPED = 77


def main():
    program, documents = sys.argv[1], sys.argv[2]
    if not os.path.isdir(documents):
        print("check_scale_out: skipped: no shared corpus at %s" % documents)
        sys.exit(SKIPPED)
    listed = []
    for parent, _, names in os.walk(documents):
        listed += [os.path.join(parent, name) for name in names]
    listed = sorted(listed)[::EVERY]
    with tempfile.TemporaryDirectory() as scratch:
        damaged = os.path.join(scratch, "x.docx")
        with open(damaged, "wb") as f:
            f.write(random.Random(7).randbytes(3000))
        listed.append(damaged)
        list_path = os.path.join(scratch, "list")
        with open(list_path, "w") as f:
            f.write("".join(p + "\n" for p in listed))

        def out(name):
            return os.path.join(scratch, name)

        one = subprocess.run([program, "-j2", "--keep-tree", "--include", PARTS, "-o", out("one"),
                              "--files-from", list_path, "--jsonl", out("one.jsonl")],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                             timeout=RUN_SECONDS)
        check(one.returncode == 1, "one run: exit status %d, not 1" % one.returncode)
        one_records = records_of(out("one.jsonl"))

        dask = subprocess.run(
            [sys.executable, DASK, "--local", "2", "--chunk", "20", "--keep-tree", "--include",
             PARTS, "-o", out("dask"), "--converter", program, "--files-from", "-", "--jsonl",
             out("dask.jsonl")],
            input=open(list_path, "rb").read(), stdout=subprocess.PIPE, stderr=subprocess.PIPE,
            timeout=RUN_SECONDS)
        check(dask.returncode == 1, "corvanel-dask: exit status %d, not 1: %s" % (
            dask.returncode, dask.stderr.decode(errors="replace")[-2000:]))
        dask_records = records_of(out("dask.jsonl"))
        compare("corvanel-dask", dask_records, out("dask"), one_records, out("one"), listed)
        of_damaged = [r for r in dask_records if r["source"] == damaged]
        check(len(of_damaged) == 1 and of_damaged[0]["status"] == "failed",
              "the damaged document: %r" % of_damaged)
        failed = sum(r["status"] == "failed" for r in dask_records)
        check(dask.stdout.decode() == "%d converted, %d failed\n" % (
            len(dask_records) - failed, failed), "summary %r" % dask.stdout)
        check(not [n for n in os.listdir(scratch) if n.startswith(".dask.jsonl")],
              "the report's temporary file was left behind")

        status = run_dask_killing_a_worker(program, list_path, out("kill"), out("kill.jsonl"))
        check(status == 1, "corvanel-dask with a worker killed: exit status %d" % status)
        compare("corvanel-dask with a worker killed", records_of(out("kill.jsonl")),
                out("kill"), one_records, out("one"), listed)

        # GNU parallel's exit status counts the chunks with a failed document: not checked.
        with open(list_path, "rb") as source, open(out("parallel.jsonl"), "wb") as report:
            subprocess.run(
                ["parallel", "--will-cite", "--pipe", "-N", "20", "-j2", program, "-j1",
                 "--keep-tree", "--include", PARTS,
                 "-o", out("parallel"), "--files-from", "-", "--jsonl", "-"],
                stdin=source, stdout=report, stderr=subprocess.DEVNULL, timeout=RUN_SECONDS)
        compare("GNU parallel", records_of(out("parallel.jsonl")), out("parallel"),
                one_records, out("one"), listed)
    print("%d passed, 0 failed" % passed)


# The cluster's worker processes start by importing this file.
if __name__ == "__main__":
    main()
