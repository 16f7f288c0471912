#!/usr/bin/env python3
"""A stand-in for the publisher's web server, for tests of the installer.

The installer is pointed at it as its HTTP proxy (http_proxy=http://127.0.0.1:PORT), so
its fixed URLs arrive here as absolute-URI requests. It serves /Kur/<Word>Setup.exe from a
folder, writes one JSON line per request to a log, and can misbehave on purpose (error
status, dropped or stalled connection, slow pacing, no Content-Length, an HTML page) so
that every failure path of a transfer can be driven without a network. The behaviour can
be changed while it runs through /_control/ requests on the same port.

Python 3 standard library only.
"""

from __future__ import annotations

import argparse
import dataclasses
import http.server
import json
import os
import re
import select
import shutil
import signal
import socket
import socketserver
import sys
import tempfile
import threading
import time
import urllib.parse
from typing import Any, Optional

PUBLISHER_HOST = "www.quenrix.com.tr"
PRODUCT_WORDS = ("Drivano", "Hestra", "Partelo", "Lumiqo", "Sarvek", "Nuvreta")
SETUP_PATH = re.compile(r"^/Kur/([A-Za-z0-9]{1,64})Setup\.exe$", re.IGNORECASE)
CONTROL_PREFIX = "/_control/"

# Bounds that keep a misbehaving client from exhausting the test machine.
MAX_CONNECTIONS = 32
MAX_REQUEST_BODY = 64 * 1024
READ_TIMEOUT_SECONDS = 30.0
MAX_RECORDS_IN_MEMORY = 2000
MAX_PAD_TO = 512 * 1024 * 1024
MAX_PACE_MS = 10_000
MAX_STALL_SECONDS = 3600.0

HTML_PAGE = (b"<!DOCTYPE html>\n<html><head><title>Bakim</title></head>"
             b"<body><h1>Sitemiz bakimdadir</h1><p>Lutfen daha sonra tekrar deneyiniz.</p>"
             b"</body></html>\n")

MODES = ("normal", "404", "500", "drop", "stall", "slow", "no-length", "html")


class ServerStopping(Exception):
    """Raised inside an answer when the server is told to stop."""


@dataclasses.dataclass
class Settings:
    """How the next answers are made. Byte counts of -1 mean "half of the body"."""

    status: int = 200
    body: str = "file"             # "file" or "html"
    content_length: bool = True
    drop_after: Optional[int] = None
    stall_after: Optional[int] = None
    stall_seconds: float = 300.0
    pace_bytes: int = 0            # 0: write the body at once
    pace_ms: int = 0
    pad_to: int = 0                # serve files padded with zero bytes up to this size

    def apply_mode(self, mode: str) -> None:
        if mode == "normal":
            fresh = Settings()
            fresh.stall_seconds = self.stall_seconds
            self.__dict__.update(fresh.__dict__)
        elif mode in ("404", "500"):
            self.status = int(mode)
        elif mode == "drop":
            self.drop_after = -1
        elif mode == "stall":
            self.stall_after = -1
        elif mode == "slow":
            self.pace_bytes, self.pace_ms = 64 * 1024, 50
        elif mode == "no-length":
            self.content_length = False
        elif mode == "html":
            self.body = "html"
        else:
            raise ValueError(f"unknown mode {mode!r} (known: {', '.join(MODES)})")

    def update(self, values: dict[str, Any]) -> None:
        """Applies a partial update; checks everything before changing anything."""
        if not isinstance(values, dict):
            raise ValueError("settings must be a JSON object")
        trial = dataclasses.replace(self)
        modes = values.get("mode", [])
        if isinstance(modes, str):
            modes = [m for m in modes.split(",") if m]
        if not isinstance(modes, list):
            raise ValueError("mode must be a text or a list of texts")
        for mode in modes:
            trial.apply_mode(str(mode))
        for key, value in values.items():
            if key == "mode":
                continue
            if key not in FIELD_PARSERS:
                raise ValueError(f"unknown setting {key!r}")
            setattr(trial, key, FIELD_PARSERS[key](value))
        self.__dict__.update(trial.__dict__)

    def as_dict(self) -> dict[str, Any]:
        return dataclasses.asdict(self)


