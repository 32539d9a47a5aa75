#!/usr/bin/python3
# Reads the running program through AT-SPI, as a screen reader does: the
# target view's caret follows the typing, a wrong key renames the focused
# box, and at the end the focus is on the summary, which holds the result.
import subprocess
import sys
import time

import pyatspi

helfer = subprocess.Popen([sys.argv[1]], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)


def befehl(b):
    helfer.stdin.write(b + "\n")
    helfer.stdin.flush()
    assert helfer.stdout.readline().strip() == "ok", b


def knoten(obj):
    yield obj
    for i in range(obj.childCount):
        kind = obj.getChildAtIndex(i)
        if kind is not None:
            yield from knoten(kind)


def anwendung():
    for _ in range(100):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "VelkoraAtspi":
                return app
        time.sleep(0.1)
    raise SystemExit("FEHLER: das Programm erscheint nicht im Baum der Zugänglichkeit")


def gesucht(app, pruefen):
    for obj in knoten(app):
        obj.clear_cache()
        if pruefen(obj):
            return obj
    return None


def fokus(app):
    # The control in focus: its window and its text area say so too.
    for obj in knoten(app):
        obj.clear_cache()
        if obj.getState().contains(pyatspi.STATE_FOCUSED) and obj.getRole() not in (
                pyatspi.ROLE_FRAME, pyatspi.ROLE_FILLER, pyatspi.ROLE_PANEL):
            return obj
    return None


def warte(was, bedingung):
    for _ in range(50):
        wert = bedingung()
        if wert:
            return wert
        time.sleep(0.1)
    raise SystemExit("FEHLER: " + was)


try:
    assert helfer.stdout.readline().strip() == "bereit"
    app = anwendung()
    vorlage = warte("keine Vorlage", lambda: gesucht(app, lambda o: o.name == "Vorlage"))
    text = vorlage.queryText()
    warte("Caret der Vorlage nicht am Anfang", lambda: text.caretOffset == 0)
    befehl("tippe 5")
    warte("Caret der Vorlage folgt nicht (%d)" % text.caretOffset, lambda: text.caretOffset == 5)
    start, ende = text.getSelection(0)
    assert (start, ende) == (5, 6), "Auswahl %d-%d" % (start, ende)
    befehl("tippe 3")  # over the line break: the view's text has one LF there
    warte("Caret nach dem Umbruch (%d)" % text.caretOffset, lambda: text.caretOffset == 8)
    befehl("falsch")
    eingabe = warte("kein Fokus", lambda: fokus(app))
    warte("Fehler nicht im Namen des Fokus (%s)" % eingabe.name, lambda: "falsch" in (fokus(app).name or ""))
    befehl("ende")
    summe = warte("Fokus nicht auf der Zusammenfassung", lambda: gesucht(
        app, lambda o: o.name == "Zusammenfassung" and o.getState().contains(pyatspi.STATE_FOCUSED)))
    inhalt = summe.queryText().getText(0, -1)
    assert "Fehler: 1" in inhalt, inhalt
    print("AT-SPI: Caret, Fehler und Zusammenfassung wie erwartet")
finally:
    helfer.stdin.close()
    helfer.wait(timeout=10)
