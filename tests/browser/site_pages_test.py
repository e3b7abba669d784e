#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Opens generated site pages in headless Chromium with the network off.

Makes a small library with veyla-cli (chapters of a corpus novel, an English
chapter and a chapter of hostile text), generates its site in chapter mode and
in whole-book mode, and opens a chapter page, a whole-book page and an index
page from file:// URLs. For each page it checks that the Vue application
mounted with Element UI, that the chapter text is there, that font switching
changes the computed style, and that no script error was logged; the hostile
chapter must run nothing and show its text as written. Screenshots go to the
folder given as the third argument.

usage: site_pages_test.py VEYLA-CLI CORPUS-DIR SCREENSHOT-DIR
Exits 77 (skipped) when Chromium is not installed.
"""

import base64
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.parse

SKIP = 77


def find_chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


class Browser:
    """Chromium driven through the DevTools protocol on a pipe (fds 3 and 4)."""

    def __init__(self, program, profile):
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()
        args = [program, "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                "--remote-debugging-pipe", "--user-data-dir=" + profile,
                # Networking off: no name resolves and every request would go to a closed port.
                "--host-resolver-rules=MAP * ~NOTFOUND", "--proxy-server=http://127.0.0.1:9",
                "--disable-background-networking", "--disable-component-update",
                "--window-size=1280,900", "about:blank"]

        def plumbing():
            os.dup2(to_browser_r, 3)
            os.dup2(from_browser_w, 4)

        self.process = subprocess.Popen(args, pass_fds=(3, 4), preexec_fn=plumbing,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.buffer = b""
        self.next_id = 0
        self.events = []
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        for method in ("Page.enable", "Runtime.enable", "Log.enable", "Network.enable"):
            self.call(method, session=True)
        self.call("Network.emulateNetworkConditions",
                  {"offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1}, session=True)
        # Anything a page tries to run through alert() is recorded.
        self.call("Page.addScriptToEvaluateOnNewDocument",
                  {"source": "window.alert = function (m) { window.__alerted = String(m); };"}, session=True)

    def read_message(self, deadline):
        while b"\0" not in self.buffer:
            if time.time() > deadline:
                raise TimeoutError("Chromium did not answer")
            chunk = os.read(self.from_browser, 1 << 16)
            if not chunk:
                raise RuntimeError("Chromium closed the pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=False, timeout=30):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = self.session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.time() + timeout
        while True:
            reply = self.read_message(deadline)
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply.get("result", {})
            if "method" in reply:
                self.events.append(reply)

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True}, session=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"evaluating {expression!r}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def open(self, url):
        self.events.clear()
        self.call("Page.navigate", {"url": url}, session=True)
        deadline = time.time() + 30
        while time.time() < deadline:
            if self.evaluate("document.readyState === 'complete' && !!window.veylaApp && "
                             "!!window.veylaApp._isMounted"):
                self.evaluate("new Promise(function (r) { setTimeout(r, 300); })")
                return
            time.sleep(0.1)
        raise TimeoutError(f"the page application did not mount: {url}")

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", {"format": "png"}, session=True)["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))

    def script_errors(self):
        errors = []
        for event in self.events:
            method = event.get("method")
            params = event.get("params", {})
            if method == "Runtime.exceptionThrown":
                errors.append(json.dumps(params.get("exceptionDetails", {}))[:400])
            elif method == "Runtime.consoleAPICalled" and params.get("type") == "error":
                errors.append(json.dumps(params.get("args", []))[:400])
            elif method == "Log.entryAdded":
                entry = params.get("entry", {})
                # Failed loads of the remote addresses are expected with the network off.
                if entry.get("level") == "error" and entry.get("source") not in ("network",):
                    errors.append(entry.get("text", "")[:400])
        return errors

    def close(self):
        try:
            self.call("Browser.close", timeout=5)
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()


def run(command):
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"{' '.join(command)} failed: {result.stderr}")
    return result.stdout


def make_library(cli, data, corpus):
    novel = os.path.join(corpus, "zh", "aq_zhengzhuan_pg25332.simplified.txt")
    if os.path.exists(novel):
        with open(novel, encoding="utf-8") as f:
            lines = [line.strip() for line in f if line.strip()]
    else:
        lines = [f"第{i}段：阿Q没有家，住在未庄的土谷祠里。" for i in range(100)]
    chapters = {
        "小说/0001_阿Q正传/0001_第一章 序.xml": ["第一章 序"] + lines[40:70],
        "小说/0001_阿Q正传/0002_第二章 优胜记略.xml": ["第二章 优胜记略"] + lines[70:90],
        "小说/0001_阿Q正传/0003_注入.xml": ["</p><script>alert(1)</script>", "{{ 7*7 }}",
                                       "<img src=x onerror=alert(2)>"],
        "English/0001_Tom/0001_One.xml": ["Chapter One", "Tom studied the books, running home."],
    }
    for relative, paragraphs in chapters.items():
        source = os.path.join(data, "source.txt")
        with open(source, "w", encoding="utf-8") as f:
            f.write("\n".join(paragraphs) + "\n")
        run([cli, "--data", data, "new", "--from", source, relative])


def file_url(path):
    return "file://" + urllib.parse.quote(path)


def main():
    cli, corpus, shots = sys.argv[1], sys.argv[2], sys.argv[3]
    chromium = find_chromium()
    if chromium is None:
        print("skipped: Chromium is not installed (scripts/setup-deps installs Debian's chromium)")
        return SKIP
    os.makedirs(shots, exist_ok=True)
    failures = []
    with tempfile.TemporaryDirectory() as data:
        make_library(cli, data, corpus)
        run([cli, "--data", data, "site", "小说/0001_阿Q正传"])
        run([cli, "--data", data, "site", "--english", "English/0001_Tom"])
        whole = os.path.join(data, "whole")
        shutil.copytree(os.path.join(data, "藏书库"), os.path.join(whole, "藏书库"))
        run([cli, "--data", whole, "site", "--whole", "--page-size", "2", "小说/0001_阿Q正传"])
        book = os.path.join(data, "HTML", "藏书库", "小说", "0001_阿Q正传")
        pages = [
            ("chapter", os.path.join(book, "0001_第一章 序.html"), "第一章 序"),
            ("whole-book", os.path.join(whole, "HTML", "藏书库", "小说", "0001_阿Q正传", "阿Q正传_全集01.html"),
             "第二章 优胜记略"),
            ("index", os.path.join(book, "目录.html"), "优胜记略"),
            ("annotated", os.path.join(data, "HTML", "藏书库", "English", "0001_Tom", "0001_One.html"), "studied"),
        ]
        profile = tempfile.mkdtemp()
        browser = Browser(chromium, profile)
        try:
            for name, path, text in pages:
                browser.open(file_url(path))
                problems = []
                if not browser.evaluate("!!document.querySelector('.el-container') && "
                                        "!!document.querySelector('.el-menu') && !!document.querySelector('.el-main')"):
                    problems.append("Element UI components did not render")
                if text not in browser.evaluate("document.body.innerText"):
                    problems.append(f"the text {text!r} is missing")
                # Choices carry over from page to page: switch to a font this page does not show yet.
                before = browser.evaluate("getComputedStyle(document.querySelector('#mainContent')).fontFamily")
                font = "黑体" if "楷体" in before else "楷体"
                browser.evaluate(f"window.veylaApp.selectOne('{font}')")
                after = browser.evaluate("getComputedStyle(document.querySelector('#mainContent')).fontFamily")
                if before == after or font not in after:
                    problems.append(f"font switching left the font as {after!r}")
                size = browser.evaluate("window.veylaApp.selectFontSize('30px'); "
                                        "getComputedStyle(document.querySelector('#mainContent')).fontSize")
                if size != "30px":
                    problems.append(f"font size switching gave {size!r}")
                if name == "whole-book":
                    hidden = browser.evaluate("window.veylaApp.toggleNav(); new Promise(function (r) { "
                                              "setTimeout(function () { r(document.querySelector('.nav-container')"
                                              ".classList.contains('hidden')); }, 100); })")
                    if not hidden:
                        problems.append("the menu toggle did not hide the menu")
                if name == "annotated":
                    gloss = browser.evaluate("getComputedStyle(document.querySelector('strong[data-explanation]'),"
                                             " '::after').content")
                    if not gloss or "(" not in gloss:
                        problems.append(f"the gloss is not shown ({gloss!r})")
                browser.screenshot(os.path.join(shots, f"{name}.png"))
                problems += [f"script error: {e}" for e in browser.script_errors()]
                failures += [f"{name}: {p}" for p in problems]

            browser.open(file_url(os.path.join(book, "0003_注入.html")))
            shown = browser.evaluate("document.querySelector('#mainContent').innerText")
            for literal in ("</p><script>alert(1)</script>", "{{ 7*7 }}", "<img src=x onerror=alert(2)>"):
                if literal not in shown:
                    failures.append(f"injection: {literal!r} is not shown as written")
            if "49" in shown:
                failures.append("injection: {{ 7*7 }} was evaluated")
            if browser.evaluate("window.__alerted || ''"):
                failures.append("injection: a script of the chapter ran")
            if browser.evaluate("document.querySelectorAll('#mainContent script, #mainContent img').length"):
                failures.append("injection: the chapter made elements")
            browser.screenshot(os.path.join(shots, "injection.png"))
            failures += [f"injection: script error: {e}" for e in browser.script_errors()]
        finally:
            browser.close()
            shutil.rmtree(profile, ignore_errors=True)
    for failure in failures:
        print("FAIL", failure)
    print(f"{len(pages) + 1} pages checked, {len(failures)} problems; screenshots in {shots}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
