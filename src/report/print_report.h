#pragma once

#include <vector>

#include "core/entries/entries.h"

class QPagedPaintDevice;

namespace tw {

/// Font family of the printed list (package fonts-dejavu-core).
inline constexpr const char* kPrintFontFamily = "DejaVu Sans Mono";

/// Prints the main list on a paged device that has no painter yet (the printer the print dialog
/// set up): one fixed-pitch line per id, in display order, each showing the collection's entry
/// with that id, laid out by LayoutPrint with today's date and the program version, in units of
/// 0.1 mm from the top left of the printable area. True when the document was completed.
bool PrintEntries(QPagedPaintDevice& device, const TTWEntries& entries,
                  const std::vector<int>& ids_in_display_order);

}  // namespace tw
