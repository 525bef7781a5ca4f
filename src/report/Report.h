#pragma once

// The report layer: templates of positioned text and shape objects, layout
// into prepared pages, one painter, the preview window and the print path.
namespace report {}
