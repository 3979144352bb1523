#include "export/rtf.h"

#include <bit>
#include <functional>
#include <limits>
#include <stdexcept>

namespace veldro {

namespace {

std::size_t hashOf(const TextStyle& style) {
    std::size_t h = std::hash<std::string>{}(style.font.text());
    const auto mix = [&h](std::size_t value) { h = h * 1099511628211u ^ value; };
    mix(static_cast<std::size_t>(style.halfPoints));
    mix((style.bold ? 1u : 0u) | (style.italic ? 2u : 0u) | (style.underline ? 4u : 0u));
    if (style.colour)
        mix(0x1000000u | style.colour->red << 16 | style.colour->green << 8 | style.colour->blue);
    return h;
}

} // namespace

FontName::FontName(std::string name)
    : name_(name.empty() ? nullptr : std::make_shared<const std::string>(std::move(name))) {}

const std::string& FontName::text() const {
    static const std::string none;
    return name_ ? *name_ : none;
}

bool FontName::operator==(const FontName& other) const {
    return name_ == other.name_ || text() == other.text();
}

StyledText::StyledText(std::initializer_list<StyledRun> runs) {
    for (const StyledRun& run : runs) append(run.text, run.style);
}

std::uint32_t StyledText::intern(const TextStyle& style) {
    if (slots_.size() < 2 * (styles_.size() + 1)) {
        slots_.assign(std::bit_ceil(4 * (styles_.size() + 1)), 0); // a power of two
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t s = 0; s < styles_.size(); ++s) {
            std::size_t i = hashOf(styles_[s]) & mask;
            while (slots_[i] != 0) i = (i + 1) & mask;
            slots_[i] = static_cast<std::uint32_t>(s + 1);
        }
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hashOf(style) & mask;; i = (i + 1) & mask) {
        if (slots_[i] == 0) {
            styles_.push_back(style);
            slots_[i] = static_cast<std::uint32_t>(styles_.size());
            return slots_[i] - 1;
        }
        if (styles_[slots_[i] - 1] == style) return slots_[i] - 1;
    }
}

void StyledText::append(std::string_view text, const TextStyle& style) {
    if (text.empty()) return;
    if (text.size() > std::numeric_limits<std::uint32_t>::max() - text_.size())
        throw std::length_error("styled text past 4 GiB");
    const std::uint32_t index = intern(style);
    text_.append(text);
    const auto end = static_cast<std::uint32_t>(text_.size());
    if (!runs_.empty() && runs_.back().style == index)
        runs_.back().end = end;
    else
        runs_.push_back({end, index});
}

StyledText::Run StyledText::run(std::size_t index) const {
    const std::uint32_t start = index == 0 ? 0 : runs_[index - 1].end;
    const Span& span = runs_[index];
    return {std::string_view(text_).substr(start, span.end - start), styles_[span.style],
            span.style};
}

bool StyledText::operator==(const StyledText& other) const {
    if (size() != other.size() || text_ != other.text_) return false;
    for (std::size_t r = 0; r < size(); ++r)
        if (runs_[r].end != other.runs_[r].end || !(run(r).style == other.run(r).style))
            return false;
    return true;
}

} // namespace veldro
