"""Every failure answers its status and a body naming its code: JSON on JSON endpoints, text
elsewhere; never a dropped connection."""

import json
import os
import socket

import pytest
import requests

from conftest import CORPUS, SAMPLE_DOCX

POI = os.path.join(CORPUS, "documents", "poi")
PASSWORD = os.path.join(POI, "PasswordProtected.doc")
DAMAGED = os.path.join(POI, "clusterfuzz-testcase-minimized-POIXWPFFuzzer-5313273089884160.docx")
NOT_A_DOCUMENT = b"%PDF-1.4\x00\x01\x02\x03"


def content(path):
    with open(path, "rb") as file:
        return file.read()


@pytest.mark.parametrize("method, path, body, status, code", [
    ("PUT", "/tika", NOT_A_DOCUMENT, 415, "not-readable"),
    ("PUT", "/tika/text", PASSWORD, 422, "password-protected"),
    ("PUT", "/rmeta/text", DAMAGED, 422, "damaged"),
    ("PUT", "/tika?include=pictures", SAMPLE_DOCX, 400, "bad-parameter"),
    ("POST", "/v1/convert?to=pdf", SAMPLE_DOCX, 400, "bad-parameter"),
    ("POST", "/v1/convert", NOT_A_DOCUMENT, 415, "not-readable"),
    ("PUT", "/nowhere", SAMPLE_DOCX, 404, "unknown-path"),
    ("DELETE", "/tika", None, 405, "method-not-allowed"),
    ("GET", "/rmeta", None, 405, "method-not-allowed"),
    ("GET", "/favicon.ico", None, 404, "unknown-path"),
])
def test_failures_name_their_code(server, method, path, body, status, code):
    data = content(body) if isinstance(body, str) else body
    answer = requests.request(method, server.url + path, data=data)
    assert answer.status_code == status
    if answer.headers["Content-Type"].startswith("application/json"):
        record = answer.json()
        assert record["error"]["code"] == code
    else:
        assert answer.text.startswith(f"{status} {code}: ")
    if status == 405:
        assert answer.headers["Allow"]


def test_form_without_a_file(server):
    answer = requests.post(server.url + "/rmeta/form", files={"note": ("", b"words")})
    assert answer.status_code == 400
    assert answer.json()["error"]["code"] == "malformed-request"


@pytest.mark.parametrize("request_bytes, status, code", [
    (b"NOT HTTP AT ALL\r\n\r\n", 400, b"malformed-request"),
    (b"GET /healthz HTTP/1.1\r\n" + (b"X-Filler: " + b"a" * 8000 + b"\r\n") * 10 + b"\r\n",
     431, b"header-too-large"),
], ids=["request-line", "headers"])
def test_malformed_requests(server, request_bytes, status, code):
    with socket.create_connection(("127.0.0.1", server.port), timeout=5) as client:
        try:
            client.sendall(request_bytes)
            client.shutdown(socket.SHUT_WR)
        except OSError:
            pass  # refused before it was all sent
        answer = b""
        while chunk := client.recv(4096):
            answer += chunk
    assert answer.startswith(b"HTTP/1.1 %d " % status)
    assert code in answer


def test_request_text_is_escaped(server):
    name = "evil\x1b[31m\r\nX-Injected: 1.docx"
    answer = requests.put(server.url + "/tika/text", data=NOT_A_DOCUMENT,
                          headers={"Content-Disposition": "attachment; filename*=UTF-8''" +
                                   requests.utils.quote(name)})
    assert answer.status_code == 415
    message = json.loads(answer.text)["error"]["message"]
    assert "\\x1b" in message and "\x1b" not in message and "\r" not in message
    assert "X-Injected" not in answer.headers
