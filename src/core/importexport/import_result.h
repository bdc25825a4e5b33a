#pragma once

namespace tw {

/// Outcome of the program's own archive import and of the imports that share its result codes;
/// the values are the codes the windows act on.
enum class TImportResult {
    Failed = 0,     ///< nothing was added (or what was added could not be saved and was taken back)
    Cancelled = 1,  ///< stopped through the progress window; the data are as before the import
    Done = 2,       ///< every entry the file holds was added
};

}  // namespace tw
