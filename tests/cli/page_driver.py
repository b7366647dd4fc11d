#!/usr/bin/env python3
"""Drives a web page in headless Chromium as a user would, through the
browser's DevTools protocol on a pipe (--remote-debugging-pipe), with the
network switched off.

    page_driver.py URL SCRIPT.json

SCRIPT.json holds {"width": W, "height": H, "mobile": false, "actions": [...]}.
Each action is an object with "do":
  wait        {"js": EXPR}                  until EXPR is true (or the time runs out)
  eval        {"js": EXPR, "as": NAME}      records EXPR's value as NAME
  key         {"key": "ArrowRight"}         a key pressed and released
  click       {"selector": CSS, "fx": F, "fy": F}   a mouse click in the element (in its
                                            middle, or at fractions of its width and height)
  drag        {"selector": CSS, "dx": N, "dy": N}   the left button dragged from the middle
  touch       {"selector": CSS, "dx": N, "dy": N}   one finger dragged from the middle
  pinch       {"selector": CSS, "spread": N}     two fingers about the middle moved N pixels apart
  screenshot  {"file": PATH, "full": bool}  a PNG of the viewport (or the whole page)
  sleep       {"ms": N}
Prints one JSON object: {"values": {NAME: value, ...}, "console": [text, ...],
"failed": [text, ...]} — every console message, uncaught exception, log
entry and dialog (alert and the like) of the page, and the actions that did
not come true.
"""
import base64
import fcntl
import json
import os
import subprocess
import sys
import tempfile
import time


class Browser:
    def __init__(self, width, height, mobile):
        self.profile = tempfile.TemporaryDirectory()
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()

        def fds():
            # The browser reads fd 3 and writes fd 4: the pipe ends are
            # moved out of the way first, as either may be 3 or 4.
            ends = [fcntl.fcntl(fd, fcntl.F_DUPFD, 10) for fd in (to_browser_r, from_browser_w)]
            os.dup2(ends[0], 3)
            os.dup2(ends[1], 4)

        # Every address outside the page is unreachable.
        self.process = subprocess.Popen(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--use-gl=swiftshader",
             "--enable-unsafe-swiftshader", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--proxy-server=127.0.0.1:9", "--host-resolver-rules=MAP * ~NOTFOUND",
             "--remote-debugging-pipe", "--user-data-dir=" + self.profile.name,
             "--window-size=%d,%d" % (width, height), "about:blank"],
            pass_fds=(3, 4), preexec_fn=fds,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.buffer = b""
        self.next_id = 0
        self.events = []
        self.session = None

    def close(self):
        try:
            self.call("Browser.close", session=False)
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self.to_browser)
        os.close(self.from_browser)
        self.profile.cleanup()

    def message(self):
        while b"\0" not in self.buffer:
            chunk = os.read(self.from_browser, 1 << 16)
            if not chunk:
                raise RuntimeError("the browser closed its pipe")
            self.buffer += chunk
        text, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(text)

    def send(self, method, params=None, session=True):
        self.next_id += 1
        request = {"id": self.next_id, "method": method, "params": params or {}}
        if session and self.session:
            request["sessionId"] = self.session
        os.write(self.to_browser, json.dumps(request).encode() + b"\0")
        return self.next_id

    def call(self, method, params=None, session=True):
        sent = self.send(method, params, session)
        while True:
            m = self.message()
            if m.get("id") == sent:
                if "error" in m:
                    raise RuntimeError(method + ": " + json.dumps(m["error"]))
                return m.get("result", {})
            if "method" in m:
                self.events.append(m)
                # A dialog stops the page until it is answered.
                if m["method"] == "Page.javascriptDialogOpening":
                    self.send("Page.handleJavaScriptDialog", {"accept": True})

    def evaluate(self, expression):
        r = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                           "awaitPromise": True})
        if "exceptionDetails" in r:
            raise RuntimeError(expression + ": " + json.dumps(r["exceptionDetails"]))
        return r["result"].get("value")

    def point(self, action):
        """The point of the element action["selector"] at the fractions
        action["fx"], action["fy"] of its width and height (its middle by
        default)."""
        box = self.evaluate("(function(){var r=document.querySelector(%s).getBoundingClientRect();"
                            "return [r.left,r.top,r.width,r.height];})()" % json.dumps(action["selector"]))
        return box[0] + box[2] * action.get("fx", 0.5), box[1] + box[3] * action.get("fy", 0.5)


