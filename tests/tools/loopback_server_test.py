#!/usr/bin/env python3
"""Checks tools/loopback-server from the outside: its start-up modes, scripted answers and control API."""

import json
import os
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest

SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "loopback-server")


def raw_request(base, method, target, headers=(), body=b""):
    """The whole answer, as bytes, to one request on a fresh connection that asks to be closed."""
    host, port = base[len("http://"):].split(":")
    lines = ["%s %s HTTP/1.1" % (method, target), "Host: %s:%s" % (host, port), "Connection: close"]
    lines += ["%s: %s" % h for h in headers]
    if body:
        lines.append("Content-Length: %d" % len(body))
    with socket.create_connection((host, int(port)), timeout=10) as s:
        s.sendall(("\r\n".join(lines) + "\r\n\r\n").encode("latin-1") + body)
        chunks = []
        while True:
            data = s.recv(65536)
            if not data:
                return b"".join(chunks)
            chunks.append(data)


def split_answer(answer):
    head, _, body = answer.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(": ")
        headers[name.lower()] = value
    return lines[0], headers, body


class ServerProcess:
    """The server in its serving mode, stopped with SIGTERM."""

    def __init__(self, *args):
        self.process = subprocess.Popen([SERVER, *args], stdout=subprocess.PIPE, text=True)
        self.base = self.process.stdout.readline().strip()

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        code = self.process.wait(timeout=10)
        self.process.stdout.close()
        return code


class StartUp(unittest.TestCase):
    def test_wrapped_command_gets_the_url_and_its_exit_code_is_kept(self):
        for code in (0, 1, 7):
            with self.subTest(code=code):
                result = subprocess.run([SERVER, "--", "sh", "-c", 'echo "$QP_LOOPBACK_URL"; exit %d' % code],
                                        capture_output=True, text=True, timeout=30)
                self.assertEqual(result.returncode, code)
                self.assertRegex(result.stdout.strip(), r"^http://127\.0\.0\.1:\d+$")
                self.assertEqual(result.stderr, "")

    def test_wrapped_command_can_reach_the_server(self):
        script = ("import os, urllib.request\n"
                  "print(urllib.request.urlopen(os.environ['QP_LOOPBACK_URL'] + '/x').read().decode())\n")
        with tempfile.NamedTemporaryFile("w", suffix=".json", delete=False) as f:
            json.dump({"/x": {"text": "from the script"}}, f)
        try:
            result = subprocess.run([SERVER, "--script", f.name, "--", sys.executable, "-c", script],
                                    capture_output=True, text=True, timeout=30)
        finally:
            os.unlink(f.name)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout.strip(), "from the script")

    def test_a_command_ended_by_a_signal_gives_128_plus_the_signal(self):
        result = subprocess.run([SERVER, "--", "sh", "-c", "kill -TERM $$"], timeout=30)
        self.assertEqual(result.returncode, 128 + signal.SIGTERM)

    def test_serving_mode_reports_its_url_on_stdout_and_in_the_port_file(self):
        with tempfile.TemporaryDirectory() as folder:
            port_file = os.path.join(folder, "port")
            server = ServerProcess("--port-file", port_file)
            try:
                self.assertRegex(server.base, r"^http://127\.0\.0\.1:\d+$")
                with open(port_file) as f:
                    self.assertEqual(f.read().strip(), server.base)
                status, _, _ = split_answer(raw_request(server.base, "GET", "/nothing"))
                self.assertEqual(status, "HTTP/1.1 404 Not Found")
            finally:
                self.assertEqual(server.stop(), 0)

    def test_a_stop_right_after_the_port_file_appears_still_ends_it_cleanly(self):
        # The port file is the first sign of life; a caller may stop the server the moment it appears.
        for attempt in range(10):
            with self.subTest(attempt=attempt), tempfile.TemporaryDirectory() as folder:
                port_file = os.path.join(folder, "port")
                server = subprocess.Popen([SERVER, "--port-file", port_file], stdout=subprocess.DEVNULL)
                deadline = time.monotonic() + 10
                while not os.path.exists(port_file) and time.monotonic() < deadline:
                    time.sleep(0.001)
                server.send_signal(signal.SIGTERM)
                self.assertEqual(server.wait(timeout=10), 0)

    def test_a_bad_script_file_stops_it_at_once(self):
        for content in ('{"/x": {"colour": "red"}}', '{"/x": {"text": "a", "hex": "00"}}', "not json", "[1]",
                        '{"/x": {"stall": "soon"}}', '{"/x": {"stall": -1}}'):
            with self.subTest(content=content):
                with tempfile.NamedTemporaryFile("w", suffix=".json", delete=False) as f:
                    f.write(content)
                try:
                    result = subprocess.run([SERVER, "--script", f.name, "--", "true"], capture_output=True,
                                            text=True, timeout=30)
                finally:
                    os.unlink(f.name)
                self.assertEqual(result.returncode, 2)
                self.assertIn("loopback-server:", result.stderr)


