#!/usr/bin/env python3
"""A scripted HTTP server that replays canned answers, with faults.

Each case of a JSON file is one canned answer, chosen by the first segment
of the request path ("/name" or "/name/more?query"; a proxy request's
"http://host/name" counts as "/name"). A case may delay its
answer, cut the connection after some bytes, or stall; the answer may hold
any bytes, malformed status and header lines included. The bytes of every
request are recorded in <state>/requests/<name>.req (the last request of the
case), so that a test can check what its client sent.

    faultserver.py start <state dir> <port> <cases.json>   (background)
    faultserver.py stop  <state dir>
    faultserver.py serve <state dir> <port> <cases.json>   (foreground)

Case fields:
    reply           list of parts: a text (sent as Latin-1 bytes), or
                    {"repeat": text, "count": n}, or {"pattern": n} for n body
                    bytes of the pattern byte(i) = i % 251
    delay_ms        wait before the answer
    cut_after       send only the first n bytes of the answer, then close
    cut_after_body  the same, counted from the end of the answer's header
    stall_after     send the first n bytes, then nothing for stall_ms
                    (default 30000) before closing
    keep_alive      true: after a complete answer, wait for the next request
                    on the same connection (default: close)
    drip_after      send the first n bytes, then the rest one byte every
                    drip_ms (default 1000): a server that holds its client
    drip_lines      true: drip a line (up to its line feed) at a time
                    instead of a byte: header lines that trickle in
    flood           after the reply, send n more bytes of flood_text (default
                    "x") repeated, stopping early when the client closes: a
                    server that keeps sending past what it announced
"""

import json
import os
import signal
import socket
import socketserver
import subprocess
import sys
import threading
import time


def build_reply(parts):
    out = bytearray()
    for part in parts:
        if isinstance(part, str):
            out += part.encode("latin-1")
        elif "repeat" in part:
            out += part["repeat"].encode("latin-1") * int(part["count"])
        elif "pattern" in part:
            out += bytes(i % 251 for i in range(int(part["pattern"])))
        else:
            raise ValueError("unknown reply part: %r" % (part,))
    return bytes(out)


def read_request(conn):
    """The bytes of one request up to its empty line; b"" when the peer closed."""
    data = bytearray()
    while b"\r\n\r\n" not in data and len(data) < 65536:
        chunk = conn.recv(4096)
        if not chunk:
            return bytes(data)
        data += chunk
    return bytes(data)


def case_name(request):
    line = request.split(b"\r\n", 1)[0].decode("latin-1")
    fields = line.split(" ")
    path = fields[1] if len(fields) > 1 else ""
    path = path.split("?", 1)[0]
    if "://" in path:  # the absolute form that a client sends to a proxy
        path = path.split("://", 1)[1].partition("/")[2]
    return path.lstrip("/").split("/", 1)[0]


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        conn = self.request
        conn.settimeout(60)
        try:
            while self.serve_one(conn):
                pass
        except (OSError, socket.timeout):
            pass

    def serve_one(self, conn):
        request = read_request(conn)
        if not request:
            return False
        name = case_name(request)
        safe = "".join(c for c in name if c.isalnum() or c in "-_.") or "_root"
        with open(os.path.join(self.server.state, "requests", safe + ".req"), "wb") as f:
            f.write(request)
        case = self.server.cases.get(name)
        if case is None:
            conn.sendall(b"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\nnot found")
            return False
        reply = build_reply(case.get("reply", []))
        time.sleep(case.get("delay_ms", 0) / 1000.0)
        limit = None
        if "cut_after" in case:
            limit = int(case["cut_after"])
        elif "cut_after_body" in case:
            limit = reply.index(b"\r\n\r\n") + 4 + int(case["cut_after_body"])
        elif "stall_after" in case:
            conn.sendall(reply[: int(case["stall_after"])])
            time.sleep(case.get("stall_ms", 30000) / 1000.0)
            return False
        elif "drip_after" in case:
            drip(conn, reply, int(case["drip_after"]), case.get("drip_ms", 1000) / 1000.0,
                 bool(case.get("drip_lines", False)))
            return False
        conn.sendall(reply if limit is None else reply[:limit])
        if limit is not None:
            return False
        if "flood" in case:
            flood(conn, int(case["flood"]), case.get("flood_text", "x").encode("latin-1"))
            return False
        return bool(case.get("keep_alive", False))


