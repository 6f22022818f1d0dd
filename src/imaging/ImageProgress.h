#pragma once
// Progress reports of the picture decoders: a stage and a whole percentage. The loading window
// shows them; decoders called without a window get an empty callback.

#include <functional>

namespace kv {

enum TProgressStage { psStarting, psRunning, psEnding };

using TImageProgress = std::function<void(TProgressStage stage, int percent)>;

// Counts decoded rows into whole percentages and reports each one that changes.
class TRowProgress {
public:
    TRowProgress(const TImageProgress& report, int64_t rows) : Report_(report), Rows_(rows) {}

    void Start() { Send(psStarting, 0); }
    void RowDone()
    {
        ++Done_;
        const int percent = Rows_ > 0 ? static_cast<int>(Done_ * 100 / Rows_) : 100;
        if (percent != Last_) {
            Last_ = percent;
            Send(psRunning, percent);
        }
    }
    void End() { Send(psEnding, 100); }

private:
    void Send(TProgressStage stage, int percent)
    {
        if (Report_)
            Report_(stage, percent);
    }

    const TImageProgress& Report_;
    int64_t Rows_ = 0;
    int64_t Done_ = 0;
    int Last_ = -1;
};

} // namespace kv
