#pragma once

#include <string>

namespace veldro {

// The progress bar of a long operation, free of any toolkit.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void setMaximum(int maximum) = 0;
    virtual void setPosition(int position) = 0;
    virtual int position() const = 0;
    void advance() { setPosition(position() + 1); }
};

// A line of status text, such as the download's record counter.
class Label {
public:
    virtual ~Label() = default;
    virtual void setText(const std::string& text) = 0;
};

} // namespace veldro
