#pragma once

#include "link/port.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace veldro::test {

// `call` must raise the port error with exactly `text`.
template <typename Call> void expectPortError(Call call, std::string_view text) {
    try {
        call();
        ADD_FAILURE() << "no error, expected \"" << text << '"';
    } catch (const PortError& error) {
        EXPECT_EQ(std::string(error.what()), std::string(text));
    }
}

} // namespace veldro::test