def _parse_int(low: int, high: int, optional: bool = False):
    def parse(value: Any) -> Optional[int]:
        if optional and (value is None or value in ("", "none", "off")):
            return None
        if isinstance(value, bool):
            raise ValueError("expected a number")
        number = int(value)
        if not low <= number <= high:
            raise ValueError(f"{number} is outside {low}..{high}")
        return number
    return parse


def _parse_bool(value: Any) -> bool:
    if isinstance(value, bool):
        return value
    text = str(value).lower()
    if text in ("1", "true", "yes", "on"):
        return True
    if text in ("0", "false", "no", "off"):
        return False
    raise ValueError(f"expected a boolean, got {value!r}")


def _parse_body(value: Any) -> str:
    if value not in ("file", "html"):
        raise ValueError("body must be 'file' or 'html'")
    return value


def _parse_seconds(value: Any) -> float:
    seconds = float(value)
    if not 0 <= seconds <= MAX_STALL_SECONDS:
        raise ValueError(f"stall_seconds must lie in 0..{MAX_STALL_SECONDS}")
    return seconds


FIELD_PARSERS = {
    "status": _parse_int(100, 599),
    "body": _parse_body,
    "content_length": _parse_bool,
    "drop_after": _parse_int(-1, MAX_PAD_TO, optional=True),
    "stall_after": _parse_int(-1, MAX_PAD_TO, optional=True),
    "stall_seconds": _parse_seconds,
    "pace_bytes": _parse_int(0, 64 * 1024 * 1024),
    "pace_ms": _parse_int(0, MAX_PACE_MS),
    "pad_to": _parse_int(0, MAX_PAD_TO),
}


class RequestLog:
    """Every request, kept in memory (bounded) and appended to a JSON-lines file."""

    def __init__(self, path: Optional[str]):
        self._lock = threading.Lock()
        self._records: list[dict[str, Any]] = []
        self._file = open(path, "a", encoding="utf-8") if path else None

    def add(self, record: dict[str, Any]) -> None:
        line = json.dumps(record, ensure_ascii=False, sort_keys=True)
        with self._lock:
            self._records.append(record)
            del self._records[:-MAX_RECORDS_IN_MEMORY]
            if self._file:
                self._file.write(line + "\n")
                self._file.flush()

    def records(self) -> list[dict[str, Any]]:
        with self._lock:
            return list(self._records)

    def clear(self) -> None:
        with self._lock:
            self._records.clear()

    def close(self) -> None:
        with self._lock:
            if self._file:
                self._file.close()
                self._file = None


