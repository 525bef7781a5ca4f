#!/usr/bin/python3
"""The program as a screen reader meets it, through the desktop's accessibility bus.

Run inside its own session bus (dbus-run-session); starts a private X server,
the accessibility bus (by D-Bus activation) and the program on a copy of the
program folder, then walks the windows one by one with AT-SPI actions and key
presses only: every control a user can act on must have a role, a name and
its actions, and each window must show the controls of its row in WINDOWS.
Along the way it logs in, types a record into the data archive and saves it,
puts it on a page of labels, prints the page on a private CUPS queue and
leaves the program, with keys alone.

    dbus-run-session -- python3 accessibility_bus.py PROGRAM_FOLDER TEST_PRINTER_SCRIPT

Prints one line per window: controls found, named, actionable; with
A11Y_DUMP set to a window's caption, that window's whole tree as well."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

PROGRAM = sys.argv[1] if len(sys.argv) > 1 else None
PRINTER_SCRIPT = sys.argv[2] if len(sys.argv) > 2 else None  # scripts/test-printer.sh
DEADLINE = 30  # seconds any one window may take to appear

# Roles of the controls a user acts on, and the action each must offer.
CONTROLS = {
    "push button": "Press",
    "toggle button": "Toggle",
    "check box": "Toggle",
    "radio button": "Toggle",
    "combo box": "Press",
    "text": "SetFocus",
    "password text": "SetFocus",
    "spin button": "SetFocus",
    "list": None,
    "table": None,
    "page tab": None,
}

PREVIEW = "Pagina Etichette"

# A window is a frame or a dialog; a message box an alert.
WINDOW_ROLES = ("frame", "dialog", "alert")

# The windows, by caption, and the controls each must expose: (role, name).
SLOT_ROWS = [("text", f"Etichetta {n}") for n in (1, 5, 24)] + [
    ("push button", f"Importa nell'etichetta {n}") for n in (1, 5, 24)]
PAGING = [("push button", f"Visualizza {n} in archivio.") for n in (
    "la prima scheda", "la scheda precedente", "la scheda successiva", "l'ultima scheda")]
SAVE = ("push button", "Salva la scheda corrente.")
NEW = ("push button", "Prepara la schermata per la registrazione di una nuova scheda.")
LEAVE = ("push button", "Esci da questa schermata.")
# The label sheet window's commands read as what they do there, to pages.
SHEET_PAGING = [("push button", f"Visualizza {n} in archivio.") for n in (
    "la prima pagina", "la pagina precedente", "la pagina successiva", "l'ultima pagina")]
SHEET_SAVE = ("push button", "Salva la pagina corrente.")
SHEET_NEW = ("push button", "Prepara la schermata per una nuova pagina di etichette.")
WINDOWS = {
    " Velmora - Riconoscimento": [("password text", "Immetti la password e premi OK."), ("push button", "OK"),
                                  ("push button", "Esci"), ("push button", "Cambia password")],
    " Cambia password": [("password text", "Vecchia password:"), ("password text", "Nuova password:"),
                         ("password text", "Conferma nuova password:"), ("push button", "Chiudi"),
                         ("push button", "OK")],
    " Velmora": [("push button", n) for n in ("Informazioni", "Guida", "Archivio Dati", "Rarudozu Varedorur",
                                               "Presentazione", "Sito del produttore", "Esci")],
    " Informazioni su Velmora": [("push button", "Chiudi")],
    " Guida all'utilizzo del software": [("push button", "Visualizza guida in formato PDF"),
                                         ("push button", "Chiudi")],
    " Velmora - Archivio Dati": [("text", "Nome etichetta:"), ("text", "Tipo:"), ("text", "Riga 1"),
                                 ("text", "Riga 6"), ("text", "Note:"), SAVE,
                                 ("push button", "Allega file"), LEAVE] + PAGING,
    " Trova schede in archivio": [("text", "Parole da cercare"), ("list", "Schede in archivio"), ("push button", "Trova"),
                                  ("push button", "Stampa"), ("push button", "Chiudi")],
    " Allega file": [("push button", "Annulla"), ("push button", "Applica e chiudi")],
    " Stampa indirizzo su busta": [("push button", "Annulla"), ("push button", "Stampa")],
    " Esportazione archivio dati in Excel": [("push button", "Esporta l'archivio in formato Microsoft Excel."),
                                             ("push button", "Esci da questo ambiente di lavoro.")],
    " Anteprima di stampa": [("push button", "Annulla"), ("push button", "Mostra anteprima")],
    " Velmora - Rarudozu Varedorur": SLOT_ROWS + [SHEET_SAVE, LEAVE, ("push button", "Anteprima")] + SHEET_PAGING,
    " Importa etichetta da archivio dati": [("text", "Parole da cercare"), ("list", "Schede in archivio"),
                                            ("push button", "Chiudi")],
    " Stampa pagina etichette": [("push button", "Annulla"), ("push button", "Stampa")],
    # A list is read by its choice (the test queue), its caption beside it.
    " Calibrazione della stampante": [("combo box", "VelmoraPDF"), ("label", "Stampante:"),
                                      ("text", "Spostamento orizzontale:"),
                                      ("text", "Spostamento verticale:"), ("text", "Scala orizzontale:"),
                                      ("text", "Scala verticale:"), ("push button", "Annulla"),
                                      ("push button", "Foglio di prova"), ("push button", "Salva")],
}

import pyatspi  # noqa: E402  (after the session bus is known)

failures = []
figures = []


def fail(text):
    failures.append(text)
    print("FAIL:", text, flush=True)


def showing(acc):
    try:
        return acc.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def actions(acc):
    try:
        action = acc.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def descendants(acc):
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is None or not showing(child):
            continue
        yield child
        yield from descendants(child)


def program():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Velmora":
            return app
    return None


def window(caption):
    """The showing frame or dialog with this caption, once it appears."""
    end = time.monotonic() + DEADLINE
    while time.monotonic() < end:
        app = program()
        for i in range(app.childCount if app else 0):
            win = app.getChildAtIndex(i)
            if win is not None and win.name == caption and showing(win) and \
                    win.getRoleName() in WINDOW_ROLES:
                return win
        time.sleep(0.1)
    shown = [(w.getRoleName(), w.name) for w in (app.getChildAtIndex(i) for i in range(app.childCount)) if showing(w)]
    raise RuntimeError(f"window {caption!r} did not appear; shown: {shown}")


def gone(caption):
    end = time.monotonic() + DEADLINE
    while time.monotonic() < end:
        app = program()
        if not any(app.getChildAtIndex(i) is not None and app.getChildAtIndex(i).name == caption and
                   showing(app.getChildAtIndex(i)) for i in range(app.childCount)):
            return
        time.sleep(0.1)
    raise RuntimeError(f"window {caption!r} did not close")


def find(win, role, name):
    for acc in descendants(win):
        if acc.getRoleName() == role and acc.name == name:
            return acc
    raise RuntimeError(f"{role} {name!r} not found in {win.name!r}")


def press(win, name):
    """Presses a push button through its AT-SPI action."""
    button = find(win, "push button", name)
    action = button.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == "Press":
            action.doAction(i)
            return
    raise RuntimeError(f"{name!r} offers no press action")


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "30", *names], check=True)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "20", text], check=True)


def focus_now(win):
    """The control of the window that has the focus now, or None."""
    return next((acc for acc in descendants(win) if acc.getState().contains(pyatspi.STATE_FOCUSED)), None)


def focused(win):
    end = time.monotonic() + DEADLINE
    while time.monotonic() < end:
        acc = focus_now(win)
        if acc is not None:
            return acc
        time.sleep(0.1)
    return None


def wait_focus(win, role, name):
    end = time.monotonic() + DEADLINE
    while time.monotonic() < end:
        acc = focused(win)
        if acc is not None and acc.getRoleName() == role and acc.name == name:
            return acc
        time.sleep(0.1)
    raise RuntimeError(f"the focus never reached {role} {name!r} in {win.name!r}")


def move_focus_to(win, key, control):
    """Presses the key until the control has the focus."""
    for _ in range(16):
        time.sleep(0.1)
        acc = focus_now(win)
        if acc is not None and (acc.getRoleName(), acc.name) == control:
            return
        keys(key)
    wait_focus(win, *control)


def wait_printed(text):
    """The text of the test queue's page once it holds `text`."""
    end = time.monotonic() + 60
    page = ""
    while time.monotonic() < end:
        if os.path.exists(printed_pdf):
            page = subprocess.run(["pdftotext", printed_pdf, "-"], capture_output=True, text=True).stdout
            if text in page:
                return page
        time.sleep(0.2)
    raise RuntimeError(f"the test queue printed no page with {text!r} (it holds {page!r})")


