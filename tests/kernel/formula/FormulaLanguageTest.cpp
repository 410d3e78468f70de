// The formula language over a small in-memory resolver: parsing, operators,
// cell states, shapes, dependencies and the stored form of token stacks.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "CArchive.h"
#include "FormulaLanguage.h"
#include "KernelStream.h"
#include "FormulaTestHelpers.h"

using namespace qsformula;

namespace {

using qs::test::FormulaTokens;

// A project of three exposure periods and three development ages (12, 24, 36).
class FakeResolver : public IFormulaResolver {
public:
    FakeResolver() {
        m_info.expLength = 12;
        m_info.devLength = 12;
        m_info.ages = {12, 24, 36};
        m_info.rowLen = {3, 2, 1};
    }
    bool Resolve(QSID id, Value& out) const override {
        auto it = m_objects.find(id);
        if (it == m_objects.end()) return false;
        out = it->second;
        return true;
    }
    const ProjectInfo& Info() const override { return m_info; }

    std::map<QSID, Value> m_objects;
    ProjectInfo m_info;
};

Value Triangle(const std::vector<std::vector<double>>& rows, int cols, int interval = 12) {
    Value v = Value::Make(kTriangle, static_cast<int>(rows.size()), cols, interval);
    v.rowLen.resize(rows.size());
    for (int r = 0; r < v.rows; ++r) {
        v.rowLen[r] = static_cast<int>(rows[r].size());
        for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) v.Set(r, c, rows[r][c]);
    }
    return v;
}

Value Row(const std::vector<double>& x, int interval = 12) {
    Value v = Value::MakeRow(static_cast<int>(x.size()), interval);
    for (int c = 0; c < v.cols; ++c) v.Set(0, c, x[c]);
    return v;
}

Value Column(const std::vector<double>& x) {
    Value v = Value::MakeColumn(static_cast<int>(x.size()));
    for (int r = 0; r < v.rows; ++r) v.Set(r, 0, x[r]);
    return v;
}

Value Eval(const FakeResolver& res, const std::string& text) {
    Value v;
    std::string err;
    const QSSTATUS st = qsformula::Test(FormulaTokens(text), res, &v, &err);
    EXPECT_EQ(st, 0) << text << ": " << err;
    return v;
}

double ScalarOf(const FakeResolver& res, const std::string& text) {
    const Value v = Eval(res, text);
    EXPECT_EQ(v.type, kScalar) << text;
    EXPECT_TRUE(v.f[0] & kHasValue) << text;
    return v.v[0];
}

}  // namespace

TEST(CStringStack, PushPopAndStoredFormRoundTrip) {
    CStringStack s;
    std::string t;
    EXPECT_EQ(s.Pop(t), CStringStack::kEmpty);
    s.Push("\"Paid Loss\"");
    s.Push("*");
    s.Push("1.05");
    EXPECT_EQ(s.Join(" "), "\"Paid Loss\" * 1.05");
    EXPECT_EQ(s.GetAt(3, t), CStringStack::kOutOfRange);

    std::vector<uint8_t> bytes;
    {
        CArchive ar(bytes, CArchive::store);
        s.Serialize(ar);
    }
    CStringStack back;
    {
        CArchive ar(bytes, CArchive::load);
        back.Serialize(ar);
    }
    EXPECT_EQ(back, s);

    KernelWriter w;
    s.Write(w);
    CStringStack viaKernel;
    KernelReader r(w.Bytes());
    viaKernel.Read(r);
    EXPECT_EQ(viaKernel, s);

    // A damaged kernel stream leaves the stack as it was.
    std::vector<uint8_t> cut(w.Bytes().begin(), w.Bytes().end() - 3);
    KernelReader rc(cut);
    viaKernel.Read(rc);
    EXPECT_TRUE(rc.Failed());
    EXPECT_EQ(viaKernel, s);
    EXPECT_EQ(s.Pop(t), 0);
    EXPECT_EQ(t, "1.05");
    EXPECT_EQ(s.GetSize(), 2);
}

