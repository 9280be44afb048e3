#!/usr/bin/python3
"""The clerk's road through the main window as a screen reader walks it, over AT-SPI.

Run on a virtual X server inside a session bus of its own (atspi_road_test.sh): makes a demo database with `marlith init-db --demo`, starts `marlith main` on it with
Qt's accessibility bridge on, and then, through pyatspi only (no mouse, no keys), finds
the code edit by its label and sets P2026-001, presses 確定, reads the order grid's
cells, presses 物料展開 and 轉請購單, reads the question and presses Yes, reads the
outcome's requisition number and presses OK. Each step prints what a screen reader
reads there (role, name, text). Exits 0 when the road was walked."""

import os
import re
import subprocess
import sys
import tempfile
import time

import pyatspi

PROGRAM = sys.argv[1]
STEP_SECONDS = 60


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def say(step, acc, extra=""):
    print("%-10s %s %r %s" % (step, acc.getRoleName(), acc.name, extra), flush=True)


def wait_for(what, find, seconds=STEP_SECONDS):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            found = find()
        except Exception:  # an object that went away while it was walked
            found = None
        if found:
            return found
        time.sleep(0.2)
    fail("no " + what + " within %d s" % seconds)


def descendant(root, role, name=None):
    return pyatspi.findDescendant(
        root, lambda a: a is not None and a.getRole() == role and (name is None or a.name == name))


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def top_level(app, roles, name=None):
    for i in range(app.childCount):
        w = app.getChildAtIndex(i)
        if w is not None and w.getRole() in roles and (name is None or w.name == name):
            if w.getState().contains(pyatspi.STATE_SHOWING):
                return w
    return None


def press(acc):
    action = acc.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names and "press" not in names:
        fail("%r has no Press action: %r" % (acc.name, names))
    say("press", acc)
    action.doAction(names.index("Press") if "Press" in names else names.index("press"))


def table_text(table_acc):
    t = table_acc.queryTable()
    titles = [t.getColumnDescription(c) for c in range(t.nColumns)]
    rows = [[t.getAccessibleAt(r, c).name for c in range(t.nColumns)] for r in range(t.nRows)]
    return titles, rows


def main():
    work = tempfile.mkdtemp(prefix="marlith-atspi-")
    env = dict(os.environ)
    env.update({
        "HOME": work,
        "XDG_CACHE_HOME": os.path.join(work, "cache"),
        "XDG_CONFIG_HOME": os.path.join(work, "config"),
        "MARLITH_CONNECTIONS": os.path.join(work, "connections.ini"),
        "MARLITH_SETTINGS": os.path.join(work, "Dovanta.ini"),
        "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
        "QT_ACCESSIBILITY": "1",
        "QT_QPA_PLATFORM": "xcb",
        "NO_AT_BRIDGE": "0",
    })
    made = subprocess.run([PROGRAM, "init-db", "--demo", os.path.join(work, "demo.fdb")], env=env,
                          capture_output=True, text=True, timeout=120)
    if made.returncode != 0:
        fail("init-db: " + made.stdout + made.stderr)

    if not env.get("DISPLAY"):
        fail("no display (run under xvfb-run, as atspi_road_test.sh does)")
    window_proc = subprocess.Popen([PROGRAM, "main"], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                   text=True)
    try:
        walk(window_proc)
    finally:
        if window_proc.poll() is None:
            window_proc.terminate()
            try:
                window_proc.wait(30)
            except subprocess.TimeoutExpired:
                window_proc.kill()
        if window_proc.stdout:
            out = window_proc.stdout.read()
            if out.strip():
                print("marlith said:\n" + out, flush=True)


def walk(proc):
    app = wait_for("application on the bus", lambda: application(proc.pid))
    window = wait_for("main window", lambda: top_level(app, (pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW), "物料需求計算"))
    say("window", window)
    buttons = [window.getChildAtIndex(i) for i in range(window.childCount)]
    caption = [b.name for b in buttons if b is not None and b.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    print("caption    buttons %r (the carried skin draws none)" % caption, flush=True)

    # The code edit, found through its label.
    label = wait_for("label 專案代號", lambda: descendant(window, pyatspi.ROLE_LABEL, "專案代號"))
    say("label", label)
    targets = [r.getTarget(0) for r in label.getRelationSet() if r.getRelationType() == pyatspi.RELATION_LABEL_FOR]
    if not targets:
        fail("the label names no control")
    code = targets[0]
    say("code", code)
    if code.name != "專案代號":
        fail("the code edit is named %r" % code.name)
    code.queryEditableText().setTextContents("P2026-001")
    text = code.queryText().getText(0, -1)
    say("code", code, "text %r" % text)
    if text != "P2026-001":
        fail("the code edit holds %r" % text)
    lookup = descendant(window, pyatspi.ROLE_PUSH_BUTTON, "查詢專案")
    if lookup is None:
        fail("the lookup button is not read")
    say("button", lookup)

    press(wait_for("button 確定", lambda: descendant(window, pyatspi.ROLE_PUSH_BUTTON, "確定")))
    orders = wait_for("order table", lambda: descendant(window, pyatspi.ROLE_TABLE, "訂購商品"))
    wait_for("listed orders", lambda: orders.queryTable().nRows > 0)
    titles, rows = table_text(orders)
    say("table", orders, "%d rows, titles %r" % (len(rows), titles))
    for row in rows:
        print("           row %r" % row, flush=True)
    if not any("SO2026110201" in cell for row in rows for cell in row):
        fail("the order table does not read the demo's first order")

    press(descendant(window, pyatspi.ROLE_PUSH_BUTTON, "物料展開"))
    materials = descendant(window, pyatspi.ROLE_TABLE, "物料需求")
    wait_for("expanded materials", lambda: materials.queryTable().nRows > 0)
    titles, rows = table_text(materials)
    say("table", materials, "%d rows, titles %r" % (len(rows), titles))

    press(descendant(window, pyatspi.ROLE_PUSH_BUTTON, "轉請購單"))
    alerts = (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)
    alert = wait_for("question or outcome", lambda: top_level(app, alerts))
    say("alert", alert, "description %r" % alert.description)
    if "仍要轉請購單嗎" in alert.description:
        message = descendant(alert, pyatspi.ROLE_LABEL)
        if message is None or message.name != alert.description:
            fail("the question's text is not read as a label")
        yes = descendant(alert, pyatspi.ROLE_PUSH_BUTTON, "Yes")
        if yes is None or not yes.getState().contains(pyatspi.STATE_IS_DEFAULT):
            fail("the question's Yes is not read as its default button")
        press(yes)
        wait_for("the question to close", lambda: not alert.getState().contains(pyatspi.STATE_SHOWING)
                 or top_level(app, alerts) is None or top_level(app, alerts).description != alert.description)
        alert = wait_for("outcome", lambda: (lambda a: a if a and "請購單號" in a.description else None)(
            top_level(app, alerts)))
        say("outcome", alert, "description %r" % alert.description)
    number = re.search(r"請購單號：(\S+)", alert.description)
    if not number:
        fail("the outcome names no requisition number: %r" % alert.description)
    print("number     %s" % number.group(1), flush=True)
    press(descendant(alert, pyatspi.ROLE_PUSH_BUTTON, "OK"))
    wait_for("the outcome to close", lambda: top_level(app, alerts) is None)
    press(descendant(window, pyatspi.ROLE_PUSH_BUTTON, "離開"))
    proc.wait(60)
    print("PASS", flush=True)


if __name__ == "__main__":
    main()
