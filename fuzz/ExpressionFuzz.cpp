// The expression compiler and evaluator, against a small fixed test so that CHN and SCHN
// reach real channels: compiled with the channel identifiers, then evaluated by its type, and
// through EvaluateChannelExpression as the document does.

#include "FuzzSupport.h"

#include "data/ChannelFunctions.h"
#include "data/Databuff.h"
#include "data/prExpr.h"
#include "platform/runtime/Exceptions.h"

namespace {

// Far beyond any expression a user writes, small enough that each run stays quick.
constexpr size_t kMaxText = 4096;

vx::TDatabuffer& FixedBuffer() {
    static vx::TDatabuffer buffer;
    if (buffer.ProvaCount() == 0) {
        vx::TdataProva& test = buffer.AddProva(4);
        for (const char* name : {"Time", "Speed", "Label"})
            test.ChannelNames.Add(name);
        for (const char* unit : {"s", "rpm", "-"})
            test.Units.Add(unit);
        const char* const rows[][3] = {{"0", "1200", "a"}, {"0.5", "-30.25", "b"}, {"1", "x", ""}};
        for (const auto& row : rows) {
            for (int c = 0; c < 3; ++c)
                test.GetChannel(c).AddText(row[c]);
        }
        buffer.CurrentRow = 1;
    }
    return buffer;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxText)
        return 0;
    const std::string_view text = vx::fuzz::Bytes(data, size);
    vx::TDatabuffer& buffer = FixedBuffer();
    try {
        vx::IValueRef value;
        vx::CreateExpression(text, value, vx::ChannelIdentifiers(buffer));
        VX_FUZZ_CHECK(value);
        switch (value->ExprType()) {
        case vx::TExprType::String:
            value->AsString();
            break;
        case vx::TExprType::Boolean:
            value->AsBoolean();
            break;
        case vx::TExprType::Integer:
            value->AsInteger();
            break;
        case vx::TExprType::Float:
            value->AsFloat();
            break;
        default:
            value->TypeName();
            break;
        }
    } catch (const vx::Exception&) {
        // Refused with the evaluator's own error: the expected answer to a wrong text.
    }
    vx::IsValidChannelExpression(buffer, text);
    vx::EvaluateChannelExpression(buffer, text);
    return 0;
}
