"""The limits a service needs: bodies over the size limit, clients too slow, a full queue, too
many connections, workers that hang or are killed, a stop under load, the token, the fallback;
and nothing left on disk."""

import concurrent.futures
import http.server
import os
import signal
import socket
import threading
import time

import pytest
import requests

from conftest import SAMPLE_DOC

with open(SAMPLE_DOC, "rb") as sample:
    DOC = sample.read()
# Long enough to convert that a worker is still at it when it is killed.
LONG_TEXT = (b"Lorem ipsum dolor sit amet, consectetur adipiscing elit. " * 20 + b"\n") * 20000


def raw_exchange(port, pieces, gap):
    """Sends `pieces` `gap` seconds apart, then reads the answer: (seconds taken, answer)."""
    started = time.monotonic()
    with socket.create_connection(("127.0.0.1", port), timeout=10) as client:
        try:
            for piece in pieces:
                client.sendall(piece)
                time.sleep(gap)
        except OSError:
            pass  # cut off while sending: the answer is waiting
        answer = b""
        while chunk := client.recv(65536):
            answer += chunk
    return time.monotonic() - started, answer


@pytest.fixture
def limited(start_server):
    return start_server("-j", "1", "--queue", "1", "--max-body", "64K", "--header-timeout", "1",
                        "--body-timeout", "1", "--max-connections", "4", "--timeout", "2")


def test_body_over_the_limit_is_refused_before_it_is_read(limited):
    chunks = (b"x" * 4096 for _ in range(100))
    for answer in (requests.put(limited.url + "/tika", data=b"x" * 70000),
                   requests.put(limited.url + "/tika/text", data=chunks)):
        assert answer.status_code == 413
        assert "body-too-large" in answer.text
    # Only the headers are sent: the answer comes without the body.
    taken, answer = raw_exchange(
        limited.port, [b"PUT /tika HTTP/1.1\r\nHost: x\r\nContent-Length: 100000000\r\n\r\n"], 0)
    assert answer.startswith(b"HTTP/1.1 413 ") and taken < 1


@pytest.mark.parametrize("pieces, where", [
    ([bytes([c]) for c in b"PUT /tika HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello"],
     b"headers"),
    ([b"PUT /tika HTTP/1.1\r\nHost: x\r\nContent-Length: 40\r\n\r\n"] + [b"y"] * 40, b"body"),
])
def test_a_slow_client_is_cut_off_by_the_deadline(limited, pieces, where):
    # A byte every 0.1 s keeps any per-read timeout from firing; the deadline does not wait.
    taken, answer = raw_exchange(limited.port, pieces, 0.1)
    assert answer.startswith(b"HTTP/1.1 408 ")
    assert b"request-timeout" in answer and where in answer
    assert taken < 3


def stopped_worker(server):
    """Starts the server's worker and stops it (SIGSTOP), so the next document waits in it."""
    assert requests.put(server.url + "/tika", data=b"warm").status_code == 200
    [worker] = server.workers()
    os.kill(worker, signal.SIGSTOP)
    return worker


def health(server, key, session=requests):
    return session.get(server.url + "/healthz").json()[key]


def open_connections(server, session):
    metrics = session.get(server.url + "/metrics").text
    return int(metrics.split("\ncorvanel_open_connections ")[1].split()[0])


def test_full_queue_and_too_many_connections(limited):
    worker = stopped_worker(limited)
    kept = requests.Session()  # one connection throughout
    with concurrent.futures.ThreadPoolExecutor(2) as pool:
        waiting = [pool.submit(requests.put, limited.url + "/tika", data=DOC)]
        limited.wait_until(lambda: health(limited, "busy", kept) == 1)
        waiting.append(pool.submit(requests.put, limited.url + "/tika", data=DOC))
        limited.wait_until(lambda: health(limited, "queued", kept) == 1)
        refused = requests.put(limited.url + "/tika", data=DOC)
        assert refused.status_code == 503 and refused.headers["Retry-After"] == "1"
        assert "busy" in refused.text
        # Two requests wait and one session is kept: one idle connection fills the four
        # (once the refused one is gone).
        limited.wait_until(lambda: open_connections(limited, kept) == 3)
        idle = socket.create_connection(("127.0.0.1", limited.port))
        limited.wait_until(lambda: open_connections(limited, kept) == 4)
        over = requests.get(limited.url + "/healthz")
        assert over.status_code == 503 and "busy" in over.text
        os.kill(worker, signal.SIGCONT)
        assert [future.result().status_code for future in waiting] == [200, 200]
        idle.close()