class PublisherServer(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64

    def __init__(self, address, root: str, settings: Settings, log: RequestLog):
        self.root = root
        self.initial_settings = dataclasses.replace(settings)
        self.settings = settings
        self.settings_lock = threading.Lock()
        self.log = log
        self.stopping = threading.Event()
        self.connection_bound = MAX_CONNECTIONS
        self.slots = threading.BoundedSemaphore(MAX_CONNECTIONS)
        super().__init__(address, PublisherHandler)

    @property
    def port(self) -> int:
        return self.server_address[1]

    def current_settings(self) -> Settings:
        with self.settings_lock:
            return dataclasses.replace(self.settings)

    def process_request(self, request, client_address):
        if not self.slots.acquire(blocking=False):
            try:
                request.sendall(b"HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n"
                                b"Connection: close\r\n\r\n")
            except OSError:
                pass
            self.shutdown_request(request)
            return
        try:
            super().process_request(request, client_address)
        except Exception:
            self.slots.release()
            raise

    def process_request_thread(self, request, client_address):
        try:
            super().process_request_thread(request, client_address)
        finally:
            self.slots.release()

    def handle_error(self, request, client_address):
        # A client that goes away is part of the tests, not an error worth a traceback.
        kind = sys.exc_info()[0]
        if kind is not None and issubclass(kind, (ConnectionError, socket.timeout, TimeoutError)):
            return
        super().handle_error(request, client_address)

    def stop(self, grace_seconds: float = 3.0) -> None:
        """Ends serving; answers in progress get a moment to finish and be logged."""
        self.stopping.set()
        self.shutdown()
        self.server_close()
        slots = self.slots
        deadline = time.monotonic() + grace_seconds
        taken = 0
        while taken < self.connection_bound and slots.acquire(timeout=max(0.0, deadline - time.monotonic())):
            taken += 1
        for _ in range(taken):
            slots.release()
        self.log.close()

    def find_setup(self, word: str) -> Optional[str]:
        wanted = f"{word}Setup.exe"
        try:
            names = os.listdir(self.root)
        except OSError:
            return None
        if wanted in names:
            return os.path.join(self.root, wanted)
        for name in names:  # web servers of Windows hosts ignore case
            if name.lower() == wanted.lower():
                return os.path.join(self.root, name)
        return None


class PublisherHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "QuenrixPublisher/1.0"
    timeout = READ_TIMEOUT_SECONDS
    server: PublisherServer

    def log_message(self, format, *args):  # the JSON log says it all
        pass

    def do_GET(self):
        self._dispatch(send_body=True)

    def do_HEAD(self):
        self._dispatch(send_body=False)

    def do_POST(self):
        self._dispatch(send_body=True)

    # -- routing ----------------------------------------------------------------------

    def _target(self) -> tuple[str, str, str]:
        """Host, path and query of the request, for absolute and origin-form targets."""
        parts = urllib.parse.urlsplit(self.path)
        if parts.scheme:
            host = (parts.hostname or "").lower()
        else:
            host = (self.headers.get("Host") or "").split(":")[0].lower()
        return host, urllib.parse.unquote(parts.path or "/"), parts.query

    def _dispatch(self, send_body: bool) -> None:
        host, path, query = self._target()
        if path.startswith(CONTROL_PREFIX) and host != PUBLISHER_HOST:
            self._control(path[len(CONTROL_PREFIX):], query)
            return
        if self.command == "POST" or self.headers.get("Content-Length") or self.headers.get("Transfer-Encoding"):
            self.close_connection = True  # its body is never read
        record = {
            "time": round(time.time(), 3),
            "client": self.client_address[0],
            "method": self.command,
            "target": self.path,
            "host": host,
            "path": path,
            "user_agent": self.headers.get("User-Agent", ""),
            "headers": {k: v for k, v in self.headers.items()},
        }
        try:
            self._publisher(host, path, send_body, record)
        finally:
            self.server.log.add(record)

    # -- the publisher's answers ------------------------------------------------------

    def _publisher(self, host: str, path: str, send_body: bool, record: dict) -> None:
        settings = self.server.current_settings()
        record["settings"] = settings.as_dict()
        if host != PUBLISHER_HOST:
            # This is no open proxy: only the publisher's site is served.
            self._simple(502, b"only the publisher's host is served here\n", record)
            return
        match = SETUP_PATH.match(path) if self.command != "POST" else None
        data = None
        if match:
            data = self._load(match.group(1), settings)
        if data is None:
            self._simple(404, b"<html><body>404 Not Found</body></html>\n", record,
                         "text/html")
            return
        if settings.status != 200:
            page = f"<html><body>{settings.status} {self.responses.get(settings.status, ('',))[0]}</body></html>\n"
            self._simple(settings.status, page.encode(), record, "text/html")
            return
        if settings.body == "html":
            data, kind = HTML_PAGE, "text/html; charset=utf-8"
        else:
            kind = "application/octet-stream"
        self._stream(data, kind, settings, send_body, record)

    def _load(self, word: str, settings: Settings) -> Optional[bytes]:
        name = self.server.find_setup(word)
        if name is None:
            return None
        try:
            with open(name, "rb") as handle:
                data = handle.read(MAX_PAD_TO + 1)
        except OSError:
            return None
        if len(data) < settings.pad_to:
            data += bytes(settings.pad_to - len(data))
        return data

    def _simple(self, status: int, body: bytes, record: dict, kind: str = "text/plain") -> None:
        record["status"] = status
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        sent = 0
        if self.command != "HEAD":
            try:
                self.wfile.write(body)
                sent = len(body)
            except OSError:
                record["outcome"] = "client-gone"
        record["bytes_sent"] = sent
        record.setdefault("outcome", "complete")

    def _stream(self, data: bytes, kind: str, settings: Settings, send_body: bool,
                record: dict) -> None:
        total = len(data)

        def resolve(limit: Optional[int]) -> Optional[int]:
            if limit is None:
                return None
            return total // 2 if limit < 0 else min(limit, total)

        drop_at, stall_at = resolve(settings.drop_after), resolve(settings.stall_after)
        record["status"] = 200
        record["length"] = total
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Last-Modified", self.date_time_string(time.time() - 3600))
        self.send_header("Cache-Control", "no-cache")
        if settings.content_length:
            self.send_header("Content-Length", str(total))
        if not settings.content_length or drop_at is not None:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        self.body_sent = 0
        outcome = "complete"
        try:
            if send_body:
                end = total
                for limit in (drop_at, stall_at):
                    if limit is not None:
                        end = min(end, limit)
                self._write_paced(data, end, settings)
                if stall_at is not None and self.body_sent == stall_at:
                    outcome = "stalled"
                    self._stall(settings.stall_seconds)
                elif drop_at is not None and self.body_sent == drop_at:
                    outcome = "dropped"
                    self._drop()
        except ServerStopping:
            outcome = "server-stopped"
            self.close_connection = True
        except OSError:
            outcome = "client-gone"
            self.close_connection = True
        record["bytes_sent"] = self.body_sent
        record["outcome"] = outcome
        if outcome == "stalled":
            self.close_connection = True

    def _write_paced(self, data: bytes, end: int, settings: Settings) -> None:
        step = settings.pace_bytes if settings.pace_bytes > 0 else max(end, 1)
        view = memoryview(data)
        while self.body_sent < end:
            if self.server.stopping.is_set():
                raise ServerStopping()
            piece = view[self.body_sent:min(self.body_sent + step, end)]
            self.wfile.write(piece)
            self.body_sent += len(piece)
            if settings.pace_ms and self.body_sent < end:
                if self.server.stopping.wait(settings.pace_ms / 1000.0):
                    raise ServerStopping()

    def _stall(self, seconds: float) -> None:
        """Sends nothing more until the client gives up, the time is over or we stop."""
        deadline = time.monotonic() + seconds
        sock = self.connection
        while not self.server.stopping.is_set():
            left = deadline - time.monotonic()
            if left <= 0:
                break
            readable, _, _ = select.select([sock], [], [], min(left, 0.2))
            if readable:
                try:
                    if not sock.recv(4096):
                        break  # the client closed its side
                except OSError:
                    break

    def _drop(self) -> None:
        try:
            self.wfile.flush()
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.close_connection = True

    # -- the control interface --------------------------------------------------------

    def _control(self, action: str, query: str) -> None:
        try:
            raw = self._read_body()
            if action == "settings" and self.command == "GET" and not query:
                self._json(200, self.server.current_settings().as_dict())
            elif action in ("settings", "set"):
                values = self._control_values(raw, query)
                with self.server.settings_lock:
                    self.server.settings.update(values)
                    result = self.server.settings.as_dict()
                self._json(200, result)
            elif action == "reset":
                with self.server.settings_lock:
                    self.server.settings = dataclasses.replace(self.server.initial_settings)
                    result = self.server.settings.as_dict()
                self._json(200, result)
            elif action == "requests":
                self._json(200, self.server.log.records())
            elif action == "clear":
                self.server.log.clear()
                self._json(200, {"cleared": True})
            else:
                self._json(404, {"error": f"unknown control {action!r}"})
        except (ValueError, TypeError) as error:
            self._json(400, {"error": str(error)})

    def _read_body(self) -> bytes:
        """Reads a request body whole (so the connection stays usable), within bounds."""
        text = self.headers.get("Content-Length")
        if text is None:
            if self.headers.get("Transfer-Encoding"):
                self.close_connection = True
                raise ValueError("chunked control requests are not supported")
            return b""
        try:
            length = int(text)
        except ValueError:
            self.close_connection = True
            raise ValueError("bad Content-Length") from None
        if length < 0 or length > MAX_REQUEST_BODY:
            self.close_connection = True
            raise ValueError("control body too large")
        return self.rfile.read(length) if length else b""

    def _control_values(self, raw: bytes, query: str) -> dict[str, Any]:
        if self.command == "POST":
            if raw.strip():
                try:
                    return json.loads(raw)
                except json.JSONDecodeError as error:
                    raise ValueError(f"bad JSON: {error}") from None
        values: dict[str, Any] = {}
        for key, value in urllib.parse.parse_qsl(query, keep_blank_values=True):
            if key == "mode":
                values.setdefault("mode", []).append(value)
            else:
                values[key] = value
        return values

    def _json(self, status: int, value: Any) -> None:
        body = (json.dumps(value, ensure_ascii=False, indent=1) + "\n").encode()
        self.send_response(status)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)


