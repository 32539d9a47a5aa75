#!/usr/bin/python3
# Reads the running program through AT-SPI, as a screen reader does: the
# target view's caret follows the typing, a wrong key renames the focused
# box, and at the end the focus is on the summary, which holds the result.
import subprocess, sys, time, pyatspi

helfer = subprocess.Popen([sys.argv[1]], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)


def befehl(b):
    helfer.stdin.write(b + "\n")
    helfer.stdin.flush()
    assert helfer.stdout.readline().strip() == "ok", b


def knoten(obj):
    obj.clear_cache()
    yield obj
    for kind in filter(None, (obj.getChildAtIndex(i) for i in range(obj.childCount))):
        yield from knoten(kind)


def warte(was, bedingung):
    for _ in range(50):
        wert = bedingung()
        if wert:
            return wert
        time.sleep(0.1)
    raise SystemExit("FEHLER: " + was)


def fokus():
    # The control in focus: its window and its text area say so too.
    return next((o for o in knoten(app) if o.getState().contains(pyatspi.STATE_FOCUSED) and o.getRole()
                 not in (pyatspi.ROLE_FRAME, pyatspi.ROLE_FILLER, pyatspi.ROLE_PANEL)), None)


try:
    assert helfer.stdout.readline().strip() == "bereit"
    app = warte("das Programm fehlt im Baum", lambda: next(
        (a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "VelkoraAtspi"), None))
    text = next(o for o in knoten(app) if o.name == "Vorlage").queryText()
    warte("Caret der Vorlage nicht am Anfang", lambda: text.caretOffset == 0)
    befehl("tippe 5")
    warte("Caret der Vorlage folgt nicht (%d)" % text.caretOffset, lambda: text.caretOffset == 5)
    assert text.getSelection(0) == (5, 6), text.getSelection(0)
    befehl("tippe 3")  # over the line break: the view's text has one LF there
    warte("Caret nach dem Umbruch (%d)" % text.caretOffset, lambda: text.caretOffset == 8)
    befehl("falsch")
    warte("Fehler nicht im Namen des Fokus", lambda: "falsch" in (fokus().name or ""))
    befehl("ende")
    summe = warte("Fokus nicht auf der Zusammenfassung", lambda: fokus().name == "Zusammenfassung" and fokus())
    assert "Fehler: 1" in summe.queryText().getText(0, -1)
    print("AT-SPI: Caret, Fehler und Zusammenfassung wie erwartet")
finally:
    helfer.stdin.close()
    helfer.wait(timeout=10)
