"""Every document of the corpus through PUT /tika: the same bytes as corvanel-convert's text and
Markdown, and a failure's status where the command fails."""

import concurrent.futures
import json
import os
import subprocess
import threading

import requests

from conftest import CORPUS

CONVERT = os.environ["CORVANEL_CONVERT"]
DOCUMENTS = os.path.join(CORPUS, "documents")
STATUS = {"not-readable": 415, "password-protected": 422, "damaged": 422, "too-large": 422,
          "cannot-open": 422, "timeout": 422, "out-of-memory": 422}


def command_outputs(folder, *options):
    """Each document's text by the command: its own file, or (for two documents that would
    share a text file) standard output. A failure's code instead of the text."""
    records = os.path.join(folder, "records.jsonl")
    subprocess.run([CONVERT, "-j", "2", "-o", folder, "--keep-tree", "--jsonl", records,
                    *options, DOCUMENTS], capture_output=True)
    outputs = {}
    with open(records) as lines:
        for record in map(json.loads, lines):
            source = record["source"]
            code = record.get("error", {}).get("code")
            if code == "name-taken":
                done = subprocess.run([CONVERT, "-c", *options, source], capture_output=True)
                outputs[source] = done.stdout if done.returncode == 0 else "failed"
            elif code:
                outputs[source] = code
            else:
                with open(record["output"], "rb") as text:
                    outputs[source] = text.read()
    return outputs


def test_corpus_texts_are_the_commands(server, tmp_path):
    expected = {"text": command_outputs(tmp_path / "text"),
                "markdown": command_outputs(tmp_path / "markdown", "--to", "markdown")}
    local = threading.local()

    def ask(job):
        kind, source = job
        if not hasattr(local, "session"):
            local.session = requests.Session()
        with open(source, "rb") as document:
            accept = "text/markdown" if kind == "markdown" else "text/plain"
            answer = local.session.put(server.url + "/tika", data=document.read(),
                                       headers={"Accept": accept})
        return job, answer.status_code, answer.content

    jobs = [(kind, source) for kind in expected for source in expected[kind]]
    assert len(jobs) > 1000
    differences = []
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        for (kind, source), status, body in pool.map(ask, jobs):
            want = expected[kind][source]
            if isinstance(want, bytes):
                got_it = status in (200, 204) and body == want
            else:
                got_it = status == STATUS.get(want, 500) and want.encode() in body
            if not got_it:
                differences.append(f"{kind} {source}: {status} {body[:80]!r}")
    assert not differences, "\n".join(differences[:20])
