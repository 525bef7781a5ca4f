#pragma once
#include "app/ui/WindowFrame.h"

#include <QString>

#include <array>

class QLabel;
class QLineEdit;
class Velmora;

// The label sheet window ("Rarudozu Varedorur"): pages of 24 labels.
class TfrmArchivio_Etichette : public ui::Window {
public:
    static constexpr int kSlots = 24;
    static constexpr int kLines = 6;

    explicit TfrmArchivio_Etichette(Velmora& app);

    // The name box txtNome_E01 .. txtNome_E24 of slot 1 .. 24.
    QLineEdit* txtNome(int slot) const { return names_[slot - 1]; }
    // The hidden line label txtRigo01_E01 .. txtRigo06_E24: line 1 .. 6 of slot 1 .. 24.
    QLabel* txtRigo(int line, int slot) const { return lines_[(slot - 1) * kLines + line - 1]; }

    // The slot key "etichetta_E01" .. "etichetta_E24" of slot n, and back (0 for no slot).
    static QString SlotKey(int slot);
    static int SlotOfKey(const QString& key);

protected:
    void FormClose() override;

private:
    Velmora& app_;
    std::array<QLineEdit*, kSlots> names_{};
    std::array<QLabel*, kSlots * kLines> lines_{};
};
