#include "data/ChannelFunctions.h"

#include "data/Databuff.h"
#include "platform/runtime/FormatSettings.h"

#include <algorithm>
#include <string>

namespace vx {

namespace {

// Every look at the buffer's rows on this thread, so that a function can tell whether its
// parameter depends on them.
thread_local uint64_t rowStateReads = 0;

} // namespace

int32_t TChannelFunction::Channel() {
    const int32_t n = Param(0).AsInteger();
    return n < 0 ? buffer_.XChannel : n;
}

Tdatavector& TChannelFunction::Vector() {
    ++rowStateReads;
    return buffer_.GetProva(buffer_.CurrentTest).GetChannel(Channel());
}

int TChannelFunction::ChannelRowCount() {
    try {
        return Vector().Count();
    } catch (const Exception&) {
        return -1;
    }
}

bool TChannelFunction::CheckParameter(int32_t lowest) {
    if (ParameterCount() != 1)
        return false;
    const uint64_t before = rowStateReads;
    bool valid = Param(0).CanReadAs(TExprType::Integer);
    if (valid) {
        const int32_t n = Param(0).AsInteger();
        valid = n >= lowest && n < buffer_.GetProva(buffer_.CurrentTest).ChannelCount();
    }
    parameterReadsData_ = rowStateReads != before;
    return valid;
}

std::string TCHNExpr::AsString() {
    return Vector().GetText(Buffer().CurrentRow);
}

double TCHNExpr::AsFloat() {
    return Vector().GetFloat(Buffer().CurrentRow);
}

TExprType TCHNExpr::ExprType() {
    // Beyond the channel's end there is no number to read, only the failure a text read gives.
    const int row = Buffer().CurrentRow;
    return row >= 0 && row < ChannelRowCount() ? TExprType::Float : TExprType::String;
}

std::string TSCHNExpr::AsString() {
    return Vector().GetText(Buffer().CurrentRow);
}

IValueRef ChannelIdentifierFunction(TDatabuffer& buffer, std::string_view name,
                                    TParameterList params) {
    if (name == "CHN")
        return new TCHNExpr(std::move(params), buffer);
    if (name == "SCHN")
        return new TSCHNExpr(std::move(params), buffer);
    return {};
}

TIdentifierFunction ChannelIdentifiers(TDatabuffer& buffer) {
    return [&buffer](std::string_view name, TParameterList params) {
        return ChannelIdentifierFunction(buffer, name, std::move(params));
    };
}

bool IsValidChannelExpression(TDatabuffer& buffer, std::string_view text) {
    try {
        IValueRef value;
        CreateExpression(text, value, ChannelIdentifiers(buffer));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

double EvaluateChannelExpression(TDatabuffer& buffer, std::string_view text) {
    std::string source(text);
    // Numbers typed with the user's separator; every other use of that character goes too.
    if (const char separator = FormatSettings().DecimalSeparator; separator != '.')
        std::replace(source.begin(), source.end(), separator, '.');
    try {
        IValueRef value;
        CreateExpression(source, value, ChannelIdentifiers(buffer));
        return value->AsFloat();
    } catch (const std::exception&) {
        return 0;
    }
}

} // namespace vx
