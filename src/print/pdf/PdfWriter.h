#pragma once
#include "core/folder/TempFiles.h"
#include "core/sheets/Calibration.h"
#include "print/engine/Pages.h"

#include <QString>

namespace report {

// Writes the pages into a PDF file, one sheet each, each on paper of its own
// size and orientation, with no printer; the file replaces an earlier one
// only when all of it was written. The pages are drawn on every core;
// `progress` is told on the calling thread as they reach the file. Each page
// is drawn moved and scaled by `calibration` from its top left corner. The
// guard, when given, is asked about the folder the file is written into, as
// that folder is opened for the writing (its refusal is the error). Throws
// PrintError when the file cannot be written.
void WritePdf(const PageStream& pages, const QString& path, const QString& title = {},
              const PageProgress& progress = {}, const calibration::Calibration& calibration = {},
              const ReplacingFile::Guard& guard = {});

}  // namespace report
