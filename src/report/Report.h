#pragma once

// The printing core, with no widgets: templates of positioned text and shape
// objects, layout into prepared pages, one painter, PDF writing and the
// printers. The windows on top of it are in Preview.h, PrintDialog.h, Print.h
// and ShowReport.h.
#include "report/Layout.h"
#include "report/Model.h"
#include "report/Painter.h"
#include "report/Prepared.h"
#include "report/PrintChoices.h"
#include "report/Printers.h"
