#include "export/report.h"

#include "data/cp1252.h"
#include "data/measurement_store.h"
#include "data/progress.h"

#include <algorithm>
#include <initializer_list>

namespace veldro {

namespace {

struct Item {
    int column;
    std::size_t width; // the value is padded with blanks on the right to this
};
using ItemLine = std::initializer_list<Item>;

const std::initializer_list<ItemLine> kHeadLines{
    {{ColProfile, 4}, {ColStation, 4}, {ColMode, 4}},
    {{ColFrequency, 5}, {ColQuality, 3}},
};
const std::initializer_list<ItemLine> kTiltLines{
    {{ColTiltVertical, 5}, {ColEllipticityVertical, 3}},
    {{ColHHorizontal, 5}},
    {{ColTiltHorizontal, 3}, {ColEllipticityHorizontal, 3}},
};
const std::initializer_list<ItemLine> kResistivityLines{
    {{ColResistivity, 5}, {ColPhase, 3}},
    {{ColEField, 3}, {ColHField, 3}},
};
const std::initializer_list<ItemLine> kChannelLines{
    {{ColCh1Gain, 3}, {ColCh1Overload, 3}},
    {{ColCh2Gain, 3}, {ColCh2Overload, 3}},
    {{ColCh3Gain, 3}, {ColCh3Overload, 3}},
    {{ColFrequencyNumber, 3}},
};

// "  caption : value" with the value left-aligned in its width; a hidden
// quantity leaves its item out but not its line.
void appendLines(std::string& out, const MeasurementRecord& r, const VisibleColumns& visible,
                 const std::initializer_list<ItemLine>& lines) {
    for (const ItemLine& line : lines) {
        for (const Item& item : line) {
            if (!visible[static_cast<std::size_t>(item.column)]) continue;
            ((out += "  ") += exportCaption(item.column)) += " : ";
            const std::size_t start = out.size();
            appendExportCell(out, r, item.column);
            const std::size_t length = out.size() - start;
            if (length < item.width) out.append(item.width - length, ' ');
        }
        out += "\r\n";
    }
}

void appendBlock(std::string& out, const MeasurementRecord& r, const std::string& caption,
                 const VisibleColumns& visible) {
    ((out += "\r\n#") += caption) += "\r\n";
    appendLines(out, r, visible, kHeadLines);
    appendLines(out, r, visible, r.resistivityMode() ? kResistivityLines : kTiltLines);
    appendLines(out, r, visible, kChannelLines);
    out += "\r\n";
}

// The text with each of its line breaks written as CR LF, then CR LF.
void appendAsLine(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    out += "\r\n";
}

} // namespace

void writeReport(MeasurementStore& store, const RowList& rows, const VisibleColumns& visible,
                 Progress* progress) {
    std::string& out = store.exportBuffer;
    out.clear();
    if (progress) progress->setMaximum(rows.size());
    const int n = std::min(rows.size(), store.count());
    for (int i = 0; i < n; ++i) {
        if (progress) progress->setPosition(i);
        if (rows.kept(i))
            appendBlock(out, store.record(i), rows.entries[static_cast<std::size_t>(i)].caption,
                        visible);
    }
}

std::string finishedReport(std::string_view pathLine, const MeasurementStore& store) {
    std::string out;
    out.reserve(store.exportBuffer.size() + MeasurementStore::kCommentSize + pathLine.size() + 8);
    appendAsLine(out, utf8ToCp1252(pathLine));
    appendAsLine(out, store.commentText());
    // Every line of the blocks already ends with CR LF.
    out += store.exportBuffer;
    return out;
}

} // namespace veldro