def drip(conn, reply, first, pause, lines):
    conn.sendall(reply[:first])
    at = first
    while at < len(reply):
        time.sleep(pause)
        end = reply.find(b"\n", at) + 1 if lines else at + 1
        if end <= 0:
            end = len(reply)
        conn.sendall(reply[at:end])  # raises once the client has closed
        at = end


def flood(conn, count, text):
    piece = text * max(1, (1 << 20) // len(text))
    while count > 0:
        chunk = piece[:count]
        conn.sendall(chunk)  # raises once the client has closed
        count -= len(chunk)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def serve(state, port, cases_path, ready_fd=None):
    """Serves until SIGTERM; writes "ready" to ready_fd once it holds the port."""
    with open(cases_path, encoding="utf-8") as f:
        cases = json.load(f)["cases"]
    os.makedirs(os.path.join(state, "requests"), exist_ok=True)
    server = Server(("127.0.0.1", port), Handler)
    server.state = state
    server.cases = cases
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    if ready_fd is not None:
        os.write(ready_fd, b"ready\n")
        os.close(ready_fd)
    server.serve_forever()


def port_open(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=0.2):
            return True
    except OSError:
        return False


def holder(port):
    """Who listens on the port, as ss shows it (for the message only)."""
    try:
        out = subprocess.run(["ss", "-ltnpH", "sport = :%d" % port], capture_output=True, text=True).stdout
    except OSError:
        return ""
    return out.strip().rpartition("users:")[2]


def start(state, port, cases_path):
    """Starts the server in the background. A port that another program
    holds is an error: the tests would meet that program (another run's
    server, say) instead of this one."""
    stop(state)
    if port_open(port):
        sys.stderr.write("fault server: port %d is taken by another program %s; stop it or choose another "
                         "ZK_PORT_BASE\n" % (port, holder(port)))
        return 1
    os.makedirs(os.path.join(state, "requests"), exist_ok=True)
    log_path = os.path.join(state, "faultserver.log")
    log = open(log_path, "wb")
    ready_read, ready_write = os.pipe()
    child = subprocess.Popen(
        [sys.executable, os.path.abspath(__file__), "serve", state, str(port), cases_path, str(ready_write)],
        stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True, pass_fds=(ready_write,))
    os.close(ready_write)
    with open(os.path.join(state, "faultserver.pid"), "w") as f:
        f.write(str(child.pid))
    # The server says "ready" once it holds the port; the pipe closes without
    # it when the server ends first (a port taken in the meantime, say).
    with os.fdopen(ready_read, "rb") as ready:
        if ready.readline() == b"ready\n":
            return 0
    child.wait()
    with open(log_path, "rb") as f:
        reason = f.read().decode("utf-8", "replace").strip().splitlines()
    sys.stderr.write("fault server could not start on port %d: %s\n" % (port, reason[-1] if reason else "no reason given"))
    return 1


def stop(state):
    pid_file = os.path.join(state, "faultserver.pid")
    if os.path.exists(pid_file):
        with open(pid_file) as f:
            pid = int(f.read().strip() or 0)
        if pid and is_server(pid, state):
            try:
                os.kill(pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            wait_for_exit(pid)
        os.remove(pid_file)
    return 0


def is_server(pid, state):
    """Whether pid is the server of this state folder (the number may belong
    to another program by now)."""
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            args = f.read().split(b"\0")
    except OSError:
        return False
    return b"serve" in args and state.encode() in args


def wait_for_exit(pid, seconds=10.0):
    """Waits until pid has ended (or is a zombie), so that its port is free
    before the next start: a start would take the old server for the new.
    Kills it when it does not end in time."""
    for sig in (None, signal.SIGKILL):
        if sig is not None:
            try:
                os.kill(pid, sig)
            except ProcessLookupError:
                return
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            try:
                with open("/proc/%d/stat" % pid) as f:
                    if f.read().rsplit(")", 1)[-1].split()[0] == "Z":
                        return
            except OSError:
                return
            time.sleep(0.05)


def main(argv):
    if len(argv) >= 5 and argv[1] in ("start", "serve"):
        state, port, cases = os.path.abspath(argv[2]), int(argv[3]), os.path.abspath(argv[4])
        if argv[1] == "serve":
            serve(state, port, cases, int(argv[5]) if len(argv) > 5 else None)
            return 0
        return start(state, port, cases)
    if len(argv) == 3 and argv[1] == "stop":
        return stop(os.path.abspath(argv[2]))
    sys.stderr.write(__doc__)
    return 64


if __name__ == "__main__":
    sys.exit(main(sys.argv))
