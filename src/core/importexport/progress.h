#pragma once

namespace tw {

/// The shared state through which a long import or export reports its progress. The job writes
/// it; the progress window reads it on its timer while the job lets window messages run. No
/// thread is involved: both sides run on the user-interface thread.
struct TProgressState {
    bool ProgressActive = false;    ///< a job is running
    int ProgressMax = 0;            ///< the job's total; -1 when not given
    int ProgressPosition = 0;       ///< items done so far
    bool ProgressImport = false;    ///< true for an import, false for an export
    bool ProgressCancel = false;    ///< the user pressed the cancel button
    bool ProgressNoCancel = false;  ///< the job cannot be cancelled

    /// Starts a run, or announces a new total for the running job (which also drops a cancel
    /// request made before).
    void BeginProgress(bool is_import, int max_value, bool no_cancel);
    void SetProgressPosition(int position) { ProgressPosition = position; }
    void EndProgress() { ProgressActive = false; }
    bool CancelRequested() const { return ProgressCancel; }
    /// The cancel button: pressing it twice is the same as once.
    void RequestCancel() { ProgressCancel = true; }
};

/// The one progress state of the program.
TProgressState& Progress();

/// Ends the running progress on every way out of a job's scope.
class TProgressRun {
public:
    TProgressRun(bool is_import, int max_value, bool no_cancel) {
        Progress().BeginProgress(is_import, max_value, no_cancel);
    }
    ~TProgressRun() { Progress().EndProgress(); }
    TProgressRun(const TProgressRun&) = delete;
    TProgressRun& operator=(const TProgressRun&) = delete;
};

}  // namespace tw
