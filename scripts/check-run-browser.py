#!/usr/bin/python3
"""Looks at the run command's desktop through noVNC in headless Chromium, as a
user would: the task bar and Yorunel's icon are there, a left click pauses
(the paused icon), a second resumes, and a right click opens the menu, whose
"壁紙" item opens the list of the sample folder. Saves that last view.

    check-run-browser.py <DevTools port> <address> <X display> <icon folder> <screenshot>

Chromium is driven through its DevTools protocol, over a WebSocket client of
a few lines (Debian's Python has none in its standard library)."""
import base64
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request
from pathlib import Path

devtools_port, address, display, icons, screenshot = sys.argv[1:]
WIDTH, HEIGHT = 1152, 648
TASKBAR = 26  # the bottom rows that hold Wine's task bar at 96 DPI
work = Path(tempfile.mkdtemp(prefix="yorunel-check-"))


def fail(message):
    sys.exit(f"check-run: {message} (pictures in {work})")


page = next(t for t in json.load(urllib.request.urlopen(f"http://127.0.0.1:{devtools_port}/json/list"))
            if t["type"] == "page")
address_of_page = urllib.parse.urlparse(page["webSocketDebuggerUrl"])
connection = socket.create_connection((address_of_page.hostname, address_of_page.port))
connection.sendall((f"GET {address_of_page.path} HTTP/1.1\r\nHost: {address_of_page.netloc}\r\n"
                    "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                    f"Sec-WebSocket-Key: {base64.b64encode(os.urandom(16)).decode()}\r\n\r\n").encode())
replies = connection.makefile("rb")
if b" 101 " not in replies.readline():
    fail("Chromium refused the DevTools connection")
while replies.readline() not in (b"\r\n", b""):
    pass
calls = 0


def send_text(text):
    # A client's frames are masked (RFC 6455): one final text frame.
    data, mask = text.encode(), os.urandom(4)
    size = len(data)
    header = bytes([0x81, 0x80 | size]) if size < 126 else bytes([0x81, 0xFE]) + size.to_bytes(2, "big")
    connection.sendall(header + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(data)))


def receive_message():
    message = b""
    while True:
        first, size = replies.read(2)
        size &= 0x7F
        if size >= 126:
            size = int.from_bytes(replies.read(2 if size == 126 else 8), "big")
        message += replies.read(size)
        if first & 0x80:
            return message


def call(method, **params):
    global calls
    calls += 1
    send_text(json.dumps({"id": calls, "method": method, "params": params}))
    while True:
        reply = json.loads(receive_message())
        if reply.get("id") == calls:
            if "error" in reply:
                fail(f"{method}: {reply['error']}")
            return reply["result"]


def poll(what, seconds, condition):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.3)
    fail(f"no {what} within {seconds} s")


def shoot(name):
    path = work / name
    path.write_bytes(base64.b64decode(call("Page.captureScreenshot", format="png")["data"]))
    return path


def magick(*args):
    return subprocess.run(args, capture_output=True, text=True).stdout.strip()


def compare(*args):
    """compare's measure, which it prints as "absolute (normalised)", with what follows."""
    printed = subprocess.run(("compare", "-metric", "RMSE", "-dissimilarity-threshold", "1") + args + ("null:",),
                             capture_output=True, text=True).stderr
    return float(printed.split("(")[1].split(")")[0]), printed


def rmse(a, b):
    return compare(str(a), str(b))[0]


def tray_icon(picture, reference):
    """Where the reference icon best matches in the right of the task bar, and how well."""
    strip = work / "tray.png"
    magick("convert", str(picture), "-crop", f"200x{TASKBAR}+{WIDTH - 200}+{HEIGHT - TASKBAR}", "+repage", str(strip))
    score, printed = compare("-subimage-search", str(strip), str(reference))
    x, y = printed.split("@ ")[1].split(",")
    return score, WIDTH - 200 + int(x) + 8, HEIGHT - TASKBAR + int(y) + 8


