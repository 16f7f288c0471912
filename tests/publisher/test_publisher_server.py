"""Tests of the stand-in publisher server (tools/publisher/publisher_server.py)."""

import http.client
import json
import os
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TOOL = os.path.join(HERE, "..", "..", "tools", "publisher", "publisher_server.py")
sys.path.insert(0, os.path.dirname(TOOL))

import publisher_server as ps  # noqa: E402

URL = "http://www.quenrix.com.tr/Kur/{}Setup.exe"


class ServerCase(unittest.TestCase):
    """Runs a server in this process, serving a sample program of 300,001 bytes."""

    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.sample = os.path.join(self.work.name, "sample.exe")
        self.data = bytes((i * 7 + i // 251) & 0xFF for i in range(300_001))
        with open(self.sample, "wb") as handle:
            handle.write(self.data)
        self.log_path = os.path.join(self.work.name, "requests.jsonl")
        self.start()

    def start(self, **settings):
        root, _ = ps.prepare_root(os.path.join(self.work.name, "site"), self.sample)
        initial = ps.Settings()
        initial.update(settings)
        self.server = ps.PublisherServer(("127.0.0.1", 0), root, initial, ps.RequestLog(self.log_path))
        self.thread = threading.Thread(target=self.server.serve_forever, kwargs={"poll_interval": 0.05})
        self.thread.start()

    def tearDown(self):
        self.server.stop()
        self.thread.join(5)
        self.assertFalse(self.thread.is_alive())
        self.work.cleanup()

    def connection(self, timeout=10):
        return http.client.HTTPConnection("127.0.0.1", self.server.port, timeout=timeout)

    def fetch(self, url, method="GET", headers=None):
        conn = self.connection()
        try:
            conn.request(method, url, headers=headers or {})
            response = conn.getresponse()
            return response.status, dict(response.getheaders()), response.read()
        finally:
            conn.close()

    def control(self, action, body=None, query=""):
        conn = self.connection()
        try:
            if body is None:
                conn.request("GET", f"/_control/{action}" + (f"?{query}" if query else ""))
            else:
                conn.request("POST", f"/_control/{action}", body=json.dumps(body),
                             headers={"Content-Type": "application/json"})
            response = conn.getresponse()
            body = response.read()
            return response.status, (json.loads(body) if response.status != 503 else None)
        finally:
            conn.close()

    def records(self):
        return self.control("requests")[1]

    def wait_for_records(self, count, seconds=5):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            status, records = self.control("requests")
            if status == 200 and len(records) >= count:
                return records
            time.sleep(0.05)
        self.fail(f"expected {count} records, got {self.records()}")


class Serving(ServerCase):
    def test_every_product_word_gets_the_sample_program(self):
        for word in ps.PRODUCT_WORDS:
            status, headers, body = self.fetch(URL.format(word))
            self.assertEqual(status, 200, word)
            self.assertEqual(headers["Content-Length"], str(len(self.data)))
            self.assertEqual(body, self.data, word)

    def test_origin_form_with_host_header_and_case_insensitive_names(self):
        status, _, body = self.fetch("/Kur/drivanoSETUP.exe", headers={"Host": "www.quenrix.com.tr"})
        self.assertEqual((status, body), (200, self.data))
        status, _, body = self.fetch("http://WWW.QUENRIX.COM.TR:80/Kur/NuvretaSetup.exe")
        self.assertEqual((status, body), (200, self.data))

    def test_unknown_paths_and_foreign_hosts_get_nothing_of_the_folder(self):
        with open(os.path.join(self.server.root, "secret.txt"), "w") as handle:
            handle.write("x")
        for path in ("/Kur/NopeSetup.exe", "/Kur/../secret.txt", "/secret.txt", "/Kur/%2e%2e/secret.txt",
                     "/Kur/Drivano/Setup.exe", "/Kur/DrivanoSetup.exe.bak"):
            status, _, body = self.fetch("http://www.quenrix.com.tr" + path)
            self.assertEqual(status, 404, path)
            self.assertNotEqual(body, b"x", path)
        status, _, _ = self.fetch("http://example.com/Kur/DrivanoSetup.exe")
        self.assertEqual(status, 502)

    def test_head_and_keep_alive(self):
        conn = self.connection()
        try:
            conn.request("HEAD", URL.format("Hestra"))
            response = conn.getresponse()
            self.assertEqual(response.status, 200)
            self.assertEqual(response.read(), b"")
            conn.request("GET", URL.format("Hestra"))
            self.assertEqual(conn.getresponse().read(), self.data)
        finally:
            conn.close()

    def test_padding_enlarges_the_served_program(self):
        self.control("settings", {"pad_to": 1_000_000})
        _, headers, body = self.fetch(URL.format("Sarvek"))
        self.assertEqual(len(body), 1_000_000)
        self.assertEqual(body[:len(self.data)], self.data)
        self.assertEqual(body[len(self.data):], bytes(1_000_000 - len(self.data)))

    def test_every_request_is_logged_as_a_json_line(self):
        self.fetch(URL.format("Lumiqo"))
        self.wait_for_records(1)  # a record is written when its answer is over, after the client has it
        self.fetch("http://www.quenrix.com.tr/Kur/NopeSetup.exe")
        records = self.wait_for_records(2)
        with open(self.log_path, encoding="utf-8") as handle:
            lines = [json.loads(line) for line in handle]
        self.assertEqual([r["path"] for r in lines], ["/Kur/LumiqoSetup.exe", "/Kur/NopeSetup.exe"])
        self.assertEqual(lines, records)
        first = lines[0]
        self.assertEqual((first["method"], first["host"], first["status"], first["outcome"], first["bytes_sent"]),
                         ("GET", "www.quenrix.com.tr", 200, "complete", len(self.data)))
        self.assertEqual(first["target"], URL.format("Lumiqo"))
        self.assertEqual(lines[1]["status"], 404)


class Misbehaviour(ServerCase):
    def test_error_statuses_send_a_page_not_the_program(self):
        for mode, status in (("404", 404), ("500", 500)):
            self.control("settings", {"mode": ["normal", mode]})
            got, headers, body = self.fetch(URL.format("Partelo"))
            self.assertEqual(got, status)
            self.assertIn(b"<html>", body)
            self.assertNotEqual(body, self.data)

    def test_html_mode_answers_200_with_a_page(self):
        self.control("set", query="mode=html")
        status, headers, body = self.fetch(URL.format("Partelo"))
        self.assertEqual(status, 200)
        self.assertTrue(headers["Content-Type"].startswith("text/html"))
        self.assertEqual(body, ps.HTML_PAGE)

    def test_no_length_answers_end_with_the_connection(self):
        self.control("set", query="mode=no-length")
        status, headers, body = self.fetch(URL.format("Drivano"))
        self.assertNotIn("Content-Length", headers)
        self.assertEqual(headers.get("Connection"), "close")
        self.assertEqual(body, self.data)

    def test_drop_cuts_the_body_short_of_its_announced_length(self):
        self.control("set", query="mode=drop")
        conn = self.connection()
        conn.request("GET", URL.format("Drivano"))
        response = conn.getresponse()
        self.assertEqual(response.getheader("Content-Length"), str(len(self.data)))
        with self.assertRaises(http.client.IncompleteRead) as caught:
            response.read()
        self.assertEqual(len(caught.exception.partial), len(self.data) // 2)
        conn.close()
        record = self.wait_for_records(1)[0]
        self.assertEqual((record["outcome"], record["bytes_sent"]), ("dropped", len(self.data) // 2))

    def test_stall_sends_some_bytes_then_nothing_until_the_client_leaves(self):
        self.control("settings", {"stall_after": 10_000})
        # A generous wait for what is sent, then a short one for the silence: a loaded machine
        # must not turn a late first piece into a false "stalled" answer.
        sock = socket.create_connection(("127.0.0.1", self.server.port), timeout=10.0)
        sock.sendall(f"GET {URL.format('Hestra')} HTTP/1.1\r\nHost: www.quenrix.com.tr\r\n\r\n".encode())
        received = b""
        while b"\r\n\r\n" not in received or len(received.partition(b"\r\n\r\n")[2]) < 10_000:
            piece = sock.recv(65536)
            self.assertTrue(piece, "the server must not close a stalled answer")
            received += piece
        sock.settimeout(1.0)
        with self.assertRaises(socket.timeout):
            while True:
                piece = sock.recv(65536)
                self.assertTrue(piece, "the server must not close a stalled answer")
                received += piece
        head, _, body = received.partition(b"\r\n\r\n")
        self.assertIn(b"Content-Length: 300001", head)
        self.assertEqual(body, self.data[:10_000])
        self.assertEqual(self.records(), [])  # still stalled: not finished
        sock.close()
        record = self.wait_for_records(1)[0]
        self.assertEqual((record["outcome"], record["bytes_sent"]), ("stalled", 10_000))

    def test_slow_mode_paces_the_body(self):
        self.control("settings", {"mode": "slow", "pad_to": 400_000})
        conn = self.connection()
        conn.request("GET", URL.format("Sarvek"))
        response = conn.getresponse()
        arrivals = []
        started = time.monotonic()
        body = b""
        while True:
            piece = response.read1(1 << 20)
            if not piece:
                break
            body += piece
            arrivals.append(time.monotonic() - started)
        conn.close()
        self.assertEqual(len(body), 400_000)
        self.assertGreaterEqual(len(arrivals), 4)  # seven paced writes cannot arrive as one
        self.assertGreaterEqual(arrivals[-1], 6 * 0.05 * 0.9)

    def test_a_client_that_leaves_mid_body_does_not_hurt_the_server(self):
        self.control("settings", {"pace_bytes": 4096, "pace_ms": 20})
        sock = socket.create_connection(("127.0.0.1", self.server.port), timeout=5)
        sock.sendall(f"GET {URL.format('Hestra')} HTTP/1.1\r\nHost: x\r\n\r\n".encode())
        sock.recv(100)
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
        sock.close()
        record = self.wait_for_records(1)[0]
        self.assertEqual(record["outcome"], "client-gone")
        self.control("set", query="mode=normal")
        self.assertEqual(self.fetch(URL.format("Hestra"))[2], self.data)

    def test_connections_beyond_the_bound_are_refused_politely(self):
        self.server.slots, self.server.connection_bound = threading.BoundedSemaphore(2), 2
        self.control("settings", {"stall_after": 100})
        held = []
        for _ in range(2):
            sock = socket.create_connection(("127.0.0.1", self.server.port), timeout=5)
            sock.sendall(f"GET {URL.format('Hestra')} HTTP/1.1\r\nHost: x\r\n\r\n".encode())
            sock.recv(100)
            held.append(sock)
        conn = self.connection()
        conn.request("GET", URL.format("Hestra"))
        self.assertEqual(conn.getresponse().status, 503)
        conn.close()
        for sock in held:
            sock.close()
        self.wait_for_records(2)
        deadline = time.monotonic() + 5
        status = None
        while status != 200 and time.monotonic() < deadline:  # slots come back once the stalls end
            time.sleep(0.05)
            conn = self.connection()
            conn.request("POST", "/_control/reset", body=b"")
            status = conn.getresponse().status
            conn.close()
        self.assertEqual(self.fetch(URL.format("Hestra"))[2], self.data)


class Control(ServerCase):
    def test_settings_change_at_run_time_and_reset_to_the_start_values(self):
        status, settings = self.control("settings", {"mode": ["slow", "no-length"], "status": 500})
        self.assertEqual(status, 200)
        self.assertEqual((settings["pace_bytes"], settings["pace_ms"], settings["content_length"],
                          settings["status"]), (65536, 50, False, 500))
        self.assertEqual(self.control("settings")[1], settings)
        self.assertEqual(self.fetch(URL.format("Drivano"))[0], 500)
        status, settings = self.control("reset", {})
        self.assertEqual(settings, ps.Settings().as_dict())
        self.assertEqual(self.fetch(URL.format("Drivano"))[0], 200)

    def test_bad_values_are_refused_and_change_nothing(self):
        before = self.control("settings")[1]
        for bad in ({"status": 99}, {"status": "abc"}, {"mode": "explode"}, {"colour": 1},
                    {"pace_ms": 1, "pad_to": -5}, {"body": "pdf"}, [1, 2], {"content_length": "maybe"}):
            status, answer = self.control("settings", bad)
            self.assertEqual(status, 400, bad)
            self.assertIn("error", answer)
        self.assertEqual(self.control("settings")[1], before)
        conn = self.connection()
        conn.request("POST", "/_control/settings", body=b"{not json")
        self.assertEqual(conn.getresponse().status, 400)
        conn.close()
        self.assertEqual(self.control("nothing-here")[0], 404)

    def test_control_paths_on_the_publisher_host_are_just_missing_files(self):
        status, _, _ = self.fetch("http://www.quenrix.com.tr/_control/set?status=500")
        self.assertEqual(status, 404)
        self.assertEqual(self.control("settings")[1]["status"], 200)

    def test_request_list_can_be_cleared(self):
        self.fetch(URL.format("Drivano"))
        self.wait_for_records(1)
        self.control("clear", {})
        self.assertEqual(self.records(), [])


class Process(unittest.TestCase):
    def test_picks_a_port_prints_it_and_stops_on_a_signal(self):
        with tempfile.TemporaryDirectory() as work:
            sample = os.path.join(work, "s.exe")
            with open(sample, "wb") as handle:
                handle.write(b"MZ" + bytes(5000))
            port_file = os.path.join(work, "port")
            log = os.path.join(work, "log.jsonl")
            child = subprocess.Popen([sys.executable, TOOL, "--port", "0", "--sample", sample, "--log", log,
                                      "--port-file", port_file, "--mode", "stall", "--stall-after", "10"],
                                     stdout=subprocess.PIPE, text=True)
            try:
                line = child.stdout.readline().split()
                self.assertEqual(line[:2], ["listening", "127.0.0.1"])
                port = int(line[2])
                with open(port_file) as handle:
                    self.assertEqual(int(handle.read()), port)
                stalled = socket.create_connection(("127.0.0.1", port), timeout=5)
                stalled.sendall(f"GET {URL.format('Drivano')} HTTP/1.1\r\nHost: x\r\n\r\n".encode())
                received = b""
                while not received.endswith(b"\r\n\r\nMZ" + bytes(8)):  # headers and the 10 bytes
                    piece = stalled.recv(1000)
                    self.assertTrue(piece, received)
                    received += piece
                child.send_signal(signal.SIGTERM)
                self.assertEqual(child.wait(10), 0)  # a stalled client does not keep it alive
                stalled.close()
                with open(log) as handle:
                    self.assertEqual(json.loads(handle.readline())["outcome"], "stalled")
            finally:
                if child.poll() is None:
                    child.kill()
                    child.wait()
                child.stdout.close()

    def test_bad_command_line_values_are_refused(self):
        for arguments, complaint in ((["--status", "42"], "outside"), (["--sample", "/no/such/file"], "/no/such/file")):
            result = subprocess.run([sys.executable, TOOL, *arguments], capture_output=True, text=True, timeout=30)
            self.assertEqual(result.returncode, 2, arguments)
            self.assertIn(complaint, result.stderr)
            self.assertNotIn("Traceback", result.stderr)


if __name__ == "__main__":
    unittest.main()
