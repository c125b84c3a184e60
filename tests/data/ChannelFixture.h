#pragma once

#include "data/Databuff.h"
#include "platform/runtime/Exceptions.h"

#include <functional>
#include <string>
#include <vector>

namespace vx::test {

// One test: its channels, each the value texts in row order.
using TestRows = std::vector<std::vector<std::string>>;

// Each test gets one vector more than it has channels, the last one empty, as after an import.
inline void AddTests(TDatabuffer& buffer, const std::vector<TestRows>& tests) {
    for (const TestRows& channels : tests) {
        TdataProva& test = buffer.AddProva(static_cast<int>(channels.size()) + 1);
        for (size_t c = 0; c < channels.size(); ++c)
            for (const std::string& text : channels[c])
                test.GetChannel(static_cast<int>(c)).AddTextRaw(text);
    }
}

// Every vector of a test, the last one included.
inline TestRows Rows(const TdataProva& test) {
    TestRows rows;
    for (int c = 0; c < test.VectorCount(); ++c) {
        const Tdatavector& channel = test.GetChannel(c);
        rows.emplace_back();
        for (int r = 0; r < channel.Count(); ++r)
            rows.back().push_back(channel.GetText(r));
    }
    return rows;
}

// The message of what the action raises; "" when it raises nothing.
inline std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "";
}

} // namespace vx::test