def console_texts(events):
    out = []
    for e in events:
        p = e.get("params", {})
        if e["method"] == "Runtime.consoleAPICalled":
            args = " ".join(str(a.get("value", a.get("description", ""))) for a in p.get("args", []))
            out.append("console." + p.get("type", "") + ": " + args)
        elif e["method"] == "Runtime.exceptionThrown":
            d = p.get("exceptionDetails", {})
            out.append("exception: " + d.get("text", "") + " " +
                       d.get("exception", {}).get("description", ""))
        elif e["method"] == "Page.javascriptDialogOpening":
            out.append("dialog: " + p.get("message", ""))
        elif e["method"] == "Log.entryAdded":
            entry = p.get("entry", {})
            out.append("log." + entry.get("level", "") + ": " + entry.get("text", "") + " " +
                       entry.get("url", ""))
    return out


def run(url, script):
    width, height = script.get("width", 1280), script.get("height", 800)
    mobile = script.get("mobile", False)
    browser = Browser(width, height, mobile)
    values, failed = {}, []
    try:
        targets = browser.call("Target.getTargets")["targetInfos"]
        page = next((t["targetId"] for t in targets if t["type"] == "page"), None)
        if page is None:
            page = browser.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        browser.session = browser.call("Target.attachToTarget", {"targetId": page, "flatten": True},
                                       session=False)["sessionId"]
        for domain in ("Runtime", "Log", "Page", "Network"):
            browser.call(domain + ".enable")
        browser.call("Network.emulateNetworkConditions",
                     {"offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
        browser.call("Emulation.setDeviceMetricsOverride",
                     {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": mobile})
        if mobile:
            browser.call("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 2})
        browser.call("Page.navigate", {"url": url})
        for action in script.get("actions", []):
            what = action["do"]
            if what == "wait":
                deadline = time.time() + action.get("seconds", 30)
                # Before the page has loaded, what it asks for may not be there.
                while not browser.evaluate("(function(){try{return !!(%s);}catch(e){return false;}})()"
                                           % action["js"]):
                    if time.time() > deadline:
                        failed.append("wait " + action["js"])
                        break
                    time.sleep(0.05)
            elif what == "eval":
                values[action["as"]] = browser.evaluate(action["js"])
            elif what == "key":
                for kind in ("rawKeyDown", "keyUp"):
                    browser.call("Input.dispatchKeyEvent", {"type": kind, "key": action["key"],
                                                            "code": action["key"]})
            elif what == "click":
                x, y = browser.point(action)
                for kind in ("mousePressed", "mouseReleased"):
                    browser.call("Input.dispatchMouseEvent", {"type": kind, "x": x, "y": y,
                                                              "button": "left", "clickCount": 1})
            elif what == "drag":
                x, y = browser.point(action)
                browser.call("Input.dispatchMouseEvent", {"type": "mousePressed", "x": x, "y": y,
                                                          "button": "left", "clickCount": 1})
                for k in range(1, 6):
                    browser.call("Input.dispatchMouseEvent",
                                 {"type": "mouseMoved", "x": x + action["dx"] * k / 5,
                                  "y": y + action["dy"] * k / 5, "button": "left", "buttons": 1})
                browser.call("Input.dispatchMouseEvent",
                             {"type": "mouseReleased", "x": x + action["dx"], "y": y + action["dy"],
                              "button": "left", "clickCount": 1})
            elif what == "touch":
                x, y = browser.point(action)
                browser.call("Input.dispatchTouchEvent",
                             {"type": "touchStart", "touchPoints": [{"x": x, "y": y}]})
                for k in range(1, 6):
                    browser.call("Input.dispatchTouchEvent",
                                 {"type": "touchMove", "touchPoints": [
                                     {"x": x + action["dx"] * k / 5, "y": y + action["dy"] * k / 5}]})
                browser.call("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})
            elif what == "pinch":
                x, y = browser.point(action)

                def fingers(spread):
                    return [{"x": x - 20 - spread / 2, "y": y, "id": 0}, {"x": x + 20 + spread / 2, "y": y, "id": 1}]

                browser.call("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": fingers(0)})
                for k in range(1, 6):
                    browser.call("Input.dispatchTouchEvent",
                                 {"type": "touchMove", "touchPoints": fingers(action["spread"] * k / 5)})
                browser.call("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})
            elif what == "screenshot":
                shot = browser.call("Page.captureScreenshot",
                                    {"format": "png", "captureBeyondViewport": action.get("full", False)})
                with open(action["file"], "wb") as f:
                    f.write(base64.b64decode(shot["data"]))
            elif what == "sleep":
                time.sleep(action["ms"] / 1000.0)
            else:
                failed.append("unknown action " + what)
    finally:
        browser.close()
    return {"values": values, "console": console_texts(browser.events), "failed": failed}


def main():
    if len(sys.argv) != 3:
        sys.stderr.write("usage: page_driver.py URL SCRIPT.json\n")
        return 2
    with open(sys.argv[2]) as f:
        script = json.load(f)
    print(json.dumps(run(sys.argv[1], script), indent=1))
    return 0


if __name__ == "__main__":
    sys.exit(main())