def reference(icon, background):
    # The tray draws the icon's 32-pixel image at 16 pixels over the task bar.
    path = work / f"icon-{icon}.png"
    magick("convert", f"{icons}/{icon}.ico[1]", "-scale", "16x16", "-background", background, "-flatten", str(path))
    return path


def click(x, y, button):
    call("Input.dispatchMouseEvent", type="mouseMoved", x=x, y=y)
    for kind in ("mousePressed", "mouseReleased"):
        call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button, clickCount=1)


def changed_box(before, after):
    """The bounding box (width, height, x, y) of what differs between two views
    near the tray, away from noVNC's own bars."""
    region = (WIDTH // 2, HEIGHT // 2)
    box = magick("convert", str(before), str(after), "-crop", f"{region[0]}x{region[1]}+{region[0]}+{region[1]}",
                 "+repage", "-compose", "difference", "-composite", "-threshold", "5%", "-format", "%@", "info:")
    w, rest = box.split("x")
    h, x, y = rest.split("+")
    return int(w), int(h), region[0] + int(x), region[1] + int(y)


call("Emulation.setDeviceMetricsOverride", width=WIDTH, height=HEIGHT, deviceScaleFactor=1, mobile=False)
call("Page.navigate", url=address)
poll("noVNC connection", 30, lambda: call("Runtime.evaluate", expression=(
    "document.documentElement.classList.contains('noVNC_connected')"))["result"].get("value"))

def icon_shown(icon, other_icon, name):
    """A condition: the tray shows this icon, not the other one."""
    def check():
        picture = shoot(name)
        # The task bar's colour, taken from the same view: it is drawn after noVNC connects.
        background = magick("convert", str(picture), "-format", f"%[pixel:p{{{WIDTH - 300},{HEIGHT - 5}}}]", "info:")
        score, x, y = tray_icon(picture, reference(icon, background))
        return (x, y, picture) if score < 0.2 and score < tray_icon(picture, reference(other_icon, background))[0] else None
    return check


x, y, desktop = poll("Yorunel icon in the task bar", 60, icon_shown("running", "paused", "desktop.png"))
# What the browser shows of the task bar is what the X display holds.
direct = work / "display.png"
magick("import", "-display", display, "-window", "root", str(direct))
strip = f"{WIDTH}x{TASKBAR}+0+{HEIGHT - TASKBAR}"
for name, picture in (("browser", desktop), ("display", direct)):
    magick("convert", str(picture), "-crop", strip, "+repage", str(work / f"taskbar-{name}.png"))
if rmse(work / "taskbar-browser.png", work / "taskbar-display.png") > 0.02:
    fail("the task bar in the browser differs from the one on the display")

click(x, y, "left")
poll("paused icon after a left click", 10, icon_shown("paused", "running", "paused.png"))
time.sleep(0.6)  # a second click within the double-click time (500 ms) is a double-click
click(x, y, "left")
poll("running icon after a second left click", 10, icon_shown("running", "paused", "resumed.png"))



def view_where(name, test):
    """A condition: a view whose changes from the desktop's pass the test."""
    def check():
        picture = shoot(name)
        return picture if test(*changed_box(desktop, picture)) else None
    return check


click(x, y, "right")
menu = poll("menu after a right click", 10, view_where("menu.png", lambda w, h, left, top: h > 60))
menu_width, _, left, top = changed_box(desktop, menu)
# "壁紙" is the menu's first item: resting on it opens the folder's list beside the menu.
call("Input.dispatchMouseEvent", type="mouseMoved", x=left + 30, y=top + 10)
submenu = poll("wallpaper list on the first menu item", 10,
               view_where("submenu.png", lambda w, h, left, top: w > menu_width + 40))
Path(screenshot).write_bytes(submenu.read_bytes())
shutil.rmtree(work)
print(f"check-run: desktop, icon, pause, resume and menu seen in the browser; screenshot {screenshot}")