def prepare_root(root: Optional[str], sample: Optional[str]) -> tuple[str, bool]:
    """The folder to serve; with a sample program, one copy per product word is put there.

    Returns the folder and whether it is a temporary one to delete at the end."""
    temporary = root is None
    folder = tempfile.mkdtemp(prefix="qx-publisher-") if temporary else root
    try:
        os.makedirs(folder, exist_ok=True)
        if sample:
            for word in PRODUCT_WORDS:
                target = os.path.join(folder, f"{word}Setup.exe")
                if not os.path.exists(target):
                    shutil.copyfile(sample, target)
    except OSError:
        if temporary:
            shutil.rmtree(folder, ignore_errors=True)
        raise
    return folder, temporary


def parse_arguments(argv: list[str]) -> argparse.Namespace:
    parser = argparse.ArgumentParser(
        description="Serves the publisher's setup programs to the installer through its proxy setting.")
    parser.add_argument("--bind", default="127.0.0.1", help="address to listen on (default 127.0.0.1)")
    parser.add_argument("--port", type=int, default=0, help="port; 0 picks a free one (default)")
    parser.add_argument("--port-file", help="also write the port to this file once listening")
    parser.add_argument("--root", help="folder holding <Word>Setup.exe files (default: a temporary folder)")
    parser.add_argument("--sample", help="program copied into the folder as <Word>Setup.exe for each product")
    parser.add_argument("--log", help="append one JSON line per request to this file")
    parser.add_argument("--mode", action="append", default=[], choices=MODES,
                        help="misbehaviour, may be repeated to combine: " + ", ".join(MODES))
    parser.add_argument("--status", type=int, help="HTTP status of setup answers")
    parser.add_argument("--drop-after", type=int, help="bytes of body before the connection is dropped (-1: half)")
    parser.add_argument("--stall-after", type=int, help="bytes of body before the server goes silent (-1: half)")
    parser.add_argument("--stall-seconds", type=float, help="how long a stalled answer is held (default 300)")
    parser.add_argument("--pace-bytes", type=int, help="bytes per paced write (0: all at once)")
    parser.add_argument("--pace-ms", type=int, help="pause between paced writes in milliseconds")
    parser.add_argument("--pad-to", type=int, help="pad served files with zero bytes up to this size")
    parser.add_argument("--lifetime", type=float, default=0,
                        help="stop by itself after this many seconds (0: run until signalled)")
    return parser.parse_args(argv)