class Answers(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        with open(os.path.join(cls.folder.name, "body.bin"), "wb") as f:
            f.write(b"\x00\x01file\xff")
        script = {
            "/doc": {"text": "by path"},
            "/doc?v=2": {"text": "by exact target"},
            "/base": {"text": "at {base}/x"},
            "/hex": {"hex": "c7d1b1b9", "status": 201},
            "/file": {"file": "body.bin"},
            "/gen": {"generate": 600},
            "/rep": {"text": "ab", "repeat": 3},
            "/none": {"text": "close-delimited", "length": "none"},
            "/more": {"text": "0123456789", "length": 20},
            "/less": {"text": "0123456789", "length": 4},
            "/cut": {"text": "0123456789", "cut": 3},
            "/old": {"text": "old", "http10": True},
            "/moved": {"location": "{base}/doc"},
            "/typed": {"text": "{}", "headers": {"Content-Type": "application/json", "X-Extra": "1"}},
            "/slow": {"text": "abcdef", "chunk": 2, "delay": 0.2},
            "/teapot": {"status": 418, "reason": "Short And Stout"},
            "/stall": {"text": "never sent", "stall": True},
            "/forever": {"stall": "forever"},
            "/late": {"text": "late", "stall": 0.4},
        }
        cls.script_path = os.path.join(cls.folder.name, "script.json")
        with open(cls.script_path, "w") as f:
            json.dump(script, f)
        cls.server = ServerProcess("--script", cls.script_path)
        cls.base = cls.server.base

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()
        cls.folder.cleanup()

    def get(self, target):
        return split_answer(raw_request(self.base, "GET", target))

    def test_bodies_and_statuses(self):
        cases = [
            ("/doc", "HTTP/1.1 200 OK", b"by path"),
            ("/doc?v=1", "HTTP/1.1 200 OK", b"by path"),
            ("/doc?v=2", "HTTP/1.1 200 OK", b"by exact target"),
            ("/base", "HTTP/1.1 200 OK", ("at %s/x" % self.base).encode()),
            ("/hex", "HTTP/1.1 201 Created", bytes.fromhex("c7d1b1b9")),
            ("/file", "HTTP/1.1 200 OK", b"\x00\x01file\xff"),
            ("/gen", "HTTP/1.1 200 OK", bytes(i % 251 for i in range(600))),
            ("/rep", "HTTP/1.1 200 OK", b"ababab"),
            ("/teapot", "HTTP/1.1 418 Short And Stout", b""),
            ("/unknown", "HTTP/1.1 404 Not Found", b"no script for /unknown\n"),
        ]
        for target, status_line, body in cases:
            with self.subTest(target=target):
                status, headers, received = self.get(target)
                self.assertEqual(status, status_line)
                self.assertEqual(received, body)
                self.assertEqual(headers["content-length"], str(len(body)))

    def test_lengths_cuts_and_old_versions(self):
        cases = [
            # target, status line, Content-Length (None: absent), body as sent, Connection: close
            ("/none", "HTTP/1.1 200 OK", None, b"close-delimited", True),
            ("/more", "HTTP/1.1 200 OK", "20", b"0123456789", True),
            ("/less", "HTTP/1.1 200 OK", "4", b"0123456789", True),
            ("/cut", "HTTP/1.1 200 OK", "10", b"012", True),
            ("/old", "HTTP/1.0 200 OK", "3", b"old", True),
            ("/doc", "HTTP/1.1 200 OK", "7", b"by path", False),
        ]
        for target, status_line, length, body, closes in cases:
            with self.subTest(target=target):
                status, headers, received = self.get(target)
                self.assertEqual(status, status_line)
                self.assertEqual(headers.get("content-length"), length)
                self.assertEqual(received, body)
                self.assertEqual(headers.get("connection") == "close", closes)

    def test_redirects_and_extra_headers(self):
        status, headers, _ = self.get("/moved")
        self.assertEqual(status, "HTTP/1.1 302 Found")
        self.assertEqual(headers["location"], self.base + "/doc")
        _, headers, _ = self.get("/typed")
        self.assertEqual(headers["content-type"], "application/json")
        self.assertEqual(headers["x-extra"], "1")

    def test_a_slow_body_comes_in_pieces(self):
        started = time.monotonic()
        _, _, body = self.get("/slow")
        self.assertEqual(body, b"abcdef")
        self.assertGreaterEqual(time.monotonic() - started, 0.35)

    def test_a_stall_reads_and_records_the_request_and_sends_nothing_while_the_client_waits(self):
        host, port = self.base[len("http://"):].split(":")
        with socket.create_connection((host, int(port)), timeout=10) as s:
            s.sendall(("GET /stall?n=1 HTTP/1.1\r\nHost: %s:%s\r\n\r\n" % (host, port)).encode())
            s.settimeout(0.5)
            with self.assertRaises(socket.timeout):
                s.recv(1)
        # The client gave up; the server goes on answering others, with the stalled request logged.
        self.assertEqual(self.get("/doc")[2], b"by path")
        self.assertIn("/stall?n=1", [r["target"] for r in json.loads(self.get("/_control/requests.json")[2])])

    def test_stopping_the_server_ends_a_stalled_connection_without_an_answer(self):
        server = ServerProcess("--script", self.script_path)
        host, port = server.base[len("http://"):].split(":")
        with socket.create_connection((host, int(port)), timeout=10) as s:
            s.sendall(b"GET /forever HTTP/1.1\r\nHost: x\r\n\r\n")
            time.sleep(0.3)
            started = time.monotonic()
            self.assertEqual(server.stop(), 0)
            self.assertLess(time.monotonic() - started, 5)
            try:
                received = s.recv(1)
            except ConnectionError:
                received = b""
            self.assertEqual(received, b"", "closed, with not a byte of an answer")

    def test_a_stall_of_some_seconds_then_answers_as_scripted(self):
        started = time.monotonic()
        status, _, body = self.get("/late")
        self.assertEqual((status, body), ("HTTP/1.1 200 OK", b"late"))
        self.assertGreaterEqual(time.monotonic() - started, 0.35)

    def test_head_gets_no_body(self):
        status, headers, body = split_answer(raw_request(self.base, "HEAD", "/doc"))
        self.assertEqual(status, "HTTP/1.1 200 OK")
        self.assertEqual(headers["content-length"], "7")
        self.assertEqual(body, b"")


class Control(unittest.TestCase):
    def setUp(self):
        with tempfile.NamedTemporaryFile("w", suffix=".json", delete=False) as f:
            json.dump({"/fixed": {"text": "fixed"}}, f)
        self.addCleanup(os.unlink, f.name)
        self.server = ServerProcess("--script", f.name)
        self.addCleanup(self.server.stop)
        self.base = self.server.base

    def control(self, target, method="GET", body=b""):
        return split_answer(raw_request(self.base, method, "/_control/" + target, body=body))

    def test_the_log_holds_requests_as_received_and_no_control_requests(self):
        before = time.time()
        raw_request(self.base, "GET", "/a/b?x=1&y=%41", headers=[("User-Agent", "probe/1"), ("X-Two", "a: b")])
        time.sleep(0.05)
        raw_request(self.base, "POST", "/p", body=b"\x00body")
        after = time.time()
        _, headers, text = self.control("requests")
        self.assertTrue(headers["content-type"].startswith("text/plain"))
        host = self.base[len("http://"):]
        self.assertEqual(text.decode(), (
            "GET /a/b?x=1&y=%%41 HTTP/1.1\nHost: %s\nConnection: close\nUser-Agent: probe/1\nX-Two: a: b\n\n"
            "POST /p HTTP/1.1\nHost: %s\nConnection: close\nContent-Length: 5\n\n") % (host, host))
        _, _, data = self.control("requests.json")
        log = json.loads(data)
        self.assertEqual([(r["method"], r["target"], r["body_hex"]) for r in log],
                         [("GET", "/a/b?x=1&y=%41", ""), ("POST", "/p", "00626f6479")])
        self.assertIn(["User-Agent", "probe/1"], log[0]["headers"])
        # Arrival times in order, each within the moments around its request.
        self.assertLessEqual(before, log[0]["time"])
        self.assertLess(log[0]["time"] + 0.04, log[1]["time"])
        self.assertLessEqual(log[1]["time"], after)

    def test_reset_forgets_requests_and_on_request_the_added_answers(self):
        self.assertEqual(self.control("script?path=/added&text=added")[2], b"ok\n")
        raw_request(self.base, "GET", "/added")
        self.assertEqual(self.control("reset")[2], b"ok\n")
        self.assertEqual(self.control("requests")[2], b"")
        self.assertEqual(split_answer(raw_request(self.base, "GET", "/added"))[2], b"added")
        self.control("reset?scripts=1")
        self.assertEqual(split_answer(raw_request(self.base, "GET", "/added"))[0], "HTTP/1.1 404 Not Found")
        self.assertEqual(split_answer(raw_request(self.base, "GET", "/fixed"))[2], b"fixed")

    def test_answers_added_by_get_and_by_post(self):
        self.control("script?path=%2Fq%3Fa%3D1&status=500&hex=c7d1&header=X-One:%201&header=X-Two:2"
                     "&length=none&http10=1")
        status, headers, body = split_answer(raw_request(self.base, "GET", "/q?a=1"))
        self.assertEqual(status, "HTTP/1.0 500 Internal Server Error")
        self.assertEqual((headers["x-one"], headers["x-two"], body), ("1", "2", b"\xc7\xd1"))
        self.assertNotIn("content-length", headers)
        self.assertEqual(split_answer(raw_request(self.base, "GET", "/q?a=2"))[0], "HTTP/1.1 404 Not Found")

        self.control("script", "POST", json.dumps({"/posted": {"generate": 10, "length": 3}}).encode())
        _, headers, body = split_answer(raw_request(self.base, "GET", "/posted"))
        self.assertEqual((headers["content-length"], body), ("3", bytes(range(10))))

    def test_bad_control_requests_are_refused(self):
        for target, method, body in [("script?text=no-path", "GET", b""),
                                     ("script?path=/x&length=huge", "GET", b""),
                                     ("script?path=/x&header=no-colon", "GET", b""),
                                     ("script", "POST", b"{not json"),
                                     ("script", "POST", b'{"/x": {"hex": "zz"}}')]:
            with self.subTest(target=target, body=body):
                status, _, text = self.control(target, method, body)
                self.assertEqual(status, "HTTP/1.1 400 Bad Request")
                self.assertTrue(text.startswith(b"bad script"))
        self.assertEqual(self.control("nothing")[0], "HTTP/1.1 404 Not Found")


if __name__ == "__main__":
    unittest.main()
