#!/usr/bin/python3
"""Looks at the run command's desktop through noVNC in headless Chromium, as a
user would: the task bar and Yorunel's icon are there, a left click pauses
(the paused icon), a second resumes, and a right click opens the menu, whose
"壁紙" item opens the list of the sample folder. Saves that view. Then two
pictures picked from that list each become the desktop's picture, with no
failure box over it.

    check-run-browser.py <DevTools port> <address> <X display> <icon folder> <screenshot> <sample folder>

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

devtools_port, address, display, icons, screenshot, samples = sys.argv[1:]
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


def changed_box(before, after, right=WIDTH):
    """The bounding box (width, height, x, y) of what differs between two views
    near the tray (left of the column given), away from noVNC's own bars."""
    region = (right - WIDTH // 2, HEIGHT // 2)
    box = magick("convert", str(before), str(after), "-crop", f"{region[0]}x{region[1]}+{WIDTH // 2}+{region[1]}",
                 "+repage", "-compose", "difference", "-composite", "-threshold", "5%", "-format", "%@", "info:")
    w, rest = box.split("x")
    h, x, y = rest.split("+")
    return int(w), int(h), WIDTH // 2 + int(x), region[1] + int(y)


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

# The samples as the menu lists them (the directory's order, names without case).
names = sorted((p.name for p in Path(samples).iterdir() if p.suffix.lower() in (".jpg", ".bmp", ".htm", ".html")),
               key=str.lower)
REGIONS = [(x, y) for x in (100, 500, 850) for y in (80, 280, 480)]  # 100x60 each, the centre's box among them


def colours(picture, fill=False):
    """The mean colour of each region; a sample is first filled onto the desktop's size."""
    resize = ["-resize", f"{WIDTH}x{HEIGHT}^", "-gravity", "center", "-extent", f"{WIDTH}x{HEIGHT}"] if fill else []
    result = []
    for x, y in REGIONS:
        text = magick("convert", str(picture), *resize, "+gravity", "-crop", f"100x60+{x}+{y}", "+repage",
                      "-scale", "1x1!", "-format", "%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]", "info:")
        result.append(tuple(int(v) for v in text.split()))
    return result


def near(a, b):
    return all(abs(p - q) <= 24 for one, other in zip(a, b) for p, q in zip(one, other))


# The list opens beside the menu, left of it: its items are the names, in order.
_, list_height, list_left, list_top = changed_box(menu, submenu, right=left)
item_height = (list_height - 6) / len(names)
click(40, 40, "left")  # on the desktop: the menu closes
poll("menu closed", 10, view_where("closed.png", lambda w, h, left, top: h < 20))
shown = []
for index in (0, 1):
    expected = colours(Path(samples) / names[index], fill=True)
    click(x, y, "right")
    poll("menu", 10, view_where(f"menu-{index}.png", lambda w, h, left, top: h > 60))
    call("Input.dispatchMouseEvent", type="mouseMoved", x=left + 30, y=top + 10)
    poll("wallpaper list", 10, view_where(f"list-{index}.png", lambda w, h, left, top: w > menu_width + 40))
    item = (list_left + 30, int(list_top + 3 + (index + 0.5) * item_height))
    # Along the menu's item into the list, as a hand moves, then a click.
    call("Input.dispatchMouseEvent", type="mouseMoved", x=list_left + 60, y=top + 10)
    click(*item, "left")
    shown.append(poll(f"{names[index]} on the desktop, no box over it", 20,
                      lambda: near(colours(shoot(f"picked-{index}.png")), expected) and expected))
if near(shown[0], shown[1]):
    fail(f"{names[0]} and {names[1]} look alike: the check tells nothing")
shutil.rmtree(work)
print(f"check-run: desktop, icon, pause, resume and menu seen in the browser; screenshot {screenshot}; "
      f"{names[0]} and {names[1]} shown on the desktop")
