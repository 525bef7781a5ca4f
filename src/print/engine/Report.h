#pragma once

// The printing core, with no widgets: templates of positioned text and shape
// objects, layout into prepared pages, one painter, PDF writing and the
// printers. The windows on top of it are in Preview.h, PrintDialog.h, Print.h
// and ShowReport.h.
#include "print/engine/Layout.h"
#include "print/engine/Model.h"
#include "print/engine/Painter.h"
#include "print/engine/Prepared.h"
#include "print/engine/PrintChoices.h"
#include "print/engine/Printers.h"
