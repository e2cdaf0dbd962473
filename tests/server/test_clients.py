"""The server as Apache Tika server's clients call it (requests, curl), and our own endpoints:
the texts are corvanel-convert's, the JSON what those clients read."""

import json
import os
import subprocess

import pytest
import requests

from conftest import CORPUS, SAMPLE_DOC, SAMPLE_DOCX

CONVERT = os.environ["CORVANEL_CONVERT"]
PROPERTIES = os.path.join(CORPUS, "documents", "python-docx", "doc-coreprops.docx")
HEADERS = os.path.join(CORPUS, "documents", "python-docx", "hdr-header-footer.docx")
DOCX_TYPE = "application/vnd.openxmlformats-officedocument.wordprocessingml.document"
TIKA_KEYS = {"Content-Type", "dc:title", "dc:creator", "dcterms:created", "dcterms:modified",
             "xmpTPg:NPages", "meta:word-count", "X-TIKA:Parsed-By", "X-TIKA:parse_time_millis",
             "X-TIKA:content", "corvanel:format", "corvanel:chars", "corvanel:words"}


def converted(path, *options):
    return subprocess.run([CONVERT, "-c", *options, path], check=True,
                          capture_output=True).stdout


def read(path):
    with open(path, "rb") as file:
        return file.read()


def curl(*arguments):
    done = subprocess.run(["curl", "-sS", "-w", "\n%{http_code}", *arguments], check=True,
                          capture_output=True)
    body, _, status = done.stdout.rpartition(b"\n")
    return int(status), body


def test_tika_text_json_as_retrieval_front_ends_read_it(server):
    # Settings for other parsers, as Tika's clients send them, change nothing here.
    answer = requests.put(f"{server.url}/tika/text", data=read(PROPERTIES),
                          headers={"Content-Type": DOCX_TYPE, "Accept": "application/json",
                                   "X-Tika-OCRskipOcr": "true",
                                   "X-Tika-PDFextractInlineImages": "true"})
    assert answer.status_code == 200
    assert answer.headers["Content-Type"].startswith("application/json")
    metadata = answer.json()
    assert metadata["X-TIKA:content"] == converted(PROPERTIES).decode()
    assert set(metadata) <= TIKA_KEYS
    assert metadata["Content-Type"] == DOCX_TYPE
    assert metadata["X-TIKA:Parsed-By"] == ["corvanel"]
    record = json.loads(subprocess.run([CONVERT, "-c", "--jsonl", "/dev/stderr", PROPERTIES],
                                       capture_output=True, check=True).stderr)
    stated = {"title": "dc:title", "author": "dc:creator", "created": "dcterms:created",
              "modified": "dcterms:modified", "pages": "xmpTPg:NPages",
              "words": "meta:word-count"}
    assert {stated[key]: str(value) for key, value in record["metadata"].items()} == {
        key: value for key, value in metadata.items() if key in stated.values()}
    assert metadata["corvanel:words"] == str(record["words"])


@pytest.mark.parametrize("path, content", [
    ("/rmeta/text", "text"), ("/rmeta", "xhtml"), ("/rmeta/ignore", None),
    ("/rmeta/markdown", "markdown")])
def test_rmeta_arrays(server, path, content):
    answer = requests.put(server.url + path, data=read(SAMPLE_DOC))
    assert answer.status_code == 200
    [metadata] = answer.json()
    assert metadata["Content-Type"] == "application/msword"
    if content is None:
        assert "X-TIKA:content" not in metadata
    elif content == "xhtml":
        body = metadata["X-TIKA:content"]
        assert body.startswith("<html xmlns=\"http://www.w3.org/1999/xhtml\">")
        assert "<p>Just  a “test” </p>" in body
    else:
        options = ["--to", "markdown"] if content == "markdown" else []
        assert metadata["X-TIKA:content"] == converted(SAMPLE_DOC, *options).decode()


@pytest.mark.parametrize("arguments, options", [
    ([], []),
    (["-H", "Accept: text/markdown"], ["--to", "markdown"]),
    (["-H", "X-Corvanel-Include: headers,footers"], ["--include", "headers,footers"]),
])
def test_curl_upload_on_tika(server, arguments, options):
    status, body = curl("-T", HEADERS, *arguments, server.url + "/tika")
    assert (status, body) == (200, converted(HEADERS, *options))


@pytest.mark.parametrize("path", ["/tika/form", "/rmeta/form", "/v1/convert"])
def test_curl_forms(server, path):
    status, body = curl("-F", f"upload=@{SAMPLE_DOCX}", server.url + path)
    assert status == 200
    text = converted(SAMPLE_DOCX)
    if path == "/tika/form":
        assert body == text
    elif path == "/rmeta/form":
        assert "X-TIKA:content" in json.loads(body)[0]
    else:
        assert json.loads(body)["text"].encode() == text


def test_convert_record_is_the_commands_with_the_text(server):
    answer = requests.post(f"{server.url}/v1/convert?to=markdown&include=headers",
                           data=read(HEADERS),
                           headers={"Content-Disposition": 'attachment; filename="a/b.docx"'})
    assert answer.status_code == 200
    record = answer.json()
    command = json.loads(subprocess.run(
        [CONVERT, "-c", "--to", "markdown", "--include", "headers", "--jsonl", "/dev/stderr",
         HEADERS], capture_output=True, check=True).stderr)
    assert set(record) == set(command) | {"text"}
    assert (record["source"], record["status"], record["output"]) == ("b.docx", "converted", None)
    for key in ("format", "bytes", "chars", "words", "metadata"):
        assert record[key] == command[key], key
    assert record["text"].encode() == converted(HEADERS, "--to", "markdown", "--include",
                                                 "headers")


@pytest.mark.parametrize("path, accept, expected", [
    ("/meta", "application/json", "json"),
    ("/meta", None, "\"Content-Type\",\"application/msword\"\n"),
    ("/detect/stream", None, "application/msword"),
    ("/tika", "application/json", "json"),
])
def test_metadata_and_detection(server, path, accept, expected):
    headers = {"Accept": accept} if accept else {}
    answer = requests.put(server.url + path, data=read(SAMPLE_DOC), headers=headers)
    assert answer.status_code == 200
    if expected == "json":
        metadata = answer.json()
        assert metadata["Content-Type"] == "application/msword"
        assert ("X-TIKA:content" in metadata) == (path == "/tika")
    else:
        assert answer.text.startswith(expected)


def test_plain_endpoints(server):
    session = requests.Session()
    assert "Tika Server" in session.get(server.url + "/tika").text
    assert session.get(server.url + "/version").text.startswith("Corvanel ")
    assert session.get(server.url + "/healthz").json()["status"] == "ok"
    session.put(server.url + "/tika", data=b"counted")
    metrics = session.get(server.url + "/metrics").text
    for line in ('corvanel_requests_total{endpoint="/tika",status="200"}',
                 "corvanel_conversion_seconds_count", "corvanel_received_bytes_total",
                 "corvanel_queue_length 0", "corvanel_busy_workers",
                 "corvanel_worker_restarts_total"):
        assert line in metrics
