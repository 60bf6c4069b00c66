#include "common/base/work_area.h"

void ClampToArea(int32_t& x, int32_t& y, int32_t width, int32_t height, const WorkArea& area) {
    // 64-bit sums: stored window sizes come from the settings file and may be anything.
    if (int64_t(x) + width > area.right) x = int32_t(int64_t(area.right) - width);
    if (int64_t(y) + height > area.bottom) y = int32_t(int64_t(area.bottom) - height);
    if (x < 0) x = 0;
    if (y < 0) y = 0;
}
