#pragma once

// CHN and SCHN: the functions through which expressions read the channels of a data buffer's
// current test at its current row, and the check and evaluator that axes and the value box
// use for expressions over channels.

#include "data/prExpr.h"

#include <cstdint>
#include <string_view>

namespace vx {

class TDatabuffer;
class Tdatavector;

// Base of CHN and SCHN: one parameter, the channel number, read again at every evaluation.
class TChannelFunction : public TFunction {
public:
    TChannelFunction(TParameterList params, TDatabuffer& buffer)
        : TFunction(std::move(params)), buffer_(buffer) {}

    // True when evaluating the parameter while compiling read channel values, so that the
    // channel may change from row to row.
    bool ParameterReadsData() const { return parameterReadsData_; }
    // The channel the parameter names now (XChannel for a negative number).
    int32_t Channel();
    // The rows of that channel of the current test; -1 when there is no such channel.
    int ChannelRowCount();

protected:
    // Exactly one parameter readable as Integer whose value lies in [lowest, ChannelCount).
    bool CheckParameter(int32_t lowest);
    // The channel of the buffer's current test; a missing test or channel raises EListError.
    Tdatavector& Vector();
    TDatabuffer& Buffer() const { return buffer_; }

private:
    TDatabuffer& buffer_;
    bool parameterReadsData_ = false;
};

// CHN(n): the value of channel n (n = -1: XChannel) at the current row; Float, or String when
// the current row lies beyond the channel's end.
class TCHNExpr final : public TChannelFunction {
public:
    using TChannelFunction::TChannelFunction;
    bool TestParameters() override { return CheckParameter(-1); }
    std::string AsString() override;
    double AsFloat() override;
    TExprType ExprType() override;
    std::string_view ClassName() const override { return "TCHNExpr"; }
};

// SCHN(n): the text of channel n at the current row; always String.
class TSCHNExpr final : public TChannelFunction {
public:
    using TChannelFunction::TChannelFunction;
    bool TestParameters() override { return CheckParameter(0); }
    std::string AsString() override;
    TExprType ExprType() override { return TExprType::String; }
    std::string_view ClassName() const override { return "TSCHNExpr"; }
};

// The identifier callback for CreateExpression: CHN and SCHN bound to the buffer; nothing for
// any other name.
IValueRef ChannelIdentifierFunction(TDatabuffer& buffer, std::string_view name,
                                    TParameterList params);

// ChannelIdentifierFunction with the buffer bound, ready for CreateExpression.
TIdentifierFunction ChannelIdentifiers(TDatabuffer& buffer);

// True when the text compiles with CHN and SCHN at the buffer's current test and row. The
// tree is not evaluated.
bool IsValidChannelExpression(TDatabuffer& buffer, std::string_view text);

// The value of the text at the buffer's current test and row, with the user's decimal
// separator read as '.'; 0 when it does not compile or cannot be evaluated.
double EvaluateChannelExpression(TDatabuffer& buffer, std::string_view text);

} // namespace vx
