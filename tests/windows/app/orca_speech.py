#!/usr/bin/python3
"""What the Orca screen reader says while a user drives the program by keys.

Runs the walk of accessibility_bus.py's world (its private X server, session
bus, accessibility bus and test queue) with Orca listening: Orca starts with
no speech server (an empty speechServerFactory), so its debug log records
every utterance ("SPEECH OUTPUT: '...'") and nothing is heard. The walk goes
login -> data archive -> Nuovo -> save -> label sheet -> picker -> slot ->
print -> leave, and at each step checks what Orca said.

    dbus-run-session -- python3 orca_speech.py PROGRAM_FOLDER TEST_PRINTER_SCRIPT

Prints every utterance at the end; with ORCA_KEEP set, the debug log is
copied there."""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import accessibility_bus as bus  # noqa: E402
from accessibility_bus import fail, find, keys, type_text, wait_focus, window, gone  # noqa: E402

log_folder = tempfile.mkdtemp(prefix="velmora-orca-")
orca_log = None
heard_upto = 0  # how much of the log the walk has read


def start_orca(work):
    """Orca with its own settings: no speech server, every utterance logged."""
    global orca_log
    prefs = os.path.join(work, "orca")
    os.makedirs(prefs)
    orca_log = os.path.join(log_folder, "orca-debug.out")
    settings = {"general": {"speechServerFactory": "", "enableSpeech": True},
                "profiles": {"default": {"profile": ["Default", "default"], "speechServerFactory": ""}},
                "pronunciations": {}, "keybindings": {}}
    with open(os.path.join(prefs, "user-settings.conf"), "w") as file:
        json.dump(settings, file)
    # Orca's customizations, read at its start: the log written line by line,
    # so that the walk reads each utterance as it is said, and only what Orca
    # presents and why (logging every detail slows Orca down so much that it
    # answers the program's key events late).
    with open(os.path.join(prefs, "orca-customizations.py"), "w") as file:
        file.write("import orca.debug\norca.debug.debugFile.reconfigure(line_buffering=True)\n"
                   "orca.debug.debugLevel = orca.debug.LEVEL_INFO\n")
    orca = subprocess.Popen(["/usr/bin/orca", "-u", prefs, "--debug-file", orca_log],
                            stdout=subprocess.DEVNULL, stderr=open(os.path.join(log_folder, "orca-stderr"), "w"))
    end = time.monotonic() + 120  # GStreamer's first start scans its plugins
    while time.monotonic() < end:
        if "SPEECH: Not available" in log_text():
            return orca
        if orca.poll() is not None:
            with open(os.path.join(log_folder, "orca-stderr")) as file:
                raise RuntimeError("Orca ended: " + file.read()[-2000:])
        time.sleep(0.2)
    raise RuntimeError("Orca did not start")


def log_text():
    try:
        with open(orca_log, encoding="utf-8", errors="replace") as file:
            return file.read()
    except FileNotFoundError:
        return ""


def utterances(text):
    # Each line: SPEECH OUTPUT: 'what is said' and the voice, {...}.
    return re.findall(r"SPEECH OUTPUT: '(.*)'(?: voice=\S+)? ?\{.*$", text, re.M)


# Orca may fall behind the program by many seconds on a busy machine (it
# answers every key event the program forwards to it).
LAG = 120


def said(pattern, within=LAG):
    """Waits until Orca says something matching `pattern` (a regular
    expression) after what was heard before; returns everything said up to
    and including it."""
    global heard_upto
    end = time.monotonic() + within
    while True:
        text = log_text()
        spoken = utterances(text[heard_upto:])
        for i, utterance in enumerate(spoken):
            if re.search(pattern, utterance):
                # Moves on past this utterance only.
                marker = "SPEECH OUTPUT: '" + utterance + "'"
                heard_upto = text.index(marker, heard_upto) + len(marker)
                return spoken[:i + 1]
        if time.monotonic() > end:
            fail(f"Orca never said {pattern!r}; it said {spoken!r}")
            heard_upto = len(text)
            return spoken
        time.sleep(0.1)


def quiet(seconds=1.5):
    """What Orca says in the next moments, everything heard then."""
    global heard_upto
    time.sleep(seconds)
    text = log_text()
    spoken = utterances(text[heard_upto:])
    heard_upto = len(text)
    return spoken


