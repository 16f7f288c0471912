"""Drives Windows programs of a build folder under Wine and Xvfb for end-to-end tests:
starts them through the project's launcher, lists windows with the window probe, clicks
with xdotool and takes screenshots."""
import json
import os
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run")


def build_dir():
    path = os.environ.get("QX_BUILD_DIR")
    if not path:
        raise RuntimeError("QX_BUILD_DIR names the build folder of the Windows programs")
    return path


# The system dpi of the session: None for the build's own prefix (96 dpi); 120, 144, 192...
# for the prefix of that display scale (made once per build by the launcher, on a screen of
# its own large enough for a window at 200 %).
DPI = None


def use_dpi(dpi):
    """Runs what follows in the prefix of system dpi dpi (None or 96: the build's own)."""
    global DPI
    DPI = None if dpi in (None, 96) else int(dpi)


def display_num():
    num = int(os.environ.get("QX_DISPLAY_NUM", "77"))
    if DPI:
        return int(os.environ.get("QX_SCALED_DISPLAY_NUM", str(num + 100)))
    return num


def display():
    return ":%d" % display_num()


# A Wine session of its own (set by tests that run the program inside Linux namespaces):
# commands are prefixed with WRAP (for example nsenter) and use the prefix PREFIX.
WRAP = []
PREFIX = None


def prefix():
    if PREFIX:
        return PREFIX
    return os.path.join(build_dir(), "wineprefix-dpi%d" % DPI if DPI else "wineprefix")


def env(extra=None):
    e = dict(os.environ)
    e["QX_BUILD_DIR"] = build_dir()
    e["DISPLAY"] = display()
    e["WINEPREFIX"] = prefix()
    e["QX_WINEPREFIX"] = prefix()
    e["QX_DPI"] = str(DPI or 96)
    if DPI:
        e["QX_SCALED_DISPLAY_NUM"] = str(display_num())
    e.setdefault("WINEDEBUG", "-all")
    if extra:
        e.update(extra)
    return e


def program(relative):
    return os.path.join(build_dir(), relative)


def start(exe, args=(), cwd=None, extra_env=None):
    """Starts a Windows program; returns the Popen of its launcher."""
    return subprocess.Popen([*WRAP, WINE_RUN, exe, *args], cwd=cwd or build_dir(), env=env(extra_env),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def run(exe, args=(), timeout=120, extra_env=None):
    """Runs a console program to its end. Its output goes through files, not pipes: Wine's
    helper processes inherit the standard handles and would keep a pipe open long after."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        proc = subprocess.run([*WRAP, WINE_RUN, exe, *args], env=env(extra_env), stdout=out, stderr=err,
                              stdin=subprocess.DEVNULL, timeout=timeout)
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(proc.args, proc.returncode, out.read().decode("utf-8", "replace"),
                                           err.read().decode("utf-8", "replace"))


def windows():
    out = run(program("tests/tools/winprobe.exe"), ["list"], timeout=60).stdout
    result = []
    for line in out.splitlines():
        line = line.strip()
        if line.startswith("{"):
            try:
                result.append(json.loads(line))
            except json.JSONDecodeError:
                pass
    return result


def probe(command, *args):
    return run(program("tests/tools/winprobe.exe"), [command, *map(str, args)], timeout=60)


def query(message, windows):
    """Sends a message without parameters to each window; its answers, in order."""
    if not windows:
        return []
    out = probe("query", message, *[w["hwnd"] for w in windows]).stdout.split()
    return [int(v) for v in out]


def focus(window):
    """The window that has the keyboard focus in window's thread, as the platform reports it."""
    out = probe("focus", window["hwnd"]).stdout.strip()
    return json.loads(out)["focus"] if out.startswith("{") else None


def accessible(window, role=None):
    """What the platform's accessibility interface tells of window's client object: role, name,
    value, state, default action, shortcut, location, and its children (simple ones and child
    windows' client objects). With role: only the simple children of that role, which costs the
    window fewest calls (a window busy with a transfer answers them slowly)."""
    out = probe("acc", window["hwnd"], *([role] if role else [])).stdout.strip()
    return json.loads(out) if out.startswith("{") else None


def accessible_tree(window):
    """The window's client object with its children, child windows' objects nested in them,
    as a screen reader walking the window meets them."""
    out = probe("acctree", window["hwnd"]).stdout.strip()
    return json.loads(out) if out.startswith("{") else None


def keys(*names, delay=120):
    """Presses keys on the keyboard (xdotool key names, "shift+Tab" say), one after another."""
    xdotool("key", "--delay", delay, *names)


def wait_for(predicate, timeout=60.0, interval=0.5, what="a condition"):
    deadline = time.time() + timeout
    last = None
    while time.time() < deadline:
        last = predicate()
        if last:
            return last
        time.sleep(interval)
    raise AssertionError(f"timed out waiting for {what}")


def top_windows(title=None, cls=None):
    ws = windows()
    return [w for w in ws if w["hwnd"] == w["top"] and w["visible"]
            and (title is None or w["text"] == title) and (cls is None or w["class"] == cls)]


def skinned_top(title, cls=None):
    """The visible top-level window of that title once the skin engine has fitted its frame (it
    then has its window region), or None."""
    tops = top_windows(title, cls)
    return tops[0] if tops and tops[0].get("region") else None


def children(top, all_windows=None):
    ws = all_windows if all_windows is not None else windows()
    return [w for w in ws if w["top"] == top["hwnd"] and w["hwnd"] != top["hwnd"]]


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], env=env(), check=True, capture_output=True, timeout=30)