def settings_from(arguments: argparse.Namespace) -> Settings:
    settings = Settings()
    values: dict[str, Any] = {"mode": arguments.mode}
    for key in ("status", "drop_after", "stall_after", "stall_seconds", "pace_bytes", "pace_ms", "pad_to"):
        value = getattr(arguments, key)
        if value is not None:
            values[key] = value
    settings.update(values)
    return settings


def main(argv: Optional[list[str]] = None) -> int:
    arguments = parse_arguments(sys.argv[1:] if argv is None else argv)
    try:
        settings = settings_from(arguments)
    except ValueError as error:
        print(f"publisher_server: {error}", file=sys.stderr)
        return 2
    try:
        root, temporary = prepare_root(arguments.root, arguments.sample)
        log = RequestLog(arguments.log)
        server = PublisherServer((arguments.bind, arguments.port), root, settings, log)
    except OSError as error:
        print(f"publisher_server: {error}", file=sys.stderr)
        return 2
    stop = threading.Event()

    def on_signal(signum, frame):
        stop.set()

    for name in ("SIGTERM", "SIGINT", "SIGHUP"):
        if hasattr(signal, name):
            signal.signal(getattr(signal, name), on_signal)
    serving = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
    serving.start()
    if arguments.port_file:
        partial = arguments.port_file + ".part"
        with open(partial, "w") as handle:
            handle.write(f"{server.port}\n")
        os.replace(partial, arguments.port_file)
    print(f"listening {arguments.bind} {server.port}", flush=True)
    try:
        stop.wait(arguments.lifetime if arguments.lifetime > 0 else None)
    finally:
        server.stop()
        serving.join(timeout=5)
        if temporary:
            shutil.rmtree(root, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