def dump(acc, depth=0):
    print("  " * depth + f"{acc.getRoleName()} {acc.name!r} {actions(acc)}")
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None and showing(child):
            dump(child, depth + 1)


def check(caption):
    """Every control of the window: a role, a name, its action; and the ones its row names."""
    win = window(caption)
    if os.environ.get("A11Y_DUMP") == caption.strip():
        dump(win)
    if win.getRoleName() not in WINDOW_ROLES:
        fail(f"{caption!r} is a {win.getRoleName()}")
    found = named = actionable = 0
    seen = set()
    for acc in descendants(win):
        role = acc.getRoleName()
        seen.add((role, acc.name))
        if role not in CONTROLS:
            if role in ("filler", "unknown", "invalid") and actions(acc) and not acc.name.strip():
                fail(f"{caption!r}: an unnamed {role} acts ({actions(acc)})")
            continue
        found += 1
        if acc.name.strip():
            named += 1
        else:
            fail(f"{caption!r}: a {role} without a name")
        need = CONTROLS[role]
        enabled = acc.getState().contains(pyatspi.STATE_ENABLED)
        if need is None or not enabled or need in actions(acc):
            actionable += 1
        else:
            fail(f"{caption!r}: {role} {acc.name!r} lacks {need} (has {actions(acc)})")
    for role, name in WINDOWS.get(caption, []):
        if (role, name) not in seen:
            fail(f"{caption!r}: no {role} {name!r}")
    figures.append((caption.strip(), found, named, actionable))
    return win