def click(x, y):
    xdotool("mousemove", int(x), int(y))
    time.sleep(0.15)
    xdotool("click", "1")


def click_center(window):
    l, t, r, b = window["rect"]
    click((l + r) // 2, (t + b) // 2)


def screen_size():
    out = subprocess.run(["xdotool", "getdisplaygeometry"], env=env(), capture_output=True, text=True,
                         timeout=30).stdout.split()
    return int(out[0]), int(out[1])


def screenshot(path, window=None):
    args = ["/usr/bin/import", "-window", "root"]
    if window:
        l, t, r, b = window["rect"]
        args += ["-crop", f"{r - l}x{b - t}+{l}+{t}"]
    subprocess.run(args + [path], env=env(), check=True, timeout=60)


def pixel(path, x, y):
    out = subprocess.run(["/usr/bin/convert", path, "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:"],
                         capture_output=True, text=True, timeout=60).stdout
    # "0,0: (r,g,b)  #RRGGBB  srgb(...)"
    # (the header line begins with a lone "#")
    hexpart = [tok for tok in out.split() if tok.startswith("#") and len(tok) >= 7][0]
    return tuple(int(hexpart[i:i + 2], 16) for i in (1, 3, 5))


def kill_all():
    subprocess.run([*WRAP, "wineserver", "-k"], env=env(), capture_output=True, timeout=60)
    # A program started while the old server is still going down can hang on it: wait for it to end.
    try:
        subprocess.run([*WRAP, "wineserver", "-w"], env=env(), capture_output=True, timeout=30)
    except subprocess.TimeoutExpired:
        pass
    time.sleep(0.5)


def test_certificates():
    """The folder of the test certificates (scripts/test-certs), made once per build folder, with
    their root trusted in the current prefix."""
    certs = os.path.join(build_dir(), "test-certs")
    subprocess.run([os.path.join(ROOT, "scripts", "test-certs"), certs], check=True, timeout=120)
    tool = program("tests/tools/testtrust.exe")
    subprocess.run(["bash", "-c", '. "$0"/scripts/lib.sh && qx_trust_test_root "$1" "$2" "$3"', ROOT, certs, prefix(),
                    tool], env=env(), check=True, timeout=300, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return certs


def signed_program(source, who="quenrix", pad_to=0, name=None):
    """source signed with a test certificate (quenrix, other or selfsigned), first padded to
    pad_to bytes; made again when the source is newer."""
    certs = test_certificates()
    base = os.path.splitext(os.path.basename(source))[0]
    out = os.path.join(certs, name or f"{base}-{who}{'-' + str(pad_to) if pad_to else ''}.exe")
    if not os.path.exists(out) or os.path.getmtime(out) < os.path.getmtime(source) or \
            os.path.getmtime(out) < os.path.getmtime(os.path.join(certs, "quenrix.p12")):
        subprocess.run(["bash", "-c", '. "$0"/scripts/lib.sh && qx_sign_test_program "$@"', ROOT, source, out, certs,
                        who, str(pad_to)], check=True, timeout=120)
    return out


def signed_sample(who="quenrix", pad_to=0):
    """The sample setup program, signed as the publisher's are."""
    return signed_program(program("src/samplesetup/SampleSetup.exe"), who, pad_to)


class Publisher:
    """The test publisher server, started on a free port for the whole test class. With root,
    it serves the setup programs in that folder, which a test may change between transfers."""

    def __init__(self, sample, log, root=None):
        script = os.path.join(ROOT, "tools", "publisher", "publisher_server.py")
        command = [sys.executable, script, "--port", "0", "--log", log]
        if sample:
            command += ["--sample", sample]
        if root:
            command += ["--root", root]
        self.proc = subprocess.Popen(command, stdout=subprocess.PIPE, text=True)
        line = []
        reader = threading.Thread(target=lambda: line.append(self.proc.stdout.readline()), daemon=True)
        reader.start()
        reader.join(30)
        words = line[0].split() if line else []
        if len(words) != 3 or words[0] != "listening":
            self.stop()
            raise RuntimeError("the publisher server did not start")
        self.port = int(words[2])
        self.opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))

    def control(self, path, settings=None):
        data = json.dumps(settings).encode() if settings is not None else b"" if path in ("reset", "clear") else None
        request = urllib.request.Request(f"http://127.0.0.1:{self.port}/_control/{path}", data=data,
                                         method="GET" if data is None else "POST")
        with self.opener.open(request, timeout=30) as answer:
            return json.loads(answer.read() or b"null")

    def setup_gets(self):
        return [r for r in self.control("requests") if r.get("method") == "GET" and r.get("path", "").startswith("/Kur/")]

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc.stdout.close()
