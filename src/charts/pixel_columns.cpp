#include "charts/pixel_columns.h"

#include <algorithm>
#include <cmath>

namespace veldro {

QPolygonF reduceToPixelColumns(const QPolygonF& line) {
    QPolygonF kept;
    kept.reserve(std::min<qsizetype>(line.size(), 4096));
    qsizetype start = 0;
    while (start < line.size()) {
        const double column = std::floor(line[start].x());
        qsizetype low = start, high = start, end = start + 1;
        for (; end < line.size() && std::floor(line[end].x()) == column; ++end) {
            if (line[end].y() < line[low].y()) low = end;
            if (line[end].y() > line[high].y()) high = end;
        }
        const qsizetype last = end - 1;
        kept.append(line[start]);
        for (qsizetype i : {std::min(low, high), std::max(low, high)})
            if (i != start && i != last && kept.back() != line[i]) kept.append(line[i]);
        if (last != start) kept.append(line[last]);
        start = end;
    }
    return kept;
}

} // namespace veldro
