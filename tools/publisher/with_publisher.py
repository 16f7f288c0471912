#!/usr/bin/env python3
"""Runs a command with the test publisher server as its HTTP proxy.

    with_publisher.py [--sample PROGRAM] [--log FILE] [--server-arg ARG ...] -- COMMAND [ARGS...]

Starts publisher_server.py on a free port, gives the command http_proxy/HTTP_PROXY pointing
at it (and no no_proxy, so loopback control URLs reach it too), QX_PUBLISHER_PORT with the
port and QX_PUBLISHER_SAMPLE with the served program, waits for the command and stops the
server. The exit status is the command's.
"""

import argparse
import os
import signal
import subprocess
import sys
import threading

HERE = os.path.dirname(os.path.abspath(__file__))


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--sample", help="program served as every <Word>Setup.exe")
    parser.add_argument("--log", help="JSON-lines request log of the server")
    parser.add_argument("--server-arg", action="append", default=[], help="further argument for the server")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    arguments = parser.parse_args()
    command = arguments.command[1:] if arguments.command[:1] == ["--"] else arguments.command
    if not command:
        parser.error("no command given")

    server_command = [sys.executable, os.path.join(HERE, "publisher_server.py"), "--port", "0"]
    if arguments.sample:
        server_command += ["--sample", arguments.sample]
    if arguments.log:
        server_command += ["--log", arguments.log]
    server_command += arguments.server_arg
    server = subprocess.Popen(server_command, stdout=subprocess.PIPE, text=True)
    try:
        line = []
        reader = threading.Thread(target=lambda: line.append(server.stdout.readline()), daemon=True)
        reader.start()
        reader.join(30)
        words = line[0].split() if line else []
        if len(words) != 3 or words[0] != "listening":
            print("with_publisher: the server did not start", file=sys.stderr)
            return 1
        port = words[2]
        environment = dict(os.environ)
        for name in ("no_proxy", "NO_PROXY", "https_proxy", "HTTPS_PROXY"):
            environment.pop(name, None)
        proxy = f"http://127.0.0.1:{port}"
        environment.update(http_proxy=proxy, HTTP_PROXY=proxy, QX_PUBLISHER_PORT=port)
        if arguments.sample:
            environment["QX_PUBLISHER_SAMPLE"] = os.path.abspath(arguments.sample)
        return subprocess.call(command, env=environment)
    finally:
        if server.poll() is None:
            server.send_signal(signal.SIGTERM)
            try:
                server.wait(10)
            except subprocess.TimeoutExpired:
                server.kill()
                server.wait()
        server.stdout.close()


if __name__ == "__main__":
    sys.exit(main())