def leave_with_escape(caption):
    keys("Escape")
    gone(caption)


def run():
    # Login: the change-password window first, then the password typed.
    login = check(" Velmora - Riconoscimento")
    press(login, "Cambia password")
    change = check(" Cambia password")
    press(change, "Chiudi")
    login = window(" Velmora - Riconoscimento")
    wait_focus(login, "password text", "Immetti la password e premi OK.")
    type_text("riconoscimento")
    keys("Return")

    launcher = check(" Velmora")
    for command, caption in (("Informazioni", " Informazioni su Velmora"), ("Guida", " Guida all'utilizzo del software"),
                             ("Presentazione", None)):
        press(launcher, command)
        if caption is None:  # the splash's caption is its own
            time.sleep(0)
            app = program()
            end = time.monotonic() + DEADLINE
            while time.monotonic() < end:
                dialogs = [app.getChildAtIndex(i) for i in range(app.childCount)
                           if app.getChildAtIndex(i) is not None and app.getChildAtIndex(i).getRoleName() == "dialog"
                           and showing(app.getChildAtIndex(i))]
                if dialogs:
                    caption = dialogs[0].name
                    break
                time.sleep(0.1)
        check(caption)
        leave_with_escape(caption)

    # The data archive: a record typed and saved with the keyboard alone.
    press(launcher, "Archivio Dati")
    archive = check(" Velmora - Archivio Dati")
    wait_focus(archive, "text", "Nome etichetta:")
    for text in ("Mario Rossi", "Cliente", "Via Roma 1", "00100 Roma"):
        type_text(text)
        keys("Return")
    # F6 to the commands, right to Salva (the third), Space presses it.
    keys("F6")
    wait_focus(archive, *NEW)
    keys("Right", "Right")
    wait_focus(archive, *SAVE)
    keys("space")
    box = window("Velmora")
    check("Velmora")
    keys("Return")
    gone("Velmora")
    data = os.path.join(folder, "Archivio_Dati.pro")
    if not os.path.exists(data) or os.path.getsize(data) != 3765:
        fail("the record was not saved")
    # The dialogs of the data archive, each left with Escape.
    for command, caption in (("Trova schede in archivio.", " Trova schede in archivio"),
                             ("Allega file", " Allega file"), ("Stampa", " Stampa indirizzo su busta"),
                             ("Esporta l'archivio in un file di Excel.", " Esportazione archivio dati in Excel"),
                             ("Visualizza l'anteprima di stampa dell'etichetta corrente.", " Anteprima di stampa")):
        press(archive, command)
        check(caption)
        leave_with_escape(caption)
    press(archive, LEAVE[1])

    launcher = window(" Velmora")
    press(launcher, "Rarudozu Varedorur")
    sheet = check(" Velmora - Rarudozu Varedorur")
    # Slot 5 filled from the picker with the keyboard: Tab to the list, the
    # first record, Enter.
    press(sheet, "Importa nell'etichetta 5")
    picker = check(" Importa etichetta da archivio dati")
    wait_focus(picker, "text", "Parole da cercare")
    keys("Tab")
    wait_focus(picker, "list", "Schede in archivio")
    keys("Down", "Return")
    gone(" Importa etichetta da archivio dati")
    slot = find(sheet, "text", "Etichetta 5").queryText()
    if slot.getText(0, -1) != "Mario Rossi":
        fail(f"slot 5 holds {slot.getText(0, -1)!r}")
    # The page's preview, through the report's own preview window.
    press(sheet, "Anteprima")
    check(" Anteprima di stampa")
    press(window(" Anteprima di stampa"), "Mostra anteprima")
    preview = check(PREVIEW)
    leave_with_escape(PREVIEW)
    gone(" Anteprima di stampa")
    press(sheet, "Calibra la stampante per i fogli di etichette.")
    check(" Calibrazione della stampante")
    leave_with_escape(" Calibrazione della stampante")

    # The page printed on the test queue with keys alone: F6 to the commands,
    # right to Stampa, Space; Tab to the dialog's Stampa, Space; Return in
    # the print dialog.
    keys("F6")
    wait_focus(sheet, *SHEET_NEW)
    keys("Right", "Right", "Right")
    wait_focus(sheet, "push button", "Stampa")
    keys("space")
    dialog = check(" Stampa pagina etichette")
    keys("Tab")
    wait_focus(dialog, "push button", "Stampa")
    keys("space")
    window("Stampa")
    keys("Return")
    gone("Stampa")
    printed = wait_printed("Via Roma 1")
    if "00100 Roma" not in printed:
        fail(f"the printed page reads {printed!r}")

    # Leaving with keys alone: along the commands to Esci, then in the
    # launcher Tab to its Esci.
    move_focus_to(sheet, "Right", LEAVE)
    keys("space")
    launcher = window(" Velmora")
    move_focus_to(launcher, "Tab", ("push button", "Esci"))
    keys("space")
    if velmora.wait(DEADLINE) != 0:
        fail("the program did not end cleanly")


