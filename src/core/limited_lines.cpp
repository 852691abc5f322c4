#include "core/limited_lines.h"

namespace Core {

bool LimitedLines::append(const QByteArray& line) {
    const qsizetype added = line.size() + (lines_.isEmpty() ? 0 : 2);
    if (bytes_ + added > limit_) return false;
    bytes_ += added;
    lines_ << line;
    return true;
}

void LimitedLines::clear() {
    lines_.clear();
    bytes_ = 0;
}

}  // namespace Core
