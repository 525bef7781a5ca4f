#pragma once
#include "ui/WorkArea.h"

#include <QSize>

// The commands that the two archive windows share, with one picture and one
// status sentence each. A window passes itself: it has the command members
// (cmdNuovo, ...) and their handlers (cmdNuovoClick, ...) under these names.
namespace archive_commands {

constexpr QSize kIcon(48, 48);

template <class W>
ui::Command Nuovo(W& w) {
    return {w.cmdNuovo, "cmdNuovo", "nuovo", kIcon, ui::Call(&w, &W::cmdNuovoClick),
            "Prepara la schermata per la registrazione di una nuova scheda."};
}
template <class W>
ui::Command Salva(W& w) {
    return {w.cmdSalva, "cmdSalva", "salva", kIcon, ui::Call(&w, &W::cmdSalvaClick), "Salva la scheda corrente."};
}
// The paging group: first, previous, the record number, next, last.
template <class W>
ui::CommandGroup Paging(W& w) {
    return {
        ui::Command{w.cmdPrimo, "cmdPrimo", "primo", kIcon, ui::Call(&w, &W::cmdPrimoClick),
                    "Visualizza la prima scheda in archivio."},
        ui::Command{w.cmdIndietro, "cmdIndietro", "indietro", kIcon, ui::Call(&w, &W::cmdIndietroClick),
                    "Visualizza la scheda precedente in archivio."},
        ui::RecordNumber{},
        ui::Command{w.cmdAvanti, "cmdAvanti", "avanti", kIcon, ui::Call(&w, &W::cmdAvantiClick),
                    "Visualizza la scheda successiva in archivio."},
        ui::Command{w.cmdUltimo, "cmdUltimo", "ultimo", kIcon, ui::Call(&w, &W::cmdUltimoClick),
                    "Visualizza l'ultima scheda in archivio."},
    };
}
template <class W>
ui::Command Guida(W& w) {
    return {w.cmdGuida, "cmdGuida", "guida", kIcon, ui::Call(&w, &W::cmdGuidaClick), "Visualizza la guida in linea."};
}
template <class W>
ui::Command Esci(W& w) {
    return {w.cmdEsci, "cmdEsci", "esci", kIcon, ui::Call(&w, &W::cmdEsciClick), "Esci da questa schermata."};
}

}  // namespace archive_commands
