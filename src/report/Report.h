#pragma once

// The report layer: templates of positioned text and shape objects, layout
// into prepared pages, one painter, the preview window and the print path.
#include "report/Model.h"
#include "report/Painter.h"
#include "report/Prepared.h"
#include "report/PrintChoices.h"
#include "report/Printers.h"
