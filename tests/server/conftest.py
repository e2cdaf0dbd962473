"""corvanel-server started on a free loopback port for a test, and stopped after it."""

import os
import re
import signal
import subprocess
import threading
import time

import pytest

SERVER = os.environ["CORVANEL_SERVER"]
CORPUS = os.environ["CORVANEL_CORPUS_DIR"]
if not os.path.isdir(os.path.join(CORPUS, "documents")):
    pytest.exit(f"the corpus is not at {CORPUS}", returncode=77)
SAMPLE_DOCX = os.path.join(CORPUS, "documents", "python-docx", "having-images.docx")
SAMPLE_DOC = os.path.join(CORPUS, "documents", "poi", "47304.doc")


class Server:
    def __init__(self, *arguments, cwd=None, env=None):
        self.process = subprocess.Popen(
            [SERVER, "--listen", "127.0.0.1:0", *arguments], cwd=cwd, env=env,
            stdin=subprocess.DEVNULL, stderr=subprocess.PIPE)
        first = self.process.stderr.readline().decode()
        match = re.search(r"http://127\.0\.0\.1:(\d+)", first)
        assert match, f"no address in {first!r}"
        self.terminated = False
        self.port = int(match.group(1))
        self.url = f"http://127.0.0.1:{self.port}"
        # The log is taken in as it comes: a full pipe would hold the server up.
        self.log = []
        self.reader = threading.Thread(target=self._read_log, daemon=True)
        self.reader.start()

    def _read_log(self):
        for line in self.process.stderr:
            self.log.append(line.decode(errors="replace"))

    def workers(self):
        """The worker processes the server has started, alive now."""
        found = []
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                try:
                    with open(f"/proc/{entry}/stat") as stat:
                        fields = stat.read().rsplit(")", 1)[1].split()
                except OSError:
                    continue
                if int(fields[1]) == self.process.pid and fields[0] != "Z":
                    found.append(int(entry))
        return found

    def wait_until(self, condition, seconds=10):
        deadline = time.monotonic() + seconds
        while not condition():
            assert time.monotonic() < deadline, "the server did not get there in time"
            time.sleep(0.02)

    def terminate(self):
        """SIGTERM, once: a second one ends the server at once."""
        if not self.terminated:
            self.terminated = True
            self.process.send_signal(signal.SIGTERM)

    def stop(self, seconds=20):
        """SIGTERM, then the exit status and the log."""
        if self.process.poll() is None:
            self.terminate()
        try:
            status = self.process.wait(seconds)
            self.reader.join(seconds)
            return status, "".join(self.log)
        finally:
            if self.process.poll() is None:
                self.process.kill()


@pytest.fixture
def start_server():
    started = []

    def start(*arguments, **settings):
        started.append(Server(*arguments, **settings))
        return started[-1]

    yield start
    for server in started:
        if server.process.poll() is None:
            server.process.kill()
            server.process.wait()


@pytest.fixture(scope="module")
def server():
    shared = Server("-j", "2")
    yield shared
    status, _ = shared.stop()
    assert status == 0
