#include "batch/Progress.h"

#include <QTextStream>

namespace batch {

void Progress::Show(const char* stage, long long done, long long total) {
    if (!shown_ || total < 2) return;
    const long long percent = done * 100 / total;
    if (stage == stage_ && percent == percent_) return;
    if (stage != stage_) End();
    stage_ = stage;
    percent_ = percent;
    err_ << "\rvelmora-batch: " << stage << ' ' << done << '/' << total << " (" << percent << "%)";
    err_.flush();
}

void Progress::End() {
    if (stage_) err_ << "\n";
    err_.flush();
    stage_ = nullptr;
    percent_ = -1;
}

}  // namespace batch
