#pragma once

// Small tests of a bench run for the value windows: channel names, units and rows of texts.

#include "data/Databuff.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace vx::test {

inline TdataProva& AddRunTest(TDatabuffer& buffer, const std::string& fileName,
                              std::initializer_list<const char*> names,
                              std::initializer_list<const char*> units,
                              std::initializer_list<std::vector<const char*>> rows) {
    TdataProva& test = buffer.AddProva(static_cast<int>(names.size()) + 1);
    test.FileName = fileName;
    buffer.FileNames.Add(fileName);
    for (const char* name : names)
        test.ChannelNames.Add(name);
    for (const char* unit : units)
        test.Units.Add(unit);
    for (const std::vector<const char*>& row : rows)
        for (size_t c = 0; c < row.size(); ++c)
            test.GetChannel(static_cast<int>(c)).AddText(row[c]);
    return test;
}

} // namespace vx::test
