#pragma once
#include "app/ui/WindowFrame.h"

class Velmora;

// The label sheet window: pages of 24 labels.
class TfrmArchivio_Etichette : public ui::Window {
public:
    explicit TfrmArchivio_Etichette(Velmora& app);

protected:
    void FormClose() override;

private:
    Velmora& app_;
};
