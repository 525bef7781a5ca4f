#pragma once
#include <QString>
#include <QStringList>

#include <functional>

// The fonts that travel with the program. The program folder holds, in its
// subfolder fonts/, the files of the families that the templates and the
// windows draw with (InstalledFamily in Prepared.h), so that a label has the
// same metrics wherever the folder is unpacked, fonts installed there or not.
namespace report {

// The subfolder of the program folder that holds the fonts.
constexpr char kFontsFolder[] = "fonts";

// Makes every font file in `programFolder`'s fonts/ subfolder drawable by
// its family name, ahead of an installed face of the same family, and has
// the names the windows ask for (Arial, Courier New, Verdana) drawn in their
// installed families even where no system configuration says so. Call it
// once, after the application object is made. Returns the files that could
// not be read as fonts; a missing subfolder adds none.
QStringList UseProgramFonts(const QString& programFolder);

// The same for a tool that may lay out no page at all: the font files are
// read when a page is first laid out or drawn (MakeFont asks for them), not
// now, and `unread` is told then of the files that could not be read.
void UseProgramFontsWhenNeeded(const QString& programFolder, std::function<void(const QStringList&)> unread);

// Reads the font files that UseProgramFontsWhenNeeded named, the first time
// it is called after it; MakeFont calls it before it makes any font.
void ReadProgramFontsIfNeeded();

}  // namespace report