def test_a_hanging_worker_times_out(limited):
    stopped_worker(limited)
    answer = requests.put(limited.url + "/tika/text", data=DOC)
    assert answer.status_code == 422 and answer.json()["error"]["code"] == "timeout"
    assert requests.put(limited.url + "/tika", data=DOC).status_code == 200


def test_killed_workers_fail_their_document_and_leave_nothing(start_server, tmp_path):
    server = start_server("-j", "1", cwd=tmp_path, env={**os.environ, "TMPDIR": str(tmp_path)})
    with concurrent.futures.ThreadPoolExecutor(1) as pool:
        asked = pool.submit(requests.put, server.url + "/tika", data=LONG_TEXT)
        # Every worker is killed as soon as it is seen: the document's first try and its second.
        deadline = time.monotonic() + 20
        while not asked.done() and time.monotonic() < deadline:
            for worker in server.workers():
                os.kill(worker, signal.SIGKILL)
            time.sleep(0.01)
        answer = asked.result()
    assert answer.status_code == 500 and answer.text.startswith("500 crashed: ")
    assert requests.put(server.url + "/tika", data=DOC).status_code == 200
    metrics = requests.get(server.url + "/metrics").text
    assert "corvanel_worker_restarts_total 0" not in metrics
    assert os.listdir(tmp_path) == []
    assert server.stop()[0] == 0


def test_memory_limit(start_server):
    server = start_server("-j", "1", "--max-memory", "1")
    answer = requests.put(server.url + "/rmeta", data=LONG_TEXT)
    assert answer.status_code == 422 and answer.json()["error"]["code"] == "out-of-memory"


@pytest.mark.parametrize("grace, expected", [("10", [200, 200, 200]), ("0.5", [503])])
def test_sigterm_finishes_requests_under_way(start_server, grace, expected):
    server = start_server("-j", "1", "--grace", grace)
    worker = stopped_worker(server)
    with concurrent.futures.ThreadPoolExecutor(len(expected)) as pool:
        asked = [pool.submit(requests.put, server.url + "/tika", data=DOC) for _ in expected]
        server.wait_until(lambda: health(server, "queued") == len(expected) - 1 and
                          health(server, "busy") == 1)
        server.terminate()
        time.sleep(0.3)
        if len(expected) > 1:
            os.kill(worker, signal.SIGCONT)
        assert [future.result().status_code for future in asked] == expected
    status, log = server.stop()
    assert status == 0 and "stopped" in log
    with pytest.raises(requests.ConnectionError):
        requests.get(server.url + "/healthz")


@pytest.mark.parametrize("authorization, status", [
    (None, 401), ("Bearer wrong", 401), ("Basic c2VjcmV0", 401), ("Bearer s3cret-token", 200),
    ("bearer s3cret-token", 200)])
def test_token(start_server, tmp_path, authorization, status):
    token = tmp_path / "token"
    token.write_text("s3cret-token\n")
    server = start_server("--token-file", str(token))
    headers = {"Authorization": authorization} if authorization else {}
    for method, path in (("PUT", "/tika"), ("GET", "/healthz")):
        answer = requests.request(method, server.url + path, data=DOC, headers=headers)
        assert answer.status_code == status
        if status == 401:
            assert answer.headers["WWW-Authenticate"] == "Bearer"


class TikaLike(http.server.BaseHTTPRequestHandler):
    """Answers every document with what it was sent."""

    def do_PUT(self):
        body = self.rfile.read(int(self.headers["Content-Length"]))
        answer = f"fallback {self.path} {len(body)} {self.headers['Accept']}".encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(answer)))
        self.end_headers()
        self.wfile.write(answer)

    def log_message(self, *arguments):
        pass


def test_fallback_takes_what_corvanel_does_not_read(start_server):
    tika = http.server.ThreadingHTTPServer(("127.0.0.1", 0), TikaLike)
    threading.Thread(target=tika.serve_forever, daemon=True).start()
    server = start_server("--fallback", f"http://127.0.0.1:{tika.server_address[1]}")
    pdf = b"%PDF-1.4\x00" + b"z" * 100
    relayed = requests.put(server.url + "/tika?x=1", data=pdf, headers={"Accept": "text/plain"})
    assert (relayed.status_code, relayed.text) == (200, "fallback /tika?x=1 109 text/plain")
    assert requests.put(server.url + "/tika", data=DOC).text != relayed.text
    tika.shutdown()
    tika.server_close()
    unreachable = requests.put(server.url + "/tika/text", data=pdf)
    assert unreachable.status_code == 502
    assert unreachable.json()["error"]["code"] == "fallback-unreachable"
