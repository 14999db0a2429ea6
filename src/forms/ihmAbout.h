// The about box: a hidden form of the system, created once at start-up. It
// shows the program's name, version, author and two links to the author.
#pragma once

#include "../framework/Controls.h"
#include "../framework/Font.h"
#include "../framework/Form.h"
#include "../framework/IconImage.h"
#include "../widgets/UrlLabel.h"

class TihmAbout : public TForm {
public:
    TihmAbout();
    ~TihmAbout() override;

private:
    // Fonts outlive the controls that use them: declared before them.
    TScopedFont fontAppName_;
    TScopedFont fontBold_;

public:
    TPanel pnlConteneur;
    TIconImage imgIcon;
    TLabel lblAppName;
    TLabel zdsAppDescription;
    TLabel lblVersion;
    TLabel zdsVersion;
    TLabel lblAuteur;
    TLabel zdsAuteur;
    Tk7tUrlLabel urlWebSite;
    Tk7tUrlLabel urlMail;
    TLabel lblDate;
    TLabel Label2;

    // The name, version, author and date labels in their own fonts.
    void ApplyLabelFonts();
    // Escape hides the box; other keys pass on.
    bool FormKeyDown(WPARAM key);
};

extern TihmAbout* ihmAbout;