def walk():
    # Login: Esc leaves Cambia password as its Chiudi does, and Esc in the
    # login window does not end the program.
    login = window(" Velmora - Riconoscimento")
    said(r"Immetti la password e premi OK")
    bus.press(login, "Cambia password")
    window(" Cambia password")
    said(r"Vecchia password")
    keys("Escape")
    gone(" Cambia password")
    login = window(" Velmora - Riconoscimento")
    said(r"Immetti la password e premi OK")
    keys("Escape")
    time.sleep(1)
    if bus.velmora.poll() is not None:
        fail("Esc in the login window ended the program")
        return
    wait_focus(login, "password text", "Immetti la password e premi OK.")
    type_text("riconoscimento")
    keys("Return")

    # The launcher's two tiles, each announced once.
    launcher = window(" Velmora")
    said(r"Velmora frame")
    for tile in ("Archivio Dati", "Rarudozu Varedorur"):
        bus.move_focus_to(launcher, "Tab", ("push button", tile))
        said(re.escape(tile))
        again = [utterance for utterance in quiet(3) if tile in utterance]
        if again:
            fail(f"the tile {tile!r} was announced again: {again!r}")

    # The data archive: a record typed, then Nuovo with the keyboard: the
    # focus moves to Nome etichetta and Orca says so, with the box empty.
    bus.press(launcher, "Archivio Dati")
    archive = window(" Velmora - Archivio Dati")
    wait_focus(archive, "text", "Nome etichetta:")
    for text in ("Mario Rossi", "Cliente", "Via Roma 1", "00100 Roma"):
        type_text(text)
        keys("Return")
    keys("F6")
    wait_focus(archive, *bus.NEW)
    said(r"Prepara la schermata")
    keys("space")
    box = wait_focus(archive, "text", "Nome etichetta:")
    said(r"Nome etichetta")
    if box.queryText().getText(0, -1) != "":
        fail("Nuovo left Nome etichetta filled")
    for text in ("Mario Rossi", "Cliente", "Via Roma 1", "00100 Roma"):
        type_text(text)
        keys("Return")
    keys("F6")
    wait_focus(archive, *bus.NEW)
    keys("Right", "Right")
    wait_focus(archive, *bus.SAVE)
    keys("space")
    window("Velmora")
    said(r"Registrazione|salvat|scheda")
    keys("Return")
    gone("Velmora")
    # The record number after the arrows.
    wait_focus(archive, *bus.SAVE)
    bus.move_focus_to(archive, "Left", bus.PAGING[0])
    keys("space")
    said(r"Scheda 1 di 1")
    bus.press(archive, bus.LEAVE[1])

    # The label sheet window: its page commands named as pages.
    launcher = window(" Velmora")
    bus.press(launcher, "Rarudozu Varedorur")
    sheet = window(" Velmora - Rarudozu Varedorur")
    wait_focus(sheet, "text", "Etichetta 1")
    keys("F6")
    bus.move_focus_to(sheet, "Right", bus.SHEET_SAVE)
    spoken = said(r"Salva la pagina corrente")
    if any("scheda" in utterance for utterance in spoken):
        fail(f"the page commands are read as records: {spoken!r}")

    # The picker: Tab into the list says the current record; Trova puts the
    # focus where it announces; Return picks; the slot says what it got.
    bus.press(sheet, "Importa nell'etichetta 5")
    picker = window(" Importa etichetta da archivio dati")
    wait_focus(picker, "text", "Parole da cercare")
    keys("Tab")
    wait_focus(picker, "list", "Schede in archivio")
    said(r"Mario Rossi")
    keys("shift+Tab")
    wait_focus(picker, "text", "Parole da cercare")
    type_text("rossi")
    keys("Return")  # to Trova, as the Enter cycle goes
    wait_focus(picker, "push button", "Trova")
    keys("Return")
    end = time.monotonic() + bus.DEADLINE
    while True:
        focus = bus.focus_now(picker)
        role = focus.getRoleName() if focus else None
        if role in ("list", "list item"):
            break
        if time.monotonic() > end:
            fail(f"after Trova the focus is on {role}")
            break
        time.sleep(0.1)
    said(r"Mario Rossi")
    keys("Return")
    gone(" Importa etichetta da archivio dati")
    wait_focus(sheet, "text", "Etichetta 5")
    said(r"Etichetta 5")
    said(r"Mario Ross")

    # The calibration window's printer list, read with its choice.
    bus.press(sheet, "Calibra la stampante per i fogli di etichette.")
    calibration = window(" Calibrazione della stampante")
    said(r"VelmoraPDF")
    keys("Escape")
    gone(" Calibrazione della stampante")

    # The page printed with keys alone; the print sent is announced.
    keys("F6")
    wait_focus(sheet, *bus.SHEET_NEW)
    bus.move_focus_to(sheet, "Right", ("push button", "Stampa"))
    keys("space")
    dialog = window(" Stampa pagina etichette")
    keys("Tab")
    wait_focus(dialog, "push button", "Stampa")
    keys("space")
    window("Stampa")
    said(r"Stampante")
    keys("Return")
    gone("Stampa")
    bus.wait_printed("Via Roma 1")
    said(r"[Ss]tampa (inviata|mandata)")

    # Leaving with keys alone.
    bus.move_focus_to(sheet, "Right", bus.LEAVE)
    keys("space")
    launcher = window(" Velmora")
    bus.move_focus_to(launcher, "Tab", ("push button", "Esci"))
    keys("space")
    if bus.velmora.wait(bus.DEADLINE) != 0:
        fail("the program did not end cleanly")


if __name__ == "__main__":
    status = bus.main(walk=walk, listener=start_orca)
    print("Orca said:")
    for utterance in utterances(log_text()):
        print("  " + utterance)
    if os.environ.get("ORCA_KEEP"):
        shutil.copy(orca_log, os.environ["ORCA_KEEP"])
    shutil.rmtree(log_folder, ignore_errors=True)
    sys.exit(status)
