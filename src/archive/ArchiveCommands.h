#pragma once
#include "app/ui/WorkArea.h"

#include <QSize>

// The commands that the two archive windows share, with one picture and one
// status sentence each. A window passes itself: it has the command members
// (cmdNuovo, ...) and their handlers (cmdNuovoClick, ...) under these names.
namespace archive_commands {

constexpr QSize kIcon(48, 48);

template <class W>
ui::Command Nuovo(W& w) {
    return {w.cmdNuovo, "cmdNuovo", "nuovo", kIcon, [&w] { w.cmdNuovoClick(); },
            "Prepara la schermata per la registrazione di una nuova scheda."};
}
template <class W>
ui::Command Salva(W& w) {
    return {w.cmdSalva, "cmdSalva", "salva", kIcon, [&w] { w.cmdSalvaClick(); }, "Salva la scheda corrente."};
}
template <class W>
ui::Command Primo(W& w) {
    return {w.cmdPrimo, "cmdPrimo", "primo", kIcon, [&w] { w.cmdPrimoClick(); },
            "Visualizza la prima scheda in archivio."};
}
template <class W>
ui::Command Indietro(W& w) {
    return {w.cmdIndietro, "cmdIndietro", "indietro", kIcon, [&w] { w.cmdIndietroClick(); },
            "Visualizza la scheda precedente in archivio."};
}
template <class W>
ui::Command Avanti(W& w) {
    return {w.cmdAvanti, "cmdAvanti", "avanti", kIcon, [&w] { w.cmdAvantiClick(); },
            "Visualizza la scheda successiva in archivio."};
}
template <class W>
ui::Command Ultimo(W& w) {
    return {w.cmdUltimo, "cmdUltimo", "ultimo", kIcon, [&w] { w.cmdUltimoClick(); },
            "Visualizza l'ultima scheda in archivio."};
}
template <class W>
ui::Command Guida(W& w) {
    return {w.cmdGuida, "cmdGuida", "guida", kIcon, [&w] { w.cmdGuidaClick(); }, "Visualizza la guida in linea."};
}
template <class W>
ui::Command Esci(W& w) {
    return {w.cmdEsci, "cmdEsci", "esci", kIcon, [&w] { w.cmdEsciClick(); }, "Esci da questa schermata."};
}

}  // namespace archive_commands
