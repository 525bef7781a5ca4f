#pragma once
#include "windows/shell/LinkDialog.h"

// The credit window: the maker's name and web address on a large picture,
// and the link to the maker's web site. It opens centred on its opener.
class TfrmSplash : public LinkDialog {
public:
    explicit TfrmSplash(QWidget* owner);

    ui::PictureButton* imgWeb;
};
