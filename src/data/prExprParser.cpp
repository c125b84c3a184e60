#include "data/prExpr.h"

#include "data/prExprObject.h"
#include "platform/runtime/Format.h"
#include "platform/runtime/Numbers.h"

#include <algorithm>
#include <cstring>

// The compiler: a recursive descent over the bytes of the text, one function per precedence
// level, building the nodes as it goes. Row filters compile once per row, so the scanner
// works on pointers and allocates nothing but the nodes and the texts they keep.

namespace vx {

namespace {

// Deeper nesting (of the text or of the tree) would exhaust the stack while compiling,
// evaluating or freeing.
constexpr int kMaxDepth = 1000;
constexpr int kMaxNumberLength = 28;
constexpr int kMaxHexDigits = 255;
constexpr size_t kMaxStringLength = 256;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsIdentChar(char c) {
    return IsLetter(c) || IsDigit(c) || c == '_';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// A word of up to three letters packed into one number, so that a word is matched by one
// comparison.
constexpr uint32_t WordKey(std::string_view word) {
    uint32_t key = 0;
    for (char c : word)
        key = key << 8 | static_cast<unsigned char>(c);
    return key;
}

struct TWordOperator {
    uint32_t key;
    TExprOperator op;
};

constexpr TWordOperator kWordOperators[] = {
    {WordKey("NOT"), TExprOperator::opNot}, {WordKey("DIV"), TExprOperator::opDiv},
    {WordKey("MOD"), TExprOperator::opMod}, {WordKey("AND"), TExprOperator::opAnd},
    {WordKey("SHL"), TExprOperator::opShl}, {WordKey("SHR"), TExprOperator::opShr},
    {WordKey("OR"), TExprOperator::opOr},   {WordKey("XOR"), TExprOperator::opXor},
};

// A set of operators, one bit each.
constexpr uint32_t Ops(std::initializer_list<TExprOperator> ops) {
    uint32_t set = 0;
    for (TExprOperator op : ops)
        set |= 1u << static_cast<unsigned>(op);
    return set;
}

// The functions of the language, found before the caller's identifiers.
IValueRef CreateBuiltIn(std::string_view name, TParameterList& params) {
    static constexpr std::string_view kCasts[] = {"OBJECT",  "STRING",     "FLOAT",
                                                  "INTEGER", "ENUMERATED", "BOOLEAN"};
    static constexpr std::string_view kMath[] = {
        "TRUNC", "ROUND", "ABS",  "ARCTAN", "COS",  "EXP", "FRAC", "INT", "LN", "PI",
        "SIN",   "SQR",   "SQRT", "POWER",  "INTL", "MIN", "MAX",  "MED", "RND"};
    static constexpr std::string_view kStrings[] = {"UPPER", "LOWER", "COPY", "POS", "LENGTH"};
    // Every identifier of a row filter comes through here: reject on length and first letter
    // before comparing texts.
    auto indexIn = [name](const auto& names) -> int {
        for (size_t i = 0; i < std::size(names); ++i)
            if (names[i].size() == name.size() && names[i][0] == name[0] && names[i] == name)
                return static_cast<int>(i);
        return -1;
    };
    if (name == "IF")
        return new TConditional(std::move(params));
    if (const int i = indexIn(kCasts); i >= 0)
        return new TTypeCast(std::move(params), static_cast<TExprType>(i));
    if (const int i = indexIn(kMath); i >= 0)
        return new TMathExpression(std::move(params), static_cast<TMathExpression::TKind>(i));
    if (const int i = indexIn(kStrings); i >= 0)
        return new TStringExpression(std::move(params), static_cast<TStringExpression::TKind>(i));
    return {};
}

// Kept out of line: the parser recurses once per nesting level, and every temporary of a
// message would otherwise widen each of its frames.
[[noreturn, gnu::cold, gnu::noinline]] void Fail(std::string_view format,
                                                 std::string_view arg = {}) {
    throw EExpression(Format(format, {arg}));
}

// A subtree and the number of node levels in it.
struct TNode {
    IValueRef value;
    int depth;
};

class TParser {
public:
    TParser(std::string_view text, const TIdentifierFunction& identifierFunction)
        : p_(text.data()), identifierFunction_(identifierFunction) {
        // Code 0 ends the text.
        const void* nul = std::memchr(text.data(), 0, text.size());
        end_ = nul ? static_cast<const char*>(nul) : text.data() + text.size();
    }

    IValueRef Parse() {
        TNode root = Relation();
        if (Peek() != 0)
            Fail("%s not appropriate", std::string_view(p_, 1));
        return std::move(root.value);
    }

private:
    // Skips the characters 1 to 32 and gives the next one, 0 at the end of the text.
    char Peek() {
        while (p_ < end_ && static_cast<unsigned char>(*p_) <= 32)
            ++p_;
        return p_ < end_ ? *p_ : 0;
    }

    // The operator at the current place, if any, and its length in bytes. Every precedence
    // level asks in turn at the same place, so the answer is kept for that place.
    bool PeekOperator(TExprOperator& op, int& length) {
        Peek();
        if (p_ != scannedAt_) {
            scannedAt_ = p_;
            scannedFound_ = ScanOperator(scannedOp_, scannedLength_);
        }
        op = scannedOp_;
        length = scannedLength_;
        return scannedFound_;
    }

    bool ScanOperator(TExprOperator& op, int& length) {
        const char c = p_ < end_ ? *p_ : 0;
        length = 1;
        switch (c) {
        case '^':
            op = TExprOperator::opExp;
            return true;
        case '*':
            op = TExprOperator::opMult;
            return true;
        case '/':
            op = TExprOperator::opDivide;
            return true;
        case '+':
            op = TExprOperator::opPlus;
            return true;
        case '-':
            op = TExprOperator::opMinus;
            return true;
        case '=':
            op = TExprOperator::opEq;
            return true;
        case '<':
            if (p_ + 1 < end_ && (p_[1] == '=' || p_[1] == '>')) {
                op = p_[1] == '=' ? TExprOperator::opLTE : TExprOperator::opNEq;
                length = 2;
            } else {
                op = TExprOperator::opLT;
            }
            return true;
        case '>':
            if (p_ + 1 < end_ && p_[1] == '=') {
                op = TExprOperator::opGTE;
                length = 2;
            } else {
                op = TExprOperator::opGT;
            }
            return true;
        default:
            return IsLetter(c) && PeekWordOperator(op, length);
        }
    }

    bool PeekWordOperator(TExprOperator& op, int& length) {
        int n = 0;
        while (n < 4 && p_ + n < end_ && IsIdentChar(p_[n]))
            ++n;
        if (n < 2 || n > 3)
            return false;
        uint32_t key = 0;
        for (int i = 0; i < n; ++i)
            key = key << 8 | static_cast<unsigned char>(AsciiUpper(p_[i]));
        for (const TWordOperator& w : kWordOperators) {
            if (w.key == key) {
                op = w.op;
                length = n;
                return true;
            }
        }
        return false;
    }

    // Takes the operator when it is one of the set.
    bool TakeOperator(uint32_t set, TExprOperator& op) {
        int length;
        if (!PeekOperator(op, length) || !(set & (1u << static_cast<unsigned>(op))))
            return false;
        p_ += length;
        return true;
    }

    static int Deeper(int depth) {
        if (depth > kMaxDepth)
            Fail("Expression too complex");
        return depth;
    }

    template <class TOp>
    static TNode Combine(TExprOperator op, TNode left, TNode right) {
        const int depth = Deeper(std::max(left.depth, right.depth) + 1);
        return {IValueRef(new TOp(op, std::move(left.value), std::move(right.value))), depth};
    }

    TNode Relation() {
        constexpr uint32_t kOps =
            Ops({TExprOperator::opEq, TExprOperator::opNEq, TExprOperator::opLT,
                 TExprOperator::opGT, TExprOperator::opLTE, TExprOperator::opGTE});
        TNode left = Simple();
        TExprOperator op;
        while (TakeOperator(kOps, op))
            left = Combine<TRelationalOp>(op, std::move(left), Simple());
        return left;
    }

    TNode Simple() {
        constexpr uint32_t kOps = Ops({TExprOperator::opPlus, TExprOperator::opMinus,
                                       TExprOperator::opOr, TExprOperator::opXor});
        TNode left = Term();
        TExprOperator op;
        while (TakeOperator(kOps, op))
            left = Combine<TBinaryOp>(op, std::move(left), Term());
        return left;
    }

    TNode Term() {
        constexpr uint32_t kOps =
            Ops({TExprOperator::opMult, TExprOperator::opDivide, TExprOperator::opDiv,
                 TExprOperator::opMod, TExprOperator::opAnd, TExprOperator::opShl,
                 TExprOperator::opShr});
        TNode left = Power();
        TExprOperator op;
        while (TakeOperator(kOps, op))
            left = Combine<TBinaryOp>(op, std::move(left), Power());
        return left;
    }

    TNode Power() {
        constexpr uint32_t kOps = Ops({TExprOperator::opExp});
        TNode left = Postfix();
        TExprOperator op;
        while (TakeOperator(kOps, op))
            left = Combine<TBinaryOp>(op, std::move(left), Postfix());
        return left;
    }

    TNode Postfix() {
        TNode node = Factor();
        while (Peek() == '.' && node.value->ExprType() == TExprType::Object) {
            ++p_;
            const char* start = p_;
            while (p_ < end_ && IsIdentChar(*p_))
                ++p_;
            node = {Property(*node.value, std::string_view(start, p_ - start)),
                    Deeper(node.depth + 1)};
        }
        return node;
    }

    [[gnu::noinline]] static IValueRef Property(IValue& owner, std::string_view name) {
        TExprObject* object = owner.AsObject();
        if (name.empty())
            Fail("Invalid property of object %s", ExprObjectClassName(object));
        return new TObjectProperty(object, name);
    }

    TNode Factor() {
        struct TNesting {
            explicit TNesting(int& level) : level_(level) {
                if (++level_ > kMaxDepth) {
                    --level_;
                    Fail("Expression too complex");
                }
            }
            ~TNesting() { --level_; }
            int& level_;
        } nesting(nesting_);

        TExprOperator op;
        int length;
        if (PeekOperator(op, length)) {
            if (op != TExprOperator::opNot && op != TExprOperator::opPlus &&
                op != TExprOperator::opMinus)
                Fail("%s not allowed here", OperatorName(op));
            p_ += length;
            TNode operand = Factor();
            return {IValueRef(new TUnaryOp(op, std::move(operand.value))),
                    Deeper(operand.depth + 1)};
        }
        const char c = Peek();
        if (IsDigit(c))
            return {Number(), 1};
        if (c == '$')
            return {Hex(), 1};
        if (c == '\'')
            return {String(), 1};
        if (IsLetter(c) || c == '_')
            return Identifier();
        if (c == '(') {
            ++p_;
            TNode inner = Relation();
            if (Peek() != ')')
                Fail(" ) expected");
            ++p_;
            return inner;
        }
        if (c == 0 || c == ')' || c == ',')
            Fail("Unexpected end of factor");
        Fail("Syntax error");
    }

    [[noreturn]] static void BadNumber() { Fail("Bad numeric format"); }

    [[gnu::noinline]] IValueRef Number() {
        const char* start = p_;
        bool isFloat = false;
        auto digits = [this] {
            while (p_ < end_ && IsDigit(*p_))
                ++p_;
        };
        auto at = [this](char a, char b = 0) { return p_ < end_ && (*p_ == a || *p_ == b); };
        digits();
        if (at('.')) {
            isFloat = true;
            ++p_;
            digits();
            if (at('.'))
                BadNumber();
        }
        if (at('e', 'E')) {
            isFloat = true;
            ++p_;
            if (at('-'))
                ++p_;
            if (!(p_ < end_ && IsDigit(*p_)))
                BadNumber();
            digits();
            if (at('e', 'E') || at('.'))
                BadNumber();
        }
        const std::string_view text(start, static_cast<size_t>(p_ - start));
        if (text.size() > kMaxNumberLength)
            BadNumber();
        if (!isFloat) {
            // Up to nine digits always fit; longer ones go through the run-time's checks.
            if (text.size() > 9)
                return new TIntegerLiteral(StrToInt(text));
            int32_t value = 0;
            for (char d : text)
                value = value * 10 + (d - '0');
            return new TIntegerLiteral(value);
        }
        double value;
        // Literals always use '.', whatever the user's decimal separator.
        if (!TryStrToFloat(text, value, '.'))
            throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
        return new TFloatLiteral(value);
    }

    [[gnu::noinline]] IValueRef Hex() {
        const char* start = p_++;
        while (p_ < end_ && IsHexDigit(*p_))
            ++p_;
        if (p_ - start - 1 > kMaxHexDigits)
            throw EExpression("Hex string too long");
        int32_t value;
        if (!TryStrToInt(std::string_view(start, static_cast<size_t>(p_ - start)), value))
            throw EExpression("Invalid char in hex number");
        return new TIntegerLiteral(value);
    }

    [[gnu::noinline]] IValueRef String() {
        ++p_;
        std::string text;
        for (;;) {
            const char* run = p_;
            while (p_ < end_ && *p_ != '\'')
                ++p_;
            text.append(run, p_);
            if (text.size() > kMaxStringLength)
                throw EExpression("String too long");
            if (p_ == end_)
                throw EExpression("Unterminated string");
            ++p_;
            if (p_ < end_ && *p_ == '\'') {
                text += '\'';
                ++p_;
                continue;
            }
            break;
        }
        if (text.size() > kMaxStringLength)
            throw EExpression("String too long");
        return new TStringLiteral(std::move(text));
    }

    [[gnu::noinline]] TNode Identifier() {
        const char* start = p_;
        while (p_ < end_ && IsIdentChar(*p_))
            ++p_;
        std::string name(start, p_);
        for (char& ch : name)
            ch = AsciiUpper(ch);
        if (name == "TRUE" || name == "FALSE")
            return {IValueRef(new TBooleanLiteral(name == "TRUE")), 1};
        TParameterList params;
        int depth = 0;
        if (Peek() == '(') {
            ++p_;
            for (;;) {
                TNode param = Relation();
                depth = std::max(depth, param.depth);
                params.Add(std::move(param.value));
                const char c = Peek();
                if (c == ',') {
                    ++p_;
                    continue;
                }
                if (c != ')')
                    Fail("Incorrectly formed parameters");
                ++p_;
                break;
            }
        }
        return {Resolve(name, std::move(params)), Deeper(depth + 1)};
    }

    [[gnu::noinline]] IValueRef Resolve(const std::string& name, TParameterList params) {
        IValueRef node = CreateBuiltIn(name, params);
        if (!node && identifierFunction_)
            node = identifierFunction_(name, std::move(params));
        if (!node)
            Fail("Unknown Identifier %s", name);
        if (!node->TestParameters())
            Fail("Invalid parameters to %s", name);
        return node;
    }

    const char* p_;
    const char* end_;
    const TIdentifierFunction& identifierFunction_;
    int nesting_ = 0;
    const char* scannedAt_ = nullptr;
    TExprOperator scannedOp_ = TExprOperator::opNot;
    int scannedLength_ = 0;
    bool scannedFound_ = false;
};

} // namespace

void CreateExpression(std::string_view text, IValueRef& value,
                      const TIdentifierFunction& identifierFunction) {
    value = IValueRef();
    value = TParser(text, identifierFunction).Parse();
}

} // namespace vx