def main(walk=None, listener=None):
    """Runs `walk` (this test's walk by default) on the program started on a
    copy of the program folder, its own X server and test queue; `listener`,
    given the work folder, starts a process that listens on the bus before
    the program starts (a screen reader)."""
    global folder, velmora, printed_pdf
    work = tempfile.mkdtemp(prefix="velmora-a11y-")
    # The accessibility bus puts its socket in the runtime folder, or in
    # ~/.cache/at-spi when there is none: a folder of this run's own keeps
    # a test running beside this one from taking or removing it.
    runtime = os.path.join(work, "runtime")
    os.mkdir(runtime, 0o700)
    os.environ["XDG_RUNTIME_DIR"] = runtime
    # The bus launcher is started by the session bus, with its environment.
    subprocess.run(["dbus-update-activation-environment", "XDG_RUNTIME_DIR"], check=True)
    # A private CUPS scheduler with the PDF queue VelmoraPDF, the default.
    printer = dict(os.environ, VELMORA_TEST_PRINTER_DIR=tempfile.mkdtemp(prefix="velmora-a11y-cups-"))
    subprocess.run([PRINTER_SCRIPT, "start"], env=printer, check=True, stdout=subprocess.DEVNULL)
    os.environ["CUPS_SERVER"] = os.path.join(printer["VELMORA_TEST_PRINTER_DIR"], "cups.sock")
    printed_pdf = os.path.join(printer["VELMORA_TEST_PRINTER_DIR"], "out.pdf")
    folder = os.path.join(work, "Velmora")
    shutil.copytree(PROGRAM, folder)
    for name in ("Archivio_Dati.pro", "Archivio_Etichette.pro"):
        if os.path.exists(os.path.join(folder, name)):
            os.remove(os.path.join(folder, name))
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1600x1000x24", "-nolisten", "tcp"],
                            pass_fds=[write_fd], stderr=subprocess.DEVNULL)
    os.close(write_fd)
    display = os.read(read_fd, 16).decode().strip()
    os.environ["DISPLAY"] = ":" + display
    processes = [xvfb]
    try:
        processes.append(subprocess.Popen(["openbox", "--sm-disable"], stderr=subprocess.DEVNULL))
        pyatspi.Registry.getDesktop(0)  # starts the accessibility bus
        if listener:
            processes.append(listener(work))
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
                   QT_ACCESSIBILITY="1", LC_ALL="C.UTF-8")
        velmora = subprocess.Popen([os.path.join(folder, "Velmora")], env=env)
        processes.append(velmora)
        (walk or run)()
    except Exception as error:  # a step that could not be done fails the test
        fail(str(error))
    finally:
        for process in reversed(processes):
            process.terminate()
        for process in reversed(processes):
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
        shutil.rmtree(work, ignore_errors=True)
        subprocess.run([PRINTER_SCRIPT, "stop"], env=printer)
        shutil.rmtree(printer["VELMORA_TEST_PRINTER_DIR"], ignore_errors=True)
    print(f"{'window':45} found named actionable")
    for caption, found, named, actionable in figures:
        print(f"{caption:45} {found:5} {named:5} {actionable:10}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
