#include "core/importexport/progress.h"

namespace tw {

void TProgressState::BeginProgress(bool is_import, int max_value, bool no_cancel) {
    ProgressCancel = false;
    ProgressActive = true;
    ProgressMax = max_value;
    ProgressPosition = 0;
    ProgressImport = is_import;
    ProgressNoCancel = no_cancel;
}

TProgressState& Progress() {
    static TProgressState state;
    return state;
}

}  // namespace tw