TEST(FormulaLanguage, OperatorPrecedenceAndPlusMinusPercent) {
    FakeResolver res;
    struct Case {
        const char* text;
        double expected;
    } cases[] = {
        {"1 + 2 * 3", 7},
        {"( 1 + 2 ) * 3", 9},
        {"2 ^ 3 ^ 2", 512},      // right-associative
        {"- 2 ^ 2", -4},         // the power binds tighter than the sign
        {"2 ^ - 1", 0.5},
        {"10 - 4 - 3", 3},       // left-associative
        {"8 / 4 / 2", 1},
        {"200 \xB1% 10", 220},   // a plus 10 percent
        {"200 \xB1% - 25", 150}, // a minus 25 percent
        {"100 + 100 \xC2\xB1% 10", 220},  // additive level, left to right; UTF-8 spelling accepted
        {"2 * 50 \xB1% 10", 110},
        {"1.5e + 03", 1500},     // an exponent split at its sign by the tokenizer
        {"+ 3", 3},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(ScalarOf(res, c.text), c.expected) << c.text;
}

TEST(FormulaLanguage, SyntaxAndArgumentErrorsAreReported) {
    FakeResolver res;
    res.m_objects[101001001] = Column({1, 2, 3});
    res.m_objects[101001002] = Column({1, 2});
    struct Case {
        const char* text;
        QSSTATUS status;
    } cases[] = {
        {"", kEmptyFormula},
        {"1 +", kSyntax},
        {"( 1 + 2", kSyntax},
        {"1 + 2 )", kSyntax},
        {"1 2", kSyntax},
        {"* 2", kSyntax},
        {"Paid", kUnknownToken},
        {"Abs ( 1 , 2 )", kBadArguments},
        {"Sqrt ( )", kBadArguments},
        {"Abs ( 1 2 )", kSyntax},
        {"DO999", kUnknownObject},
        {"DO101001001 + DO101001002", kShapeMismatch},
        {"Diagonal ( DO101001001 )", kBadArguments},
        {"Diagonal0 ( 1 )", kUnknownToken},
    };
    for (const auto& c : cases) {
        std::string err;
        EXPECT_EQ(qsformula::Test(FormulaTokens(c.text), res, nullptr, &err), c.status) << c.text;
        EXPECT_FALSE(err.empty()) << c.text;
    }
    // Deep nesting fails cleanly instead of exhausting the stack.
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "( ";
    deep += "1";
    for (int i = 0; i < 5000; ++i) deep += " )";
    EXPECT_EQ(qsformula::Test(FormulaTokens(deep), res), kTooDeep);
}

TEST(FormulaLanguage, ShapesBroadcastAndCellStatesPropagate) {
    FakeResolver res;
    res.m_objects[1] = Triangle({{100, 150, 180}, {110, 160}, {120}}, 3);
    res.m_objects[2] = Column({1000, 1100, 0});
    res.m_objects[3] = Row({2.0, 1.5, 1.0});
    // Triangle / column: each row by its own premium; division by zero is not available.
    Value lr = Eval(res, "DO1 / DO2");
    ASSERT_EQ(lr.type, kTriangle);
    EXPECT_DOUBLE_EQ(lr.At(1, 1), 160.0 / 1100);
    EXPECT_TRUE(lr.IsNotAvail(2, 0));
    EXPECT_EQ(lr.f[lr.Index(1, 2)], kBlank);  // blank in, blank out
    EXPECT_EQ(lr.interval, 12);
    // Triangle * row: each column by its factor.
    Value dev = Eval(res, "DO1 * DO3");
    EXPECT_DOUBLE_EQ(dev.At(0, 1), 225);
    EXPECT_DOUBLE_EQ(dev.At(2, 0), 240);
    // Column with row: every pairing.
    Value outer = Eval(res, "DO2 * DO3");
    ASSERT_EQ(outer.type, kTriangle);
    EXPECT_EQ(outer.rows, 3);
    EXPECT_EQ(outer.cols, 3);
    EXPECT_DOUBLE_EQ(outer.At(1, 1), 1650);
    // Not available wins over blank and over values.
    Value na = Eval(res, "DO1 / DO2 + DO1");
    EXPECT_TRUE(na.IsNotAvail(2, 0));
    // Negative base with a fractional power is not available, never NaN.
    Value root = Eval(res, "( 0 - DO2 ) ^ 0.5");
    EXPECT_TRUE(root.IsNotAvail(0, 0));
    EXPECT_DOUBLE_EQ(root.v[0], 0.0);
    // A blank scalar blanks everything it touches.
    res.m_objects[4] = Value::BlankScalar();
    Value blank = Eval(res, "DO1 * DO4");
    for (auto fl : blank.f) EXPECT_EQ(fl, kBlank);
    // Different development period lengths cannot be combined.
    res.m_objects[5] = Triangle({{1, 1, 1}, {1, 1}, {1}}, 3, 3);
    EXPECT_EQ(qsformula::Test(FormulaTokens("DO1 + DO5"), res), kShapeMismatch);
}

TEST(FormulaLanguage, DependenciesAreTheDistinctObjectsRead) {
    CStringStack s = FormulaTokens("Develop ( Diagonal2 ( DO101011001 ) , CumulateSDF ( DO101011001 ) ) + DO-1284967296 * DO600000001");
    const std::vector<QSID> expected = {101011001, static_cast<QSID>(3010000000u), 600000001};
    EXPECT_EQ(Dependencies(s), expected);
    Formula f;
    ASSERT_EQ(f.Compile(s), 0);
    EXPECT_EQ(f.Dependencies(), expected);
}

TEST(FormulaLanguage, FunctionNamesInListOrder) {
    const auto& names = FunctionNames();
    ASSERT_EQ(names.size(), 40u);
    EXPECT_EQ(names.front(), "Abs");
    EXPECT_EQ(names[13], "DiagonalAsRow");
    EXPECT_EQ(names.back(), "ZeroOutBlanks");
    EXPECT_TRUE(IsFunctionName("Diagonal2"));
    EXPECT_TRUE(IsFunctionName("diagonalasrow12"));
    EXPECT_FALSE(IsFunctionName("Diagonal100"));
    EXPECT_FALSE(IsFunctionName("Abs2"));
    EXPECT_FALSE(IsFunctionName("1.05"));
}

TEST(FormulaLanguage, RandomTokenSequencesNeverCrashOrShowNaN) {
    // Stored formulas come from files; whatever their tokens, evaluation ends
    // with a status and never hands out a non-finite number.
    FakeResolver res;
    res.m_objects[1] = Triangle({{100, 150, 180}, {110, 160}, {120}}, 3);
    res.m_objects[2] = Column({1000, 0, 1200});
    res.m_objects[3] = Row({2.0, 1.5, 1.0});
    const std::vector<std::string> vocab = {"DO1", "DO2", "DO3", "DO4", "0", "1.5", "-", "+", "*", "/", "^",
                                            "\xB1%", "(", ")", ",", "Payout", "Sum", "Diagonal2", "Shift",
                                            "CumulateSDF", "FitWeibull", "Max", "Trend", "Invert", "Develop",
                                            "WeightedAvgWithDecay", "SpreadTail", "PVFactors", "Round"};
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
    int ran = 0;
    for (int n = 0; n < 20000; ++n) {
        CStringStack s;
        const int len = 1 + static_cast<int>(next() % 12);
        for (int i = 0; i < len; ++i) s.Push(vocab[next() % vocab.size()]);
        Value v;
        const QSSTATUS st = qsformula::Test(s, res, &v);
        EXPECT_TRUE(st == 0 || (st >= kEmptyFormula && st <= kTooDeep)) << s.Join(" ");
        if (st) continue;
        ++ran;
        for (std::size_t i = 0; i < v.v.size(); ++i) {
            ASSERT_TRUE(std::isfinite(v.v[i])) << s.Join(" ");
            if (!(v.f[i] & kHasValue)) {
                ASSERT_EQ(v.v[i], 0.0) << s.Join(" ");
            }
        }
    }
    EXPECT_GT(ran, 100);
}
